// Test helper: saves `count` text values named <prefix><i> into the file
// store at <path>, one save each, and exits 0 when every save succeeded.
// With --rounds, it saves all of them in one batch, `rounds` times over, each
// round's values carrying the round's number.
//
//   registry_writer <path> <prefix> <count> <payload length> [--rounds <rounds>]

#include "registryaccessor.h"
#include "registryfilestore.h"

#include <QCoreApplication>

#include <cstdio>

QString writerPayload(const QString &prefix, int index, int length)
{
    return QString(length, QChar(u'a' + index % 26)) + prefix + QString::number(index);
}

int main(int argc, char *argv[])
{
    QCoreApplication app(argc, argv);
    const QStringList args = app.arguments();
    const bool batches = args.size() == 7 && args[5] == u"--rounds";
    if (args.size() != 5 && !batches) {
        std::fprintf(stderr,
                     "usage: registry_writer <path> <prefix> <count> <payload length> "
                     "[--rounds <rounds>]\n");
        return 2;
    }
    const QString prefix = args[2];
    const int count = args[3].toInt();
    const int length = args[4].toInt();

    RegistryFileStore store(args[1]);
    RegistryAccessor reg(store);
    if (!reg.openKey(u"\\Software\\Ordevan\\Writers", true)) {
        std::fprintf(stderr, "cannot open the key\n");
        return 1;
    }
    try {
        for (int round = 0; batches && round < args[6].toInt(); ++round) {
            RegistryBatch batch(store);
            for (int i = 0; i < count; ++i) {
                reg.writeString(QString(prefix + QString::number(i)).toStdU16String(),
                                writerPayload(prefix, round, length).toStdU16String());
            }
            batch.commit();
        }
        for (int i = 0; !batches && i < count; ++i) {
            reg.writeString(QString(prefix + QString::number(i)).toStdU16String(),
                            writerPayload(prefix, i, length).toStdU16String());
        }
    } catch (const ERegistryError &e) {
        std::fprintf(stderr, "%s\n", e.what());
        return 1;
    }
    return 0;
}
