#include "gridmodel.h"
#include "printers.h"
#include "registrymapping.h"
#include "settingrow.h"
#include "valuechanges.h"

#include <gtest/gtest.h>

using namespace Qt::Literals::StringLiterals;

namespace {

// A page of three settings and a heading, with the values given.
GridModel page(const QString &number, const QString &yesNo, const QString &text)
{
    GridModel grid;
    setUpSettingsGrid(grid);
    grid.SetRowCount(5);
    const QStringList names
        = {u"<b>Number</b>"_s, u"<b>YesNo</b>"_s, u"Heading"_s, u"<b>Text</b>"_s};
    const QStringList types = {u"VALUE"_s, u"Bool"_s, QString(), u"STRING"_s};
    const QStringList values = {number, yesNo, QString(), text};
    for (int i = 0; i < 4; ++i) {
        grid.SetCells(SettingColumn::Name, i + 1, names[i]);
        grid.SetCells(SettingColumn::Type, i + 1, types[i]);
        grid.SetCells(SettingColumn::Value, i + 1, values[i]);
    }
    grid.SetCheckBox(SettingColumn::Value, 2, yesNo == u"True"_s);
    return grid;
}

StoredSettings storedAs(const GridModel &grid)
{
    StoredSettings stored;
    for (const auto &[name, text] : pageValues(grid))
        stored.remember(name, {std::nullopt, text, false});
    return stored;
}

} // namespace

TEST(ValueChanges, MarksCompareWithTheDefaultAndWithWhatWasRead)
{
    GridModel grid = page(u"$10"_s, u"True"_s, u"abc"_s);
    PageDefaults defaults;
    defaults.takeFrom(page(u"16"_s, u"False"_s, u"abc"_s));
    StoredSettings stored = storedAs(grid);

    EXPECT_FALSE(valueMarks(grid, 1, defaults, stored).notDefault) << "$10 is 16";
    EXPECT_TRUE(valueMarks(grid, 2, defaults, stored).notDefault);
    EXPECT_FALSE(valueMarks(grid, 4, defaults, stored).notDefault);
    EXPECT_FALSE(valueMarks(grid, 3, defaults, stored).notDefault) << "a heading";
    EXPECT_FALSE(hasUnsavedEdits(grid, stored));

    setSettingValue(grid, 2, u"False"_s);
    EXPECT_EQ(grid.CheckBox(SettingColumn::Value, 2), false);
    EXPECT_TRUE(valueMarks(grid, 2, defaults, stored).edited);
    EXPECT_FALSE(valueMarks(grid, 2, defaults, stored).notDefault);
    EXPECT_TRUE(hasUnsavedEdits(grid, stored));
    EXPECT_EQ(editedValues(grid, stored), (PageValues{{u"YesNo"_s, u"False"_s}}));

    // Text is compared as it is; "ABC" is another value.
    setSettingValue(grid, 4, u"ABC"_s);
    EXPECT_TRUE(valueMarks(grid, 4, defaults, stored).notDefault);

    // A marker is neither an edit nor a value off its default; without
    // anything read, only what replaced a marker is an edit.
    setSettingValue(grid, 1, readErrorMarker(Language::Italian));
    EXPECT_FALSE(valueMarks(grid, 1, defaults, stored).notDefault);
    EXPECT_FALSE(valueMarks(grid, 1, defaults, StoredSettings()).edited);
    EXPECT_TRUE(valueMarks(grid, 4, defaults, StoredSettings()).edited);
}

TEST(ValueChanges, ValuesGoBackToTheRowsThatStillHaveThem)
{
    GridModel grid = page(u"1"_s, u"False"_s, u"abc"_s);
    restoreValues(grid,
                  {{u"yesno"_s, u"True"_s},
                   {u"Gone"_s, u"x"_s},
                   {u"Number"_s, readErrorMarker(Language::English)},
                   {u"TEXT"_s, u"new"_s}});
    EXPECT_EQ(pageValues(grid),
              (PageValues{{u"Number"_s, u"1"_s}, {u"YesNo"_s, u"True"_s}, {u"Text"_s, u"new"_s}}));
    EXPECT_EQ(grid.CheckBox(SettingColumn::Value, 2), true);
    EXPECT_EQ(settingRowOf(grid, u"Heading"_s), -1);
}

TEST(ValueChanges, TheHistoryKeepsStepsUntilTheirPagesAreReadOrSaved)
{
    EditHistory history;
    history.record({{SettingsPage::General, u"A"_s, u"1"_s, u"1"_s}});
    EXPECT_TRUE(history.isEmpty()) << "a change that changed nothing";

    const ValueEdit general{SettingsPage::General, u"A"_s, u"1"_s, u"2"_s};
    const ValueEdit copy{SettingsPage::Copy, u"B"_s, u"x"_s, u"y"_s};
    history.record({general});
    history.record({general, copy, {SettingsPage::Copy, u"C"_s, u"same"_s, u"same"_s}});
    history.record({copy});
    history.forget(SettingsPage::Copy);
    EXPECT_EQ(history.takeLast(), (QList<ValueEdit>{general}));
    EXPECT_EQ(history.takeLast(), (QList<ValueEdit>{general}));
    EXPECT_EQ(history.takeLast(), std::nullopt);

    for (int i = 0; i < 1005; ++i)
        history.record({{SettingsPage::General, u"A"_s, QString::number(i), u"x"_s}});
    int steps = 0;
    std::optional<QList<ValueEdit>> last;
    while (auto step = history.takeLast()) {
        last = step;
        ++steps;
    }
    EXPECT_EQ(steps, 1000);
    EXPECT_EQ(last->first().before, u"5"_s) << "the oldest steps drop off";
}

TEST(ValueChanges, EditsSinceAreTheDifferencesRowByRow)
{
    GridModel grid = page(u"1"_s, u"False"_s, u"abc"_s);
    const PageValues before = pageValues(grid);
    setSettingValue(grid, 1, u"7"_s);
    const QList<ValueEdit> edits = editsSince(SettingsPage::Options, before, grid);
    ASSERT_EQ(edits.size(), 3);
    EXPECT_EQ(edits[0], (ValueEdit{SettingsPage::Options, u"Number"_s, u"1"_s, u"7"_s}));
    EXPECT_EQ(edits[1].before, edits[1].after);
}
