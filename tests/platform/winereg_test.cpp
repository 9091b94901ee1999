#include "heapinuse.h"
#include "mutation.h"
#include "printers.h"
#include "winerecheck.h"
#include "winereg.h"

#include <QElapsedTimer>
#include <QFile>
#include <QRandomGenerator>

#include <gtest/gtest.h>

using namespace Qt::Literals::StringLiterals;

namespace {

constexpr qint64 Now = 1796771100;

// A user.reg as Wine writes one.
const QByteArray Sample
    = "WINE REGISTRY Version 2\n"
      ";; All keys relative to REGISTRY\\\\User\\\\S-1-5-21-0-0-0-1000\n"
      "\n"
      "#arch=win64\n"
      "\n"
      "[Control Panel\\\\Colors] 1796771042\n"
      "#time=1dd87686aada992\n"
      "\"ActiveBorder\"=\"255 255 255\"\n"
      "\n"
      "[Software\\\\VOB\\\\CD Wizard\\\\8.0] 1796771035\n"
      "#time=1dd87686676bdaa\n"
      "@=\"\"\n"
      "\"Language\"=\"Italiano \\xe8 \\x00e9a\"\n"
      "\"MaxCdSize\"=dword:000002bc\n"
      "\"Path\"=str(2):\"%ProgramFiles%\\\\VOB\"\n"
      "\"Window\"=hex:01,02,03,04,05,06,07,08,09,0a,0b,0c,0d,0e,0f,10,11,12,13,14,15,\\\n"
      "  16,17\n"
      "\n"
      "[Software\\\\Wine\\\\Drives] 1796771035\n"
      "#time=1dd87686676b396\n"
      "\"c:\"=\"hd\"\n";

QString text(const WineRegFile &file, const QString &key, const QString &name)
{
    const auto data = file.value(key, name);
    return data ? data->text() : u"<none>"_s;
}

} // namespace

TEST(WineRegFileTest, ReadsWhatWineWritesAndWritesItBackByteForByte)
{
    const WineRegFile file = WineRegFile::parse(Sample);
    EXPECT_EQ(file.serialize(), Sample);
    const QString key = u"software\\vob\\cd wizard\\8.0"_s;
    EXPECT_TRUE(file.hasKey(key));
    EXPECT_TRUE(file.hasKey(u"Software\\VOB"_s));
    EXPECT_TRUE(file.hasKey(QString()));
    EXPECT_FALSE(file.hasKey(u"Software\\VO"_s));
    EXPECT_EQ(text(file, key, u"language"_s), u"Italiano è éa"_s);
    EXPECT_EQ(file.value(key, QString()), RegData::fromString(QString()));
    EXPECT_EQ(file.value(key, u"MaxCdSize"_s), RegData::fromDWord(700));
    EXPECT_EQ(file.value(key, u"Path"_s),
              RegData::fromString(u"%ProgramFiles%\\VOB"_s, RegType::ExpandString));
    const auto blob = file.value(key, u"Window"_s);
    ASSERT_TRUE(blob);
    EXPECT_EQ(blob->type, RegType::Binary);
    EXPECT_EQ(blob->bytes.size(), 23);
    EXPECT_EQ(blob->bytes.back(), 0x17);
    EXPECT_FALSE(file.value(key, u"Missing"_s));
}

TEST(WineRegFileTest, StringsAreEscapedAsWineEscapesThem)
{
    const struct
    {
        QString text;
        QByteArray written;
    } cases[] = {
        {u"a\\b\"c"_s, "a\\\\b\\\"c"},
        {u"\a\b\t\n\v\f\r\x1b"_s, "\\a\\b\\t\\n\\v\\f\\r\\e"},
        {QString(QChar(0)) + u"x"_s, "\\0x"},
        {QString(QChar(0)) + u"1"_s, "\\0001"},
        {QString(QChar(1)), "\\1"},
        {u"é1"_s, "\\x00e91"},
        {u"éz"_s, "\\xe9z"},
        {u"€"_s, "\\x20ac"},
        {u"🎵"_s, "\\xd83c\\xdfb5"},
        {u"[]"_s, "[]"},
    };
    for (const auto &c : cases) {
        EXPECT_EQ(WineRegFile::escaped(c.text, u'"', u'"'), c.written) << c.text.toStdString();
        // And read back to the same text.
        const QByteArray file = "WINE REGISTRY Version 2\n[K]\n\"V\"=\"" + c.written + "\"\n";
        EXPECT_EQ(WineRegFile::parse(file).value(u"K"_s, u"V"_s), RegData::fromString(c.text))
            << c.written.data();
    }
    EXPECT_EQ(WineRegFile::escaped(u"a[b]"_s, u'[', u']'), "a\\[b\\]");
    EXPECT_EQ(WineRegFile::keyLine(u"Software\\A]B"_s, Now), "[Software\\\\A\\]B] 1796771100\n");
    // Raw UTF-8, other escapes and octal as Wine reads them.
    const WineRegFile tolerant = WineRegFile::parse(
        "WINE REGISTRY Version 2\r\n[K]\r\n\"V\"=\"caff\xC3\xA8 \\q \\x \\101\"\r\n");
    EXPECT_EQ(text(tolerant, u"K"_s, u"V"_s), u"caffè q x A"_s);
}

TEST(WineRegFileTest, AnEditChangesOnlyItsLinesAndTheKeysTime)
{
    WineRegFile file = WineRegFile::parse(Sample);
    const QString key = u"Software\\vob\\CD Wizard\\8.0"_s;
    ASSERT_TRUE(file.setValue(key, u"maxcdsize"_s, RegData::fromDWord(4480), Now));
    QByteArray expected = Sample;
    expected.replace("\"MaxCdSize\"=dword:000002bc", "\"maxcdsize\"=dword:00001180");
    expected.replace("[Software\\\\VOB\\\\CD Wizard\\\\8.0] 1796771035\n#time=1dd87686676bdaa",
                     "[Software\\\\VOB\\\\CD Wizard\\\\8.0] 1796771100\n#time=1dd87688cd37600");
    EXPECT_EQ(file.serialize(), expected);

    // A new value goes among the others by name; a new key among its
    // siblings, with the spelling of the keys above it that exist.
    ASSERT_TRUE(file.setValue(key, u"Lang"_s, RegData::fromString(u"x"_s), Now));
    ASSERT_TRUE(file.setValue(u"software\\vob\\CD Wizard\\8.0\\Copy"_s, u"B"_s,
                              RegData::fromString(u"b"_s), Now));
    ASSERT_TRUE(file.setValue(u"Software\\VOB\\CD Wizard\\8.0\\Copy"_s, u"A"_s,
                              RegData::fromDWord(1), Now));
    file.addKey(u"Software\\Tarsel\\Ordevan8"_s, Now);
    const QByteArray written = file.serialize();
    EXPECT_EQ(WineRegFile::parse(written).serialize(), written);
    const qsizetype lang = written.indexOf("\"Lang\"=\"x\"\n");
    EXPECT_GT(lang, written.indexOf("@=\"\""));
    EXPECT_LT(lang, written.indexOf("\"Language\"="));
    const qsizetype copy = written.indexOf(
        "\n\n[Software\\\\VOB\\\\CD Wizard\\\\8.0\\\\Copy] 1796771100\n#time=1dd87688cd37600\n"
        "\"A\"=dword:00000001\n\"B\"=\"b\"\n");
    EXPECT_GT(copy, written.indexOf("\"Window\"="));
    const qsizetype tarsel = written.indexOf("\n\n[Software\\\\Tarsel\\\\Ordevan8] 1796771100\n");
    EXPECT_GT(tarsel, written.indexOf("[Control Panel"));
    EXPECT_LT(tarsel, written.indexOf("[Software\\\\VOB\\\\CD Wizard\\\\8.0]"));
    EXPECT_TRUE(written.endsWith("\"c:\"=\"hd\"\n"));

    // Values of the root have a section of their own, first.
    WineRegFile root = WineRegFile::parse(Sample);
    ASSERT_TRUE(root.setValue(QString(), u"Top"_s, RegData::fromString(u"t"_s), Now));
    EXPECT_TRUE(root.serialize().contains(
        "#arch=win64\n\n[] 1796771100\n#time=1dd87688cd37600\n\"Top\"=\"t\"\n\n[Control Panel"));
    EXPECT_FALSE(root.setValue(u"A\\\\B"_s, u"V"_s, RegData::fromDWord(1), Now));
}

TEST(WineRegFileTest, WhatWineWouldNotReadAsWrittenIsRefusedWithItsLine)
{
    const QByteArray head = "WINE REGISTRY Version 2\n;; comment\n\n[Key] 1\n";
    const struct
    {
        QByteArray file;
        int line;
        RegistryFileFault fault;
    } cases[] = {
        {"WINE REGISTRY Version 1\n", 1, RegistryFileFault::WineHeader},
        {"\xEF\xBB\xBFWINE REGISTRY Version 2\n", 1, RegistryFileFault::WineHeader},
        {"", 1, RegistryFileFault::WineHeader},
        {"WINE REGISTRY Version 2\n#arch=arm\n", 2, RegistryFileFault::UnknownArchitecture},
        {"WINE REGISTRY Version 2\n\"V\"=\"x\"\n", 2, RegistryFileFault::ValueOutsideKey},
        {head + "[Unclosed\n", 5, RegistryFileFault::KeyNotClosed},
        {head + "[A\\\\\\\\B]\n", 5, RegistryFileFault::EmptyKeyName},
        {head + "\"V\"=dword:xyz\n", 5, RegistryFileFault::BadDword},
        {head + "\"V\"=dword:123456789\n", 5, RegistryFileFault::BadDword},
        {head + "\"V\"=\"no end\n", 5, RegistryFileFault::TextNotClosed},
        {head + "\"V\"=str(1):\"x\"\n", 5, RegistryFileFault::UnknownValueForm},
        {head + "\"V\"=\"caff\xE8\"\n", 5, RegistryFileFault::NotUtf8},
        {head + "\"V\"=\"\xC0\x80\"\n", 5, RegistryFileFault::NotUtf8},
        {head + "\"V\"=hex:01,02,\\\n", 5, RegistryFileFault::HexPastEnd},
        {head + "\"V\"=hex:01,zz\n", 5, RegistryFileFault::BadHexBytes},
        {head + "\"V\"=hex(7:01\n", 5, RegistryFileFault::BadHexType},
        {head + "\"V\" \"x\"\n", 5, RegistryFileFault::NameWithoutEquals},
        {head + "\"V=\"x\"\n\n\n", 5, RegistryFileFault::NameWithoutEquals},
        {head + "garbage\n", 5, RegistryFileFault::NeitherKeyNorValue},
    };
    for (const auto &c : cases) {
        try {
            WineRegFile::parse(c.file);
            ADD_FAILURE() << "read: " << c.file.toStdString();
        } catch (const RegFileError &e) {
            EXPECT_EQ(e.line(), c.line) << c.file.toStdString();
            EXPECT_EQ(e.fault(), c.fault) << c.file.toStdString();
        }
    }
}

TEST(WineRegFileTest, DuplicatesAndAnyOrderAreReadAsWineReadsThem)
{
    const WineRegFile file = WineRegFile::parse("WINE REGISTRY Version 2\n"
                                                "[B] 1\n\"V\"=\"first\"\n\"v\"=\"second\"\n"
                                                "[A]\n\"X\"=dword:1\n"
                                                "[b] 2\n\"V\"=\"third\"\n");
    EXPECT_EQ(text(file, u"B"_s, u"V"_s), u"third"_s);
    EXPECT_EQ(file.value(u"A"_s, u"X"_s), RegData::fromDWord(1));
}

TEST(WineRegFileTest, KeysAreFoundWithoutRegardToCaseAndAboveTheirSubkeys)
{
    WineRegFile file = WineRegFile::parse("WINE REGISTRY Version 2\n"
                                          "[Software\\\\\\xc4rger\\\\Sub] 1\n\"V\"=\"x\"\n"
                                          "[Software\\\\\\xf6l] 1\n");
    EXPECT_TRUE(file.hasKey(u"SOFTWARE\\\u00e4RGER\\sub"_s));
    EXPECT_TRUE(file.hasKey(u"software\\\u00e4rger"_s)); // only above a section
    EXPECT_TRUE(file.hasKey(u"Software"_s));
    EXPECT_FALSE(file.hasKey(u"Software\\\u00e4rg"_s));
    EXPECT_FALSE(file.hasKey(u"Software\\\u00e4rger\\Sub\\Deeper"_s));
    EXPECT_EQ(text(file, u"software\\\u00c4RGER\\SUB"_s, u"v"_s), u"x"_s);

    // Keys added after the first look are found as well, above and below,
    // and the ones above keep the spelling the file has.
    ASSERT_TRUE(file.setValue(u"software\\NEW\\Deep\\Key"_s, u"V"_s, RegData::fromDWord(1), Now));
    EXPECT_TRUE(file.hasKey(u"Software\\new\\deep"_s));
    EXPECT_EQ(file.value(u"SOFTWARE\\new\\deep\\key"_s, u"v"_s), RegData::fromDWord(1));
    ASSERT_TRUE(
        file.setValue(u"SOFTWARE\\\u00e4rger\\Sub 2"_s, u"V"_s, RegData::fromDWord(2), Now));
    const QByteArray written = file.serialize();
    EXPECT_TRUE(written.contains("[Software\\\\NEW\\\\Deep\\\\Key] "));
    // Depth first, by name: "Sub" before "Sub 2", both before the key
    // whose name sorts after theirs.
    const qsizetype sub = written.indexOf("[Software\\\\\\xc4rger\\\\Sub]");
    const qsizetype sub2 = written.indexOf("[Software\\\\\\xc4rger\\\\Sub 2]");
    EXPECT_LT(written.indexOf("[Software\\\\NEW"), sub);
    EXPECT_LT(sub, sub2);
    EXPECT_LT(sub2, written.indexOf("[Software\\\\\\xf6l]"));
}

TEST(WineRegFileTest, LargeFilesAndLongLinesAreReadQuickly)
{
    QByteArray big = "WINE REGISTRY Version 2\n\n#arch=win64\n";
    for (int key = 0; key < 100'000; ++key)
        big += "\n[Software\\\\Many\\\\Key" + QByteArray::number(key)
            + "] 1\n\"V\"=dword:00000001\n";
    big += "\n[Long]\n\"V\"=\"" + QByteArray(10 * 1024 * 1024, 'x') + "\"\n";
    QElapsedTimer clock;
    clock.start();
    const auto heapBefore = heapInUse();
    WineRegFile file = WineRegFile::parse(big);
    // Its sections are places in the bytes, which it shares; so are those
    // of a copy, but for what the copy changes.
    const auto held = [&] {
        return heapBefore ? qsizetype(*heapInUse() - *heapBefore) : 0;
    };
    EXPECT_LT(held(), 100 * 100'000); // bytes a key
    EXPECT_EQ(file.pieces(), QList<QByteArrayView>{big});
    EXPECT_EQ(file.pieces().first().data(), big.constData());
    WineRegFile copy = file;
    ASSERT_TRUE(copy.setValue(u"Software\\Many\\Key7"_s, u"V"_s, RegData::fromDWord(3), Now));
    EXPECT_LT(held(), 130 * 100'000);
    EXPECT_EQ(copy.pieces().size(), 3);
    EXPECT_EQ(file.serialize(), big);
    EXPECT_TRUE(file.hasKey(u"software\\many\\key99999"_s));
    EXPECT_EQ(file.value(u"Long"_s, u"V"_s)->text().size(), 10 * 1024 * 1024);
    ASSERT_TRUE(file.setValue(u"Software\\Many\\Key5"_s, u"W"_s, RegData::fromDWord(2), Now));
    EXPECT_EQ(file.value(u"Software\\Many\\Key5"_s, u"W"_s), RegData::fromDWord(2));
    EXPECT_LT(clock.elapsed(), 5000);
}

TEST(WineRegFileTest, RandomlyDamagedFilesAreReadBackByteForByteOrRefused)
{
    QFile seedFile(QString::fromUtf8(ORDEVAN_FUZZ_SEEDS) + u"/winereg_seeds/user.reg"_s);
    ASSERT_TRUE(seedFile.open(QIODevice::ReadOnly));
    const QByteArray seed = seedFile.readAll();
    QRandomGenerator random(20261210);
    QElapsedTimer clock;
    clock.start();
    int runs = 0;
    for (; runs < 5000 && clock.elapsed() < 3000; ++runs)
        checkWineRegInput(mutatedInput(seed, random, "\\\"[]=,:@#\n\r0x"));
    EXPECT_GT(runs, 500);
}

TEST(WineRegFileTest, RemovingAValueChangesOnlyItsLinesAndTheKeysTime)
{
    WineRegFile file = WineRegFile::parse(Sample);
    const QString key = u"software\\vob\\CD WIZARD\\8.0"_s;
    // A value whose data goes on over two lines goes with both.
    ASSERT_TRUE(file.removeValue(key, u"window"_s, Now));
    QByteArray expected = Sample;
    expected.replace("\"Window\"=hex:01,02,03,04,05,06,07,08,09,0a,0b,0c,0d,0e,0f,10,11,12,13,14,"
                     "15,\\\n  16,17\n",
                     "");
    expected.replace("[Software\\\\VOB\\\\CD Wizard\\\\8.0] 1796771035\n#time=1dd87686676bdaa",
                     "[Software\\\\VOB\\\\CD Wizard\\\\8.0] 1796771100\n#time=1dd87688cd37600");
    EXPECT_EQ(file.serialize(), expected);
    EXPECT_FALSE(file.value(key, u"Window"_s));
    EXPECT_EQ(file.value(key, u"MaxCdSize"_s), RegData::fromDWord(700));

    // Nothing there, nothing changes: not even the key's time, as with Wine.
    EXPECT_FALSE(file.removeValue(key, u"Window"_s, Now + 60));
    EXPECT_FALSE(file.removeValue(u"Software\\Nowhere"_s, u"Window"_s, Now + 60));
    EXPECT_EQ(file.serialize(), expected);

    // The last value of a key leaves its section, which ends the file.
    ASSERT_TRUE(file.removeValue(u"Software\\Wine\\Drives"_s, u"C:"_s, Now));
    expected.replace(
        "[Software\\\\Wine\\\\Drives] 1796771035\n#time=1dd87686676b396\n\"c:\"=\"hd\"\n",
        "[Software\\\\Wine\\\\Drives] 1796771100\n#time=1dd87688cd37600\n");
    EXPECT_EQ(file.serialize(), expected);
    EXPECT_TRUE(file.hasKey(u"Software\\Wine\\Drives"_s));

    // What is written is what Wine reads, and written again as it is.
    const WineRegFile again = WineRegFile::parse(file.serialize());
    EXPECT_EQ(again.serialize(), expected);
    EXPECT_EQ(text(again, key, u"Language"_s), u"Italiano è éa"_s);
    ASSERT_TRUE(file.removeValue(key, QString(), Now));
    EXPECT_FALSE(WineRegFile::parse(file.serialize()).value(key, QString()));
}

TEST(WineRegFileTest, ADuplicatedValueIsRemovedFromEverySectionOfItsKey)
{
    // Wine keeps the last; removing only that would bring back an earlier one.
    const QByteArray read = "WINE REGISTRY Version 2\r\n"
                            "[B] 1\r\n\"V\"=\"first\"\r\n\"X\"=\"x\"\r\n\"v\"=\"second\"\r\n"
                            "[A]\r\n\"V\"=dword:1\r\n"
                            "[b] 2\r\n#time=1\r\n\"V\"=\"third\"";
    WineRegFile file = WineRegFile::parse(read);
    ASSERT_TRUE(file.removeValue(u"B"_s, u"V"_s, Now));
    EXPECT_EQ(file.serialize(),
              "WINE REGISTRY Version 2\r\n"
              "[B] 1796771100\r\n#time=1dd87688cd37600\r\n\"X\"=\"x\"\r\n"
              "[A]\r\n\"V\"=dword:1\r\n"
              "[b] 1796771100\r\n#time=1dd87688cd37600\r\n");
    const WineRegFile again = WineRegFile::parse(file.serialize());
    EXPECT_FALSE(again.value(u"b"_s, u"v"_s));
    EXPECT_EQ(text(again, u"B"_s, u"X"_s), u"x"_s);
    EXPECT_EQ(again.value(u"A"_s, u"V"_s), RegData::fromDWord(1));

    // New keys and long hex data end their lines as the file's others do.
    ASSERT_TRUE(file.setValue(u"C\\D"_s, u"N"_s, {RegType::Binary, QByteArray(60, 'x')}, Now));
    const QByteArray written = file.serialize();
    EXPECT_EQ(written.count('\n'), written.count("\r\n")) << written.toStdString();
}
