#include "gridmodel.h"
#include "memoryregistrystore.h"
#include "printers.h"
#include "registryaccessor.h"
#include "registrymapping.h"

#include <gtest/gtest.h>

using namespace Qt::Literals::StringLiterals;

namespace {

constexpr std::u16string_view Copy803 = u"Software\\VOB\\CD Wizard\\8.0\\Copy";

// A Copy page with one row of each kind.
class RegistryMappingTest : public testing::Test
{
protected:
    void SetUp() override
    {
        grid.SetColCount(6);
        grid.SetRowCount(8);
        row(1, u"<b>MaxCdSize</b>"_s, u"650"_s, u"MBYTE"_s);
        row(2, u"<b>TestWrite</b>"_s, u"False"_s, u"Si/No"_s);
        row(3, u"<b>ImageName</b>"_s, u"x.img"_s, u"STRING"_s);
        row(4, u"<b>Width</b>"_s, u"10"_s, u"pixels"_s);
        row(5, u"Heading"_s, u"value"_s, u"TESTO"_s);
        row(6, u"<b>Method</b>"_s, u"dwmTAO"_s, u"LISTA"_s);
        row(7, u"<b>Other</b>"_s, u"7"_s, u"COLOUR"_s);
        store.put(RootKey::CurrentUser, Copy803, u"Seed", {ValueKind::String, u"x", 0});
    }

    void row(int r, const QString &name, const QString &value, const QString &type)
    {
        grid.SetCells(0, r, name);
        grid.SetCells(1, r, value);
        grid.SetCells(2, r, type);
    }

    PageRead read(Language language = Language::English)
    {
        return readPageSettings(grid, registry, SettingsPage::Copy, Release::R803, language,
                                storedSettings);
    }
    // A save as the window makes it: what was written is remembered.
    PageSave write()
    {
        PageSave save
            = writePageSettings(grid, registry, SettingsPage::Copy, Release::R803, storedSettings);
        for (const auto &[name, setting] : save.written)
            storedSettings.remember(name, setting);
        return save;
    }
    std::optional<RegistryValue> stored(std::u16string_view name) const
    {
        return store.get(RootKey::CurrentUser, Copy803, name);
    }

    GridModel grid;
    MemoryRegistryStore store;
    RegistryAccessor registry{store};
    StoredSettings storedSettings;
};

} // namespace

TEST(RegistryKeysTest, PagesAndReleases)
{
    EXPECT_EQ(settingsKeyPath(SettingsPage::General, Release::R803),
              u"\\Software\\VOB\\CD Wizard\\8.0"_s);
    EXPECT_EQ(settingsKeyPath(SettingsPage::General, Release::R800),
              u"\\Software\\VOB\\CD Wizard\\7.5"_s);
    EXPECT_EQ(settingsKeyPath(SettingsPage::Copy, Release::R803),
              u"\\Software\\vob\\CD Wizard\\8.0\\Copy"_s);
    EXPECT_EQ(settingsKeyPath(SettingsPage::Options, Release::R800),
              u"\\Software\\vob\\CD Wizard\\7.5\\Copy\\CurrentSettings"_s);
    EXPECT_EQ(settingsKeyPath(SettingsPage::DataPath, Release::R803),
              u"\\Software\\vob\\CD Wizard\\8.0\\DataPath"_s);
}

TEST(RegistryValuesTest, IntegerCellsAsSaved)
{
    EXPECT_EQ(integerCellValue(u"700"), 700);
    EXPECT_EQ(integerCellValue(u"  -12"), -12);
    EXPECT_EQ(integerCellValue(u"$2BC"), 700);
    EXPECT_EQ(integerCellValue(u"0x2bc"), 700);
    EXPECT_EQ(integerCellValue(u"$FFFFFFFF"), -1);
    EXPECT_EQ(integerCellValue(u"2147483647"), 2147483647);
    EXPECT_EQ(integerCellValue(u"-2147483648"), INT_MIN);
    for (const char16_t *bad : {u"", u"7x", u"700 ", u"2147483648", u"$100000000", u"--1", u"x"})
        EXPECT_EQ(integerCellValue(bad), std::nullopt) << QString::fromUtf16(bad).toStdString();
    EXPECT_TRUE(isReadErrorText(u"Not available (read error)"_s));
    EXPECT_TRUE(isReadErrorText(u"non disponibile (errore in lettura)"_s));
    EXPECT_FALSE(isReadErrorText(u"errore"_s));
}

TEST_F(RegistryMappingTest, ReadsEachKindAndMarksWhatCannotBeRead)
{
    store.put(RootKey::CurrentUser, Copy803, u"maxcdsize", {ValueKind::Integer, {}, 700});
    store.put(RootKey::CurrentUser, Copy803, u"TestWrite", {ValueKind::String, u"True", 0});
    store.put(RootKey::CurrentUser, Copy803, u"Width", {ValueKind::String, u"10", 0});
    store.put(RootKey::CurrentUser, Copy803, u"Heading", {ValueKind::String, u"never read", 0});
    store.put(RootKey::CurrentUser, Copy803, u"Other", {ValueKind::Integer, {}, 1});
    read();
    EXPECT_EQ(grid.Cells(1, 1), u"700"_s);
    EXPECT_EQ(grid.Cells(1, 2), u"True"_s);
    EXPECT_EQ(grid.CheckBox(1, 2), true);
    EXPECT_EQ(grid.Cells(1, 3), QString()) << "a missing text reads empty";
    EXPECT_EQ(grid.Cells(1, 4), u"Not available (read error)"_s) << "text where an integer belongs";
    EXPECT_EQ(grid.Cells(1, 5), u"value"_s);
    EXPECT_EQ(grid.Cells(1, 6), QString());
    EXPECT_EQ(grid.Cells(1, 7), u"7"_s);

    store.put(RootKey::CurrentUser, Copy803, u"TestWrite", {ValueKind::String, u"true", 0});
    store.put(RootKey::CurrentUser, Copy803, u"MaxCdSize", {ValueKind::String, u"700", 0});
    read(Language::Italian);
    EXPECT_EQ(grid.CheckBox(1, 2), false);
    EXPECT_EQ(grid.Cells(1, 1), u"Non disponibile (errore in lettura)"_s);
}

TEST_F(RegistryMappingTest, AFailedReadKeepsTheCheckBox)
{
    grid.SetCheckBox(1, 2, true);
    store.put(RootKey::CurrentUser, Copy803, u"TestWrite", {ValueKind::Integer, {}, 1});
    read();
    EXPECT_EQ(grid.Cells(1, 2), u"Not available (read error)"_s);
    EXPECT_EQ(grid.CheckBox(1, 2), true);
}

TEST_F(RegistryMappingTest, WritesEachKindButNeverAMarker)
{
    // Nothing was read: every row counts as edited.
    grid.SetCells(1, 1, u"700"_s);
    grid.SetCells(1, 4, u"Non disponibile (errore in lettura)"_s);
    store.put(RootKey::CurrentUser, Copy803, u"Width", {ValueKind::String, u"stays", 0});
    write();
    EXPECT_EQ(stored(u"MaxCdSize"), (RegistryValue{ValueKind::Integer, {}, 700}));
    EXPECT_EQ(stored(u"TestWrite"), (RegistryValue{ValueKind::String, u"False", 0}));
    EXPECT_EQ(stored(u"ImageName"), (RegistryValue{ValueKind::String, u"x.img", 0}));
    EXPECT_EQ(stored(u"Method"), (RegistryValue{ValueKind::String, u"dwmTAO", 0}));
    EXPECT_EQ(stored(u"Width"), (RegistryValue{ValueKind::String, u"stays", 0}));
    EXPECT_EQ(stored(u"Heading"), std::nullopt);
    EXPECT_EQ(stored(u"Other"), std::nullopt);

    for (const QString &text : {QString(), u"7x"_s}) {
        grid.SetCells(1, 1, text);
        write();
        EXPECT_EQ(stored(u"MaxCdSize"), (RegistryValue{ValueKind::Integer, {}, 0}));
    }
}

TEST_F(RegistryMappingTest, AMissingKeyChangesNothingAndIsNeverCreated)
{
    MemoryRegistryStore empty;
    RegistryAccessor emptyRegistry(empty);
    EXPECT_TRUE(readPageSettings(grid, emptyRegistry, SettingsPage::Copy, Release::R803,
                                 Language::English, storedSettings)
                    .keyMissing);
    EXPECT_EQ(grid.Cells(1, 1), u"650"_s);
    EXPECT_TRUE(
        writePageSettings(grid, emptyRegistry, SettingsPage::Copy, Release::R803, storedSettings)
            .keyMissing)
        << "the window tells the user";
    EXPECT_FALSE(empty.hasKey(RootKey::CurrentUser, Copy803));
    EXPECT_EQ(empty.writeCount(), 0);
}

TEST_F(RegistryMappingTest, RefusedWritesAreSkippedAndNamed)
{
    store.setRefuseWrites(true);
    PageSave save;
    EXPECT_NO_THROW(save = write());
    EXPECT_EQ(
        save.refused,
        (QStringList{u"MaxCdSize"_s, u"TestWrite"_s, u"ImageName"_s, u"Width"_s, u"Method"_s}));
    EXPECT_TRUE(save.written.isEmpty());
    EXPECT_FALSE(registry.hasOpenKey()) << "the key is closed again";
}

TEST_F(RegistryMappingTest, ASaveWritesOnlyWhatWasEditedOrIsMissing)
{
    // Kinds the tool does not write itself, and text after a NUL, survive a
    // save as long as nobody edits them.
    store.put(RootKey::CurrentUser, Copy803, u"ImageName",
              {ValueKind::ExpandString, u"%TEMP%\\x.img", 0});
    const StoredValue method = StoredValue::fromString(std::u16string(u"dwmDAO\0tail", 11));
    store.putStored(RootKey::CurrentUser, Copy803, u"Method", method);
    store.put(RootKey::CurrentUser, Copy803, u"MaxCdSize", {ValueKind::Integer, {}, 700});
    read();
    const int before = store.writeCount();
    PageSave save = write();
    EXPECT_EQ(stored(u"ImageName"), (RegistryValue{ValueKind::ExpandString, u"%TEMP%\\x.img", 0}));
    EXPECT_EQ(store.getStored(RootKey::CurrentUser, Copy803, u"Method"), method);
    EXPECT_EQ(stored(u"TestWrite"), (RegistryValue{ValueKind::String, u"", 0}))
        << "a missing value is created as it shows";
    EXPECT_EQ(store.writeCount(), before + 1);
    EXPECT_EQ(write().written.size(), 0) << "a second save has nothing to write";

    grid.SetCells(1, 1, u"0701"_s);
    grid.SetCells(1, 3, u"edited.img"_s);
    save = write();
    EXPECT_EQ(stored(u"MaxCdSize"), (RegistryValue{ValueKind::Integer, {}, 701}));
    EXPECT_EQ(stored(u"ImageName"), (RegistryValue{ValueKind::String, u"edited.img", 0}))
        << "an edited value takes its row's kind";
    EXPECT_EQ(save.written.size(), 2);
    EXPECT_EQ(write().written.size(), 0);
}

TEST_F(RegistryMappingTest, AnotherWritersChangeIsKeptUnlessEditedHereAndThenNamed)
{
    store.put(RootKey::CurrentUser, Copy803, u"MaxCdSize", {ValueKind::Integer, {}, 700});
    store.put(RootKey::CurrentUser, Copy803, u"ImageName", {ValueKind::String, u"a.img", 0});
    read();
    // Another program saves both values meanwhile; only one is edited here.
    store.put(RootKey::CurrentUser, Copy803, u"MaxCdSize", {ValueKind::Integer, {}, 111});
    store.put(RootKey::CurrentUser, Copy803, u"ImageName", {ValueKind::String, u"b.img", 0});
    grid.SetCells(1, 3, u"mine.img"_s);
    const PageSave save = write();
    EXPECT_EQ(stored(u"MaxCdSize"), (RegistryValue{ValueKind::Integer, {}, 111}));
    EXPECT_EQ(stored(u"ImageName"), (RegistryValue{ValueKind::String, u"mine.img", 0}));
    EXPECT_EQ(save.overwritten, QStringList{u"ImageName"_s});

    // The same value written by both names nobody.
    store.put(RootKey::CurrentUser, Copy803, u"ImageName", {ValueKind::String, u"same.img", 0});
    grid.SetCells(1, 3, u"same.img"_s);
    EXPECT_TRUE(write().overwritten.isEmpty());
}

TEST_F(RegistryMappingTest, AStoreThatCannotBeReadShowsNoValueAsCurrent)
{
    store.setStoreError(ERegistryStoreError(u"damaged", u"danneggiato"));
    const PageRead result = read();
    ASSERT_TRUE(result.storeError);
    EXPECT_EQ(result.storeError->text(Language::Italian), u"danneggiato");
    for (int row : {1, 2, 3, 4, 6})
        EXPECT_EQ(grid.Cells(1, row), u"Not available (read error)"_s) << row;
    EXPECT_EQ(grid.Cells(1, 5), u"value"_s) << "a heading row names no value";
    EXPECT_EQ(grid.Cells(1, 7), u"7"_s) << "a row of no kind is never read";
    EXPECT_THROW(write(), ERegistryStoreError);
}

TEST_F(RegistryMappingTest, HiddenRowsAreNeitherReadNorWritten)
{
    grid.SetCells(4, 3, u"8v0"_s);
    TFilterData &condition = grid.Filter().Add();
    condition.Column = 4;
    condition.Condition = u"!8v0"_s;
    grid.SetFilterActive(true);
    store.put(RootKey::CurrentUser, Copy803, u"ImageName", {ValueKind::String, u"stored", 0});
    read();
    write();
    grid.SetFilterActive(false);
    EXPECT_EQ(grid.Cells(1, 3), u"x.img"_s);
    EXPECT_EQ(stored(u"ImageName"), (RegistryValue{ValueKind::String, u"stored", 0}));
}

namespace {

// A store one of whose values cannot be read, as the Windows registry
// answers for a value it cannot return.
class OneBadValueStore : public RegistryStore
{
public:
    std::unique_ptr<RegistryKey> openKey(RootKey root, std::u16string_view path,
                                         bool create) override
    {
        class Key : public RegistryKey
        {
        public:
            explicit Key(std::unique_ptr<RegistryKey> inner)
                : m_inner(std::move(inner))
            { }
            std::optional<StoredValue> storedValue(std::u16string_view name) override
            {
                if (name == u"ImageName")
                    throw ERegistryError("Cannot read the registry value ImageName");
                return m_inner->storedValue(name);
            }
            bool setStoredValue(std::u16string_view name, const StoredValue &value) override
            {
                return m_inner->setStoredValue(name, value);
            }
            bool deleteValue(std::u16string_view name) override
            {
                return m_inner->deleteValue(name);
            }

        private:
            std::unique_ptr<RegistryKey> m_inner;
        };
        auto key = inner.openKey(root, path, create);
        return key ? std::make_unique<Key>(std::move(key)) : nullptr;
    }

    MemoryRegistryStore inner;
};

} // namespace

TEST_F(RegistryMappingTest, AValueThatCannotBeReadCostsOnlyItsOwnRow)
{
    OneBadValueStore bad;
    bad.inner.put(RootKey::CurrentUser, Copy803, u"ImageName", {ValueKind::String, u"x", 0});
    bad.inner.put(RootKey::CurrentUser, Copy803, u"Method", {ValueKind::String, u"dwmDAO", 0});
    RegistryAccessor badRegistry(bad);
    EXPECT_FALSE(readPageSettings(grid, badRegistry, SettingsPage::Copy, Release::R803,
                                  Language::English, storedSettings)
                     .storeError);
    EXPECT_EQ(grid.Cells(1, 3), u"Not available (read error)"_s);
    EXPECT_EQ(grid.Cells(1, 6), u"dwmDAO"_s) << "the rows after it are read";
    EXPECT_FALSE(storedSettings.isMissing(u"ImageName"_s)) << "so it cannot be entered";

    // Saved untouched, nothing is written over it or the others; restored
    // to its default and saved, it is written.
    const int writes = bad.inner.writeCount();
    const PageSave untouched
        = writePageSettings(grid, badRegistry, SettingsPage::Copy, Release::R803, storedSettings);
    EXPECT_EQ(bad.inner.get(RootKey::CurrentUser, Copy803, u"Method")->text, u"dwmDAO");
    EXPECT_EQ(bad.inner.writeCount() - writes, int(untouched.written.size()));
    for (const auto &[name, setting] : untouched.written)
        EXPECT_NE(name, u"ImageName"_s);
    grid.SetCells(1, 3, u"x.img"_s);
    const PageSave edited
        = writePageSettings(grid, badRegistry, SettingsPage::Copy, Release::R803, storedSettings);
    EXPECT_TRUE(edited.overwritten.isEmpty());
    EXPECT_EQ(bad.inner.get(RootKey::CurrentUser, Copy803, u"ImageName")->text, u"x.img");
}

TEST_F(RegistryMappingTest, AKeyCreatedAfterTheReadKeepsTheValuesItWasCreatedWith)
{
    MemoryRegistryStore later;
    RegistryAccessor laterRegistry(later);
    ASSERT_TRUE(readPageSettings(grid, laterRegistry, SettingsPage::Copy, Release::R803,
                                 Language::English, storedSettings)
                    .keyMissing);
    // The copy program starts and creates its settings; only one is edited here.
    later.put(RootKey::CurrentUser, Copy803, u"MaxCdSize", {ValueKind::Integer, {}, 700});
    later.put(RootKey::CurrentUser, Copy803, u"ImageName", {ValueKind::String, u"its.img", 0});
    grid.SetCells(1, 6, u"dwmRAW"_s);
    const PageSave save
        = writePageSettings(grid, laterRegistry, SettingsPage::Copy, Release::R803, storedSettings);
    EXPECT_EQ(later.get(RootKey::CurrentUser, Copy803, u"MaxCdSize")->integer, 700);
    EXPECT_EQ(later.get(RootKey::CurrentUser, Copy803, u"ImageName")->text, u"its.img");
    EXPECT_EQ(later.get(RootKey::CurrentUser, Copy803, u"Method")->text, u"dwmRAW");
    EXPECT_EQ(later.get(RootKey::CurrentUser, Copy803, u"TestWrite")->text, u"False")
        << "what it did not create is created as shown";
    EXPECT_TRUE(save.overwritten.isEmpty());
}

TEST(SaveReportTest, WritesRefusedAtTheCommitAreMovedToTheirPage)
{
    PageSave save;
    save.written = {{u"MaxCdSize"_s, {}}, {u"Name"_s, {}}};
    takeRefused(save, u"\\Software\\vob\\CD Wizard\\8.0\\Copy"_s,
                {{u"Software\\VOB\\CD WIZARD\\8.0\\Copy", u"name"},
                 {u"Software\\VOB\\CD Wizard\\8.0", u"MaxCdSize"}});
    EXPECT_EQ(save.refused, QStringList{u"Name"_s});
    ASSERT_EQ(save.written.size(), 1);
    EXPECT_EQ(save.written[0].first, u"MaxCdSize"_s)
        << "the same name in another key is not this page's";
}

TEST(SaveReportTest, EverythingNotStoredAsItWasIsToldInOneMessage)
{
    EXPECT_EQ(saveReport({{SettingsPage::General, {}}}, Language::English, Release::R803).text,
              QString())
        << "a save that stored everything says nothing";

    PageSave copy, options, data;
    copy.refused = {u"MaxCdSize"_s, u"Name"_s};
    copy.overwritten = {u"Width"_s};
    options.keyMissing = true;
    data.keyMissing = true;
    const SaveReport report = saveReport({{SettingsPage::Copy, copy},
                                          {SettingsPage::Options, options},
                                          {SettingsPage::DataPath, data}},
                                         Language::Italian, Release::R800);
    EXPECT_TRUE(report.unsaved);
    EXPECT_EQ(report.text,
              u"Questi valori non sono stati salvati:\r\rCopia: MaxCdSize, Name\r\r"
              u"Le impostazioni di InstantCopy 8.0.0.x non esistono ancora nel registro, quindi "
              u"queste liste non sono state salvate: Opzioni, Percorso Dati.\r"
              u"Avviare InstantCopy una volta: le crea.\r\r"
              u"Questi valori erano stati cambiati da un altro programma dopo la lettura; le "
              u"modifiche fatte qui li hanno sostituiti:\r\rCopia: Width"_s);

    PageSave replaced;
    replaced.overwritten = {u"Width"_s};
    EXPECT_FALSE(
        saveReport({{SettingsPage::Copy, replaced}}, Language::English, Release::R803).unsaved)
        << "what replaced another program's value was stored";
}
