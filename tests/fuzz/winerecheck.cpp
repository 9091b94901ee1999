#include "winerecheck.h"

#include "invariant.h"
#include "winereg.h"

using namespace Qt::Literals::StringLiterals;

namespace {

constexpr Invariants require{"Wine registry file"};

} // namespace

void checkWineRegInput(const QByteArray &bytes)
{
    WineRegFile file;
    try {
        file = WineRegFile::parse(bytes);
    } catch (const RegFileError &error) {
        require(error.line() >= 0, "error line is negative");
        return;
    }
    require(file.serialize() == bytes, "what was read is not written back as it was");

    const QString key = u"Software\\Fuzz\\Key"_s;
    const RegData text = RegData::fromString(u"x\r\n\"é€🎵\\"_s + QChar(0) + u"1"_s);
    require(file.setValue(key, u"Value"_s, text, 1), "edit refused");
    require(file.setValue(u"Software"_s, QString(), RegData::fromDWord(7), 1), "edit refused");
    file.addKey(u"Software\\Fuzz\\Other"_s, 1);
    const QByteArray written = file.serialize();
    WineRegFile again;
    try {
        again = WineRegFile::parse(written);
    } catch (const RegFileError &) {
        require(false, "what was written cannot be read");
    }
    require(again.serialize() == written, "writing is not stable");
    require(again.value(key, u"value"_s) == text, "edit lost");
    require(again.value(u"software"_s, QString()) == RegData::fromDWord(7), "edit lost");
    require(again.hasKey(u"Software\\Fuzz\\Other"_s) && again.hasKey(u"Software\\Fuzz"_s),
            "a key is lost");

    // A removal changes nothing where the value is not, and leaves a file
    // Wine reads, without the value and with its key.
    const QByteArray before = again.serialize();
    const QString absent = u"Not There \u00e9"_s;
    if (!again.value(key, absent)) {
        require(!again.removeValue(key, absent, 2) && again.serialize() == before,
                "a removal of nothing changed the file");
    }
    require(again.removeValue(key, u"VALUE"_s, 2), "nothing removed");
    WineRegFile removed;
    try {
        removed = WineRegFile::parse(again.serialize());
    } catch (const RegFileError &) {
        require(false, "what was written after a removal cannot be read");
    }
    require(!removed.value(key, u"value"_s) && removed.hasKey(key), "removal lost or overdone");
    require(removed.value(u"software"_s, QString()) == RegData::fromDWord(7), "another value lost");
}
