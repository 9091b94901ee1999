// The file-store side of the round trip with the Windows registry:
//   roundtrip_tool write <file> <key>   writes the round-trip values
//   roundtrip_tool check <file> <key>   reads them back; exit 1 on a difference

#include "registryaccessor.h"
#include "registryfilestore.h"
#include "roundtripvalues.h"

#include <QCoreApplication>

#include <cstdio>
#include <string>

int main(int argc, char *argv[])
{
    QCoreApplication app(argc, argv);
    const QStringList args = app.arguments();
    if (args.size() != 4 || (args[1] != u"write" && args[1] != u"check")) {
        std::fprintf(stderr, "usage: roundtrip_tool write|check <file> <key>\n");
        return 2;
    }
    RegistryFileStore store(args[2]);
    RegistryAccessor reg(store);
    const std::u16string key = args[3].toStdU16String();
    const bool writing = args[1] == u"write";
    if (!reg.openKey(key, writing)) {
        std::fprintf(stderr, "cannot open %s in %s\n", qUtf8Printable(args[3]),
                     qUtf8Printable(args[2]));
        return 1;
    }
    int differences = 0;
    for (const RoundTripValue &v : RoundTripValues) {
        try {
            if (writing) {
                if (v.integer)
                    reg.writeInteger(v.name, v.number);
                else
                    reg.writeString(v.name, v.text);
            } else if (v.integer ? reg.readInteger(v.name) != v.number
                                 : reg.readString(v.name) != v.text) {
                std::fprintf(stderr, "value '%s' differs\n", toUtf8(v.name).c_str());
                ++differences;
            }
        } catch (const ERegistryError &e) {
            std::fprintf(stderr, "value '%s': %s\n", toUtf8(v.name).c_str(), e.what());
            ++differences;
        }
    }
    std::printf("%s %zu values: %d differences\n", writing ? "wrote" : "checked",
                std::size(RoundTripValues), differences);
    return differences == 0 ? 0 : 1;
}
