#include "printers.h"
#include "regfile.h"
#include "regfilecheck.h"

#include <QElapsedTimer>
#include <QRandomGenerator>

#include <gmock/gmock.h>

using namespace Qt::Literals::StringLiterals;

namespace {

const QString Cu = u"HKEY_CURRENT_USER\\Software\\A"_s;

QByteArray file(const QStringList &lines)
{
    return (u"Windows Registry Editor Version 5.00\r\n\r\n"_s + lines.join(u"\r\n"_s) + u"\r\n"_s)
        .toUtf8();
}

struct BadInput
{
    const char *what;
    QByteArray bytes;
    int line;
};

void PrintTo(const BadInput &input, std::ostream *out)
{
    *out << input.what;
}

class RegFileHostileInput : public testing::TestWithParam<BadInput>
{
};

} // namespace

TEST_P(RegFileHostileInput, EndsWithAnErrorNamingTheLine)
{
    try {
        RegFile::parse(GetParam().bytes);
        FAIL() << "parsed";
    } catch (const RegFileError &error) {
        EXPECT_EQ(error.line(), GetParam().line) << error.what();
        EXPECT_NE(error.fault(), RegistryFileFault::System);
    }
}

INSTANTIATE_TEST_SUITE_P(
    Lines, RegFileHostileInput,
    testing::Values(BadInput{"no header", "[HKEY_CURRENT_USER\\A]\r\n", 1},
                    BadInput{"another header", "Windows Registry Editor Version 4.00\r\n", 1},
                    BadInput{"value outside a key", file({u"\"a\"=\"b\""_s}), 3},
                    BadInput{"key without bracket", file({u"[HKEY_CURRENT_USER\\A"_s}), 3},
                    BadInput{"text after key", file({u"[HKEY_CURRENT_USER\\A] x"_s}), 3},
                    BadInput{"empty key", file({u"[]"_s}), 3},
                    BadInput{"unclosed string", file({u"[A]"_s, u"\"a\"=\"open"_s}), 4},
                    BadInput{"unclosed name", file({u"[A]"_s, u"\"a=1"_s}), 4},
                    BadInput{"text after string", file({u"[A]"_s, u"\"a\"=\"b\" c"_s}), 4},
                    BadInput{"no equals", file({u"[A]"_s, u"\"a\" \"b\""_s}), 4},
                    BadInput{"nine dword digits", file({u"[A]"_s, u"\"a\"=dword:123456789"_s}), 4},
                    BadInput{"empty dword", file({u"[A]"_s, u"\"a\"=dword:"_s}), 4},
                    BadInput{"dword sign", file({u"[A]"_s, u"\"a\"=dword:-1"_s}), 4},
                    BadInput{"one-digit byte", file({u"[A]"_s, u"\"a\"=hex:1,02"_s}), 4},
                    BadInput{"double comma", file({u"[A]"_s, u"\"a\"=hex:01,,02"_s}), 4},
                    BadInput{"bad hex type", file({u"[A]"_s, u"\"a\"=hex(zz):00"_s}), 4},
                    BadInput{"open hex type", file({u"[A]"_s, u"\"a\"=hex(b:00"_s}), 4},
                    BadInput{"continued past the end", file({u"[A]"_s, u"\"a\"=hex:00,\\"_s}), 4},
                    BadInput{"bad continuation", file({u"[A]"_s, u"\"a\"=hex:00,\\"_s, u"[B]"_s}),
                             4},
                    BadInput{"unknown form", file({u"[A]"_s, u"\"a\"=qword:1"_s}), 4},
                    BadInput{"stray text", file({u"[A]"_s, u"\"a\"=\"b\""_s, u"hello"_s}), 5},
                    BadInput{"big-endian", QByteArray("\xFE\xFF\0W", 4), 1},
                    BadInput{"half a character", QByteArray("\xFF\xFEW\0i", 5), 0},
                    BadInput{"binary", QByteArray("\x00\x01\x02\x03", 4), 1}));

TEST(RegFileTest, TooLargeFilesAreRefusedBeforeDecoding)
{
    const QByteArray huge(RegFile::MaxFileSize + 1, 'x');
    EXPECT_THROW(RegFile::parse(huge), RegFileError);
}

TEST(RegFileTest, ReadsEveryFormOfValue)
{
    const RegFile doc = RegFile::parse(file({
        u"; comment"_s,
        u"[HKEY_CURRENT_USER\\Software\\A]"_s,
        u"\"plain\" = \"a \\\"quoted\\\" \\\\ text\"   "_s,
        u"\"odd escape\"=\"a\\tb\""_s,
        u"@=\"default\""_s,
        u"\"dw\"=dword:FFFFFFFF"_s,
        u"\"short\"=dword:a"_s,
        u"\"hexsz\"=hex(1):61,00,0d,00,0a,00,62,00,00,00"_s,
        u"\"hexdw\"=hex(4):01,00,00,00"_s,
        u"\"bin\"=hex:"_s,
        u"\"wrapped\"=hex:01,\\"_s,
        u"   02,\\"_s,
        u"  03"_s,
    }));
    EXPECT_EQ(doc.value(Cu, u"PLAIN"_s)->text(), u"a \"quoted\" \\ text"_s);
    EXPECT_EQ(doc.value(Cu, u"odd escape"_s)->text(), u"a\\tb"_s);
    EXPECT_EQ(doc.value(Cu, QString())->text(), u"default"_s);
    EXPECT_EQ(doc.value(Cu, u"dw"_s)->dword(), 0xFFFFFFFFu);
    EXPECT_EQ(doc.value(Cu, u"short"_s)->dword(), 10u);
    EXPECT_EQ(doc.value(Cu, u"hexsz"_s)->text(), u"a\r\nb"_s);
    EXPECT_EQ(doc.value(Cu, u"hexdw"_s)->dword(), 1u);
    EXPECT_EQ(doc.value(Cu, u"bin"_s), (RegData{RegType::Binary, {}}));
    EXPECT_EQ(doc.value(Cu, u"wrapped"_s), (RegData{RegType::Binary, "\x01\x02\x03"}));
    EXPECT_EQ(doc.value(Cu, u"missing"_s), std::nullopt);
    EXPECT_EQ(doc.value(u"HKEY_CURRENT_USER\\Software"_s, u"plain"_s), std::nullopt);
}

TEST(RegFileTest, LaterDefinitionsWinAsOnImport)
{
    RegFile doc = RegFile::parse(file({
        u"[HKEY_CURRENT_USER\\Software\\A]"_s,
        u"\"v\"=\"first\""_s,
        u"\"gone\"=\"here\""_s,
        u""_s,
        u"[-HKEY_CURRENT_USER\\Software\\B]"_s,
        u"\"v\"=\"in a deleted key\""_s,
        u""_s,
        u"[hkey_current_user\\software\\a]"_s,
        u"\"V\"=\"second\""_s,
        u"\"gone\"=-"_s,
    }));
    EXPECT_EQ(doc.value(Cu, u"v"_s)->text(), u"second"_s);
    EXPECT_EQ(doc.value(Cu, u"gone"_s), std::nullopt);
    EXPECT_FALSE(doc.hasKey(u"HKEY_CURRENT_USER\\Software\\B"_s));

    ASSERT_TRUE(doc.setValue(Cu, u"v"_s, RegData::fromString(u"third"_s)));
    const QString written
        = QString::fromUtf16(reinterpret_cast<const char16_t *>(doc.serialize().constData() + 2));
    EXPECT_TRUE(written.contains(u"\"v\"=\"first\""_s)) << "the earlier line is left alone";
    EXPECT_TRUE(written.contains(u"\"v\"=\"third\""_s));
    EXPECT_FALSE(written.contains(u"second"_s));
    EXPECT_EQ(RegFile::parse(doc.serialize()).value(Cu, u"v"_s)->text(), u"third"_s);
}

TEST(RegFileTest, KeysExistThroughTheirSubkeys)
{
    RegFile doc = RegFile::parse(file({u"[HKEY_CURRENT_USER\\Software\\A\\B\\C]"_s}));
    EXPECT_TRUE(doc.hasKey(u"hkey_current_user\\software\\a\\b"_s));
    EXPECT_TRUE(doc.hasKey(u"HKEY_CURRENT_USER"_s));
    EXPECT_FALSE(doc.hasKey(u"HKEY_CURRENT_USER\\Software\\A\\B\\C\\D"_s));
    EXPECT_FALSE(doc.hasKey(u"HKEY_CURRENT_USER\\Software\\A\\BC"_s));
}

TEST(RegFileTest, TextsThatCannotStandInQuotesAreWrittenAsHex)
{
    RegFile doc;
    ASSERT_TRUE(doc.setValue(Cu, u"Lines"_s, RegData::fromString(u"a\r\nb"_s)));
    ASSERT_TRUE(
        doc.setValue(Cu, u"Nul"_s, RegData{RegType::String, QByteArray("a\0b\0\0\0\0\0", 8)}));
    const QByteArray bytes = doc.serialize();
    const QString text = QString::fromUtf16(
        reinterpret_cast<const char16_t *>(bytes.constData() + 2), bytes.size() / 2 - 1);
    EXPECT_TRUE(text.contains(u"\"Lines\"=hex(1):61,00,0d,00,0a,00,62,00,00,00\r\n"_s));
    const RegFile again = RegFile::parse(bytes);
    EXPECT_EQ(again.value(Cu, u"lines"_s)->text(), u"a\r\nb"_s);
    EXPECT_EQ(again.value(Cu, u"nul"_s)->bytes, QByteArray("a\0b\0\0\0\0\0", 8));
    EXPECT_FALSE(doc.setValue(Cu, u"a\nb"_s, RegData::fromDWord(1)));
}

TEST(RegFileTest, RandomInputsNeverBreakTheParser)
{
    const QByteArray seed = file({
        u"; comment"_s,
        u"[HKEY_CURRENT_USER\\Software\\A]"_s,
        u"\"plain\"=\"a \\\"b\\\" c\""_s,
        u"@=dword:000002bc"_s,
        u"\"bin\"=hex(7):61,00,00,00,\\"_s,
        u"  00,00"_s,
        u"[-HKEY_CURRENT_USER\\Software\\B]"_s,
        u"\"gone\"=-"_s,
    });
    const QString wideText
        = u"Windows Registry Editor Version 5.00\r\n[A]\r\n\"x\"=\"\u20ac\"\r\n"_s;
    const QByteArray wideSeed = QByteArray("\xFF\xFE", 2)
        + QByteArray(reinterpret_cast<const char *>(wideText.utf16()), wideText.size() * 2);
    QRandomGenerator random(20261208);
    QElapsedTimer clock;
    clock.start();
    int runs = 0;
    for (; runs < 20000 && clock.elapsed() < 3000; ++runs) {
        QByteArray input = seed;
        if (runs % 3 == 0)
            input = wideSeed;
        const int edits = 1 + random.bounded(8);
        for (int e = 0; e < edits && !input.isEmpty(); ++e) {
            const int at = random.bounded(input.size());
            switch (random.bounded(4)) {
            case 0:
                input[at] = static_cast<char>(random.bounded(256));
                break;
            case 1:
                input.insert(at, "\\\"[]=,:@;\r\n"[random.bounded(11)]);
                break;
            case 2:
                input.remove(at, 1 + random.bounded(4));
                break;
            default:
                input.truncate(at);
            }
        }
        checkRegFileInput(input);
    }
    EXPECT_GT(runs, 1000);
}

TEST(RegistryFileFaultTest, EveryFaultIsToldInBothLanguages)
{
    for (int f = 0; f < static_cast<int>(RegistryFileFault::System); ++f) {
        const auto fault = static_cast<RegistryFileFault>(f);
        const QString english = registryFileFaultText(fault, Language::English);
        const QString italian = registryFileFaultText(fault, Language::Italian);
        EXPECT_FALSE(english.isEmpty()) << f;
        EXPECT_FALSE(italian.isEmpty()) << f;
        EXPECT_NE(english, italian) << f;
    }
    EXPECT_TRUE(registryFileFaultText(RegistryFileFault::System, Language::Italian).isEmpty())
        << "the system's own words stand in for it";
}

TEST(RegFileDialectTest, WinesEditorEscapesLineBreaksAndNulsWhichWindowsDoesNot)
{
    const QByteArray text = "Windows Registry Editor Version 5.00\r\n\r\n[HKEY_CURRENT_USER\\A]\r\n"
                            "\"V\"=\"a\\r\\nb\\0c \\\"q\\\" \\\\ \\x\"\r\n";
    const QString key = u"HKEY_CURRENT_USER\\A"_s;
    EXPECT_EQ(RegFile::parse(text, RegFile::Dialect::WineEditor).value(key, u"V"_s)->bytes,
              RegData::fromString(u"a\r\nb"_s + QChar(0) + u"c \"q\" \\ x"_s).bytes);
    EXPECT_EQ(RegFile::parse(text).value(key, u"V"_s)->text(), u"a\\r\\nb\\0c \"q\" \\ \\x"_s);
}

namespace {

// The file as written, without its byte-order mark.
QString writtenText(const RegFile &doc)
{
    const QByteArray bytes = doc.serialize();
    return QString::fromUtf16(reinterpret_cast<const char16_t *>(bytes.constData() + 2),
                              bytes.size() / 2 - 1);
}

QString expectedText(const QStringList &lines)
{
    return u"Windows Registry Editor Version 5.00\r\n\r\n"_s + lines.join(u"\r\n"_s) + u"\r\n"_s;
}

} // namespace

TEST(RegFileTest, RemovingAValueTakesEveryLineOfItInEverySectionOfItsKeyAndNoOther)
{
    QStringList lines = {
        u"; comment"_s,
        u"[HKEY_CURRENT_USER\\Software\\A]"_s,
        u"\"Dup\"=\"first\""_s,
        u"\"keep\"=\"k\""_s,
        u"\"dup\"=hex:01,02,\\"_s,
        u"  03"_s,
        u"\"gone\"=-"_s,
        u""_s,
        u"[HKEY_CURRENT_USER\\Software\\B]"_s,
        u"\"Dup\"=\"in another key\""_s,
        u""_s,
        u"[hkey_current_user\\software\\a]"_s,
        u"\"DUP\"=dword:1"_s,
        u"\"Only\"=\"o\""_s,
        u"\"dup\"=-"_s,
    };
    RegFile doc = RegFile::parse(file(lines));
    ASSERT_TRUE(doc.hasKey(u"HKEY_CURRENT_USER\\Software\\B"_s)); // the index is built

    EXPECT_TRUE(doc.removeValue(Cu, u"dUp"_s));
    for (const int line : {14, 12, 5, 4, 2})
        lines.removeAt(line);
    EXPECT_EQ(writtenText(doc), expectedText(lines));
    EXPECT_FALSE(doc.value(Cu, u"Dup"_s));
    EXPECT_EQ(doc.value(u"HKEY_CURRENT_USER\\Software\\B"_s, u"dup"_s)->text(),
              u"in another key"_s);

    // Nothing more to remove: nothing changes.
    EXPECT_FALSE(doc.removeValue(Cu, u"Dup"_s));
    EXPECT_FALSE(doc.removeValue(u"HKEY_CURRENT_USER\\Software\\None"_s, u"Dup"_s));
    EXPECT_EQ(writtenText(doc), expectedText(lines));

    // A deletion line goes too; the last value leaves its section behind.
    EXPECT_TRUE(doc.removeValue(Cu, u"gone"_s));
    EXPECT_TRUE(doc.removeValue(Cu, u"only"_s));
    lines.removeAt(lines.indexOf(u"\"gone\"=-"_s));
    lines.removeAt(lines.indexOf(u"\"Only\"=\"o\""_s));
    EXPECT_EQ(writtenText(doc), expectedText(lines));
    EXPECT_TRUE(doc.hasKey(u"HKEY_CURRENT_USER\\Software\\A"_s));

    // The places of the sections after the removed lines moved with them.
    ASSERT_TRUE(
        doc.setValue(u"HKEY_CURRENT_USER\\Software\\B"_s, u"New"_s, RegData::fromString(u"n"_s)));
    lines.insert(lines.indexOf(u"\"Dup\"=\"in another key\""_s) + 1, u"\"New\"=\"n\""_s);
    EXPECT_EQ(writtenText(doc), expectedText(lines));
    const RegFile again = RegFile::parse(doc.serialize());
    EXPECT_EQ(again.value(Cu, u"keep"_s)->text(), u"k"_s);
    EXPECT_EQ(again.value(u"HKEY_CURRENT_USER\\Software\\B"_s, u"new"_s)->text(), u"n"_s);
}

TEST(RegFileTest, DeletionLinesAreWrittenForAnImportAndReadBack)
{
    RegFile doc;
    ASSERT_TRUE(doc.setValue(Cu, u"Set then deleted"_s, RegData::fromString(u"x"_s)));
    ASSERT_TRUE(doc.addDeletion(Cu, u"Set then deleted"_s));
    ASSERT_TRUE(doc.addDeletion(Cu, QString()));
    ASSERT_TRUE(doc.addDeletion(Cu, u"Deleted then set"_s));
    ASSERT_TRUE(doc.setValue(Cu, u"Deleted then set"_s, RegData::fromDWord(2)));
    ASSERT_TRUE(doc.addDeletion(Cu, u"Quote\"d"_s));
    EXPECT_FALSE(doc.addDeletion(Cu, u"two\nlines"_s));
    EXPECT_EQ(writtenText(doc),
              expectedText({
                  u"[HKEY_CURRENT_USER\\Software\\A]"_s,
                  u"\"Set then deleted\"=-"_s,
                  u"@=-"_s,
                  u"\"Deleted then set\"=dword:00000002"_s,
                  u"\"Quote\\\"d\"=-"_s,
                  u""_s,
              }));
    EXPECT_FALSE(doc.value(Cu, u"set then deleted"_s));

    // Read back, the deletions are told apart from the values; values after
    // a deleted key belong to no key.
    const RegFile read = RegFile::parse(
        (writtenText(doc) + u"[-HKEY_CURRENT_USER\\Software\\B]\r\n\"V\"=-\r\n"_s).toUtf8());
    QStringList seen;
    read.visitWithDeletions([&](const QString &key, const std::optional<QString> &name,
                                const std::optional<RegData> &data) {
        seen.append(key + u'|' + name.value_or(u"<key>"_s) + u'|'
                    + (data ? QString::number(data->type) : u"<deleted>"_s));
    });
    EXPECT_EQ(seen,
              (QStringList{Cu + u"|<key>|<deleted>"_s, Cu + u"|Set then deleted|<deleted>"_s,
                           Cu + u"||<deleted>"_s, Cu + u"|Deleted then set|4"_s,
                           Cu + u"|Quote\"d|<deleted>"_s}));
    QStringList values;
    read.visit([&](const QString &, const std::optional<QString> &name, const RegData &) {
        values.append(name.value_or(u"<key>"_s));
    });
    EXPECT_EQ(values, (QStringList{u"<key>"_s, u"Deleted then set"_s}));
}
