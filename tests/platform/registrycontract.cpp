#include "registrycontract.h"

#include <climits>

namespace {

const std::u16string Italian = u"Perché è già più caffè? àèéìòù ÀÈÉÌÒÙ €";

} // namespace

TEST_P(RegistryContract, StringsRoundTripWhateverTheirContent)
{
    openTestKey();
    const std::u16string big(1024 * 1024, u'x');
    const std::u16string quoted = u"C:\\Program Files\\\"VOB\"\\ICopy.exe";
    const std::u16string lines = u"first\r\nsecond\rthird\n";
    for (const auto &text : {Italian, std::u16string(), big, quoted, lines}) {
        reg().writeString(u"Value", text);
        EXPECT_EQ(reg().readString(u"Value"), text);
    }
    reg().writeString(u"", u"the default value");
    EXPECT_EQ(reg().readString(u""), u"the default value");
    EXPECT_EQ(reg().readString(u"Value"), lines);
    reg().writeString(Italian, u"a name with accents");
    EXPECT_EQ(reg().readString(Italian), u"a name with accents");
}

TEST_P(RegistryContract, IntegersRoundTripAtTheLimits)
{
    openTestKey();
    for (const std::int32_t value : {0, 1, -1, 700, INT32_MAX, INT32_MIN}) {
        reg().writeInteger(u"Number", value);
        EXPECT_EQ(reg().readInteger(u"Number"), value);
    }
}

TEST_P(RegistryContract, MissingValues)
{
    openTestKey();
    EXPECT_EQ(reg().readString(u"NoSuchValue"), u"");
    EXPECT_THROW(reg().readInteger(u"NoSuchValue"), ERegistryError);
}

TEST_P(RegistryContract, ValuesOfTheOtherKindFailToRead)
{
    openTestKey();
    reg().writeInteger(u"Number", 5);
    reg().writeString(u"Text", u"5");
    EXPECT_THROW(reg().readString(u"Number"), ERegistryError);
    EXPECT_THROW(reg().readInteger(u"Text"), ERegistryError);

    // Put there by another program: seen once the key is opened again.
    fixture().seed(u"Software\\Tarsel\\Ordevan8", u"Blob", RegistryValue{ValueKind::Other, {}, 0});
    openTestKey();
    EXPECT_THROW(reg().readString(u"Blob"), ERegistryError);
    EXPECT_THROW(reg().readInteger(u"Blob"), ERegistryError);
}

TEST_P(RegistryContract, ExpandableStringsReadAsText)
{
    fixture().seed(u"Software\\Tarsel\\Ordevan8", u"Where",
                   RegistryValue{ValueKind::ExpandString, u"%ProgramFiles%\\VOB", 0});
    openTestKey();
    EXPECT_EQ(reg().readString(u"Where"), u"%ProgramFiles%\\VOB");
    EXPECT_THROW(reg().readInteger(u"Where"), ERegistryError);
}

TEST_P(RegistryContract, WritingReplacesAValueOfAnyKind)
{
    openTestKey();
    reg().writeInteger(u"Value", 42);
    reg().writeString(u"Value", u"now text");
    EXPECT_EQ(reg().readString(u"Value"), u"now text");
    EXPECT_THROW(reg().readInteger(u"Value"), ERegistryError);

    reg().writeInteger(u"Value", -7);
    EXPECT_EQ(reg().readInteger(u"Value"), -7);

    fixture().seed(u"Software\\Tarsel\\Ordevan8", u"Blob", RegistryValue{ValueKind::Other, {}, 0});
    reg().writeString(u"Blob", u"replaced");
    EXPECT_EQ(reg().readString(u"Blob"), u"replaced");
}

TEST_P(RegistryContract, KeysAndValueNamesMatchWithoutRegardToCase)
{
    ASSERT_TRUE(reg().openKey(u"\\Software\\VOB\\CD Wizard\\8.0\\Copy", true));
    reg().writeInteger(u"MaxSize", 700);
    reg().closeKey();

    ASSERT_TRUE(reg().openKey(u"\\software\\vob\\cd wizard\\8.0\\COPY", false));
    EXPECT_EQ(reg().readInteger(u"MAXSIZE"), 700);
    reg().writeInteger(u"maxsize", 4480);
    EXPECT_EQ(reg().readInteger(u"MaxSize"), 4480);
}

TEST_P(RegistryContract, OpeningWithoutCreateNeverCreates)
{
    EXPECT_FALSE(reg().openKey(u"\\Software\\VOB\\CD Wizard\\7.5", false));
    EXPECT_FALSE(reg().hasOpenKey());
    EXPECT_FALSE(reg().openKey(u"\\Software\\VOB\\CD Wizard\\7.5", false));

    ASSERT_TRUE(reg().openKey(u"\\Software\\VOB\\CD Wizard\\7.5\\DataPath", true));
    reg().closeKey();
    // Creating a key creates the keys above it.
    EXPECT_TRUE(reg().openKey(u"\\Software\\VOB\\CD Wizard\\7.5", false));
    EXPECT_TRUE(reg().openKey(u"\\Software", false));
}

TEST_P(RegistryContract, KeyPathForms)
{
    ASSERT_TRUE(reg().openKey(u"\\Software\\Tarsel\\Ordevan8\\", true));
    EXPECT_EQ(reg().currentPath(), u"Software\\Tarsel\\Ordevan8");
    reg().writeString(u"Language", u"Italian");

    // A path without a leading backslash is taken from the open key.
    ASSERT_TRUE(reg().openKey(u"Sub", true));
    EXPECT_EQ(reg().currentPath(), u"Software\\Tarsel\\Ordevan8\\Sub");
    ASSERT_TRUE(reg().openKey(u"\\Software\\Tarsel\\Ordevan8", false));
    EXPECT_EQ(reg().readString(u"Language"), u"Italian");

    // A failed open leaves the open key as it was.
    EXPECT_FALSE(reg().openKey(u"\\Software\\Nowhere", false));
    EXPECT_EQ(reg().readString(u"Language"), u"Italian");
    EXPECT_FALSE(reg().openKey(u"\\Software\\\\Tarsel", true));

    reg().closeKey();
    ASSERT_TRUE(reg().openKey(u"Software\\Tarsel\\Ordevan8", false));
    EXPECT_EQ(reg().readString(u"Language"), u"Italian");
}

TEST_P(RegistryContract, NoOpenKeyIsAnError)
{
    EXPECT_THROW(reg().readString(u"Language"), ERegistryError);
    EXPECT_THROW(reg().writeInteger(u"Number", 1), ERegistryError);
    openTestKey();
    reg().setRootKey(RootKey::CurrentUser);
    EXPECT_FALSE(reg().hasOpenKey());
    EXPECT_THROW(reg().writeString(u"Language", u"English"), ERegistryError);
}

TEST_P(RegistryContract, RefusedWritesAreErrorsTheCallerSees)
{
    openTestKey();
    reg().writeString(u"Kept", u"before");
    if (!fixture().refuseWrites())
        GTEST_SKIP() << "this store is tested for refused writes on its own";
    EXPECT_THROW(reg().writeString(u"Kept", u"after"), ERegistryError);
    EXPECT_THROW(reg().writeInteger(u"New", 1), ERegistryError);
    EXPECT_EQ(reg().readString(u"Kept"), u"before");
    EXPECT_EQ(reg().readString(u"New"), u"");
}

TEST_P(RegistryContract, ABatchIsStoredByItsCommitAndReadsItsOwnWrites)
{
    {
        RegistryBatch batch(fixture().store());
        RegistryBatch inner(fixture().store()); // batches nest
        openTestKey();
        reg().writeString(u"Language", u"Italian");
        reg().writeInteger(u"Number", 8);
        EXPECT_EQ(reg().readString(u"Language"), u"Italian");
        inner.commit();
        EXPECT_EQ(reg().readInteger(u"Number"), 8);
        batch.commit();
    }
    reg().closeKey();
    openTestKey();
    EXPECT_EQ(reg().readString(u"Language"), u"Italian");
    EXPECT_EQ(reg().readInteger(u"Number"), 8);
}
