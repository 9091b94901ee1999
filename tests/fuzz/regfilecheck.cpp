#include "regfilecheck.h"

#include "invariant.h"
#include "regfile.h"

using namespace Qt::Literals::StringLiterals;

namespace {

constexpr Invariants require{"registry file"};

} // namespace

void checkRegFileInput(const QByteArray &bytes)
{
    RegFile file;
    try {
        file = RegFile::parse(bytes);
    } catch (const RegFileError &error) {
        require(error.line() >= 0, "error line is negative");
        return;
    }

    const QByteArray written = file.serialize();
    RegFile again = RegFile::parse(written); // must not throw
    require(again.serialize() == written, "writing is not stable");

    const QString key = u"HKEY_CURRENT_USER\\Software\\Fuzz"_s;
    require(again.setValue(key, u"Value"_s, RegData::fromString(u"x\r\ny"_s)), "edit refused");
    require(again.setValue(key, QString(), RegData::fromDWord(7)), "edit refused");
    // Sections added above and below the new one move the indexed places
    // of those after them.
    const QString parent = u"HKEY_CURRENT_USER\\Software"_s;
    require(again.setValue(parent, u"Above"_s, RegData::fromDWord(1)), "edit refused");
    require(again.setValue(key + u"\\Below"_s, u"Deep"_s, RegData::fromDWord(2)), "edit refused");
    require(again.hasKey(parent) && again.hasKey(key), "a key is lost");
    require(again.value(key, u"VALUE"_s) == RegData::fromString(u"x\r\ny"_s), "an edit moved");
    const RegFile edited = RegFile::parse(again.serialize());
    require(edited.value(key, u"value"_s) == RegData::fromString(u"x\r\ny"_s), "edit lost");
    require(edited.value(key, QString()) == RegData::fromDWord(7), "edit lost");
    require(edited.value(parent, u"above"_s) == RegData::fromDWord(1), "edit lost");
    require(edited.value(key + u"\\below"_s, u"Deep"_s) == RegData::fromDWord(2), "edit lost");

    // A removal takes every line of the value and leaves the others; a
    // deletion line reads as no value.
    RegFile removed = edited;
    require(removed.removeValue(key, u"VALUE"_s), "nothing removed");
    require(!removed.removeValue(key, u"value"_s), "removed twice");
    require(removed.addDeletion(parent, u"above"_s), "deletion refused");
    const RegFile reread = RegFile::parse(removed.serialize());
    require(!reread.value(key, u"value"_s) && !reread.value(parent, u"Above"_s), "value kept");
    require(reread.value(key, QString()) == RegData::fromDWord(7), "another value lost");
    require(reread.value(key + u"\\below"_s, u"Deep"_s) == RegData::fromDWord(2),
            "another value lost");
}
