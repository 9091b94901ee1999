#include "registrycontract.h"

#include <climits>

namespace {

const std::u16string Italian = u"Perché è già più caffè? àèéìòù ÀÈÉÌÒÙ €";

StoredValue bytes(std::uint32_t type, std::vector<std::uint8_t> data)
{
    return {type, std::move(data)};
}

// A REG_SZ whose data goes on after the NUL that ends its text.
StoredValue textWithTail()
{
    StoredValue text = StoredValue::fromString(u"shown");
    const StoredValue tail = StoredValue::fromString(u"kept after the NUL");
    text.data.insert(text.data.end(), tail.data.begin(), tail.data.end());
    return text;
}

// One value of every kind.
std::vector<std::pair<std::u16string, StoredValue>> everyKind()
{
    std::vector<std::uint8_t> many;
    for (int i = 0; i < 300; ++i)
        many.push_back(static_cast<std::uint8_t>(i * 7));
    return {
        {u"Expand", StoredValue::fromString(u"%WINDIR%\\è", StoredType::ExpandString)},
        {u"Empty", bytes(StoredType::Binary, {})},
        {u"Bytes", bytes(StoredType::Binary, many)},
        {u"Number", StoredValue::fromInteger(-2)},
        {u"Lines",
         StoredValue::fromString(std::u16string(u"one\0two\0", 8), StoredType::MultiString)},
        {u"Wide", bytes(StoredType::QWord, {1, 2, 3, 4, 5, 6, 7, 0x80})},
        {u"Unusual", bytes(0x12345, {0, 1, 0xFE})},
        {u"", StoredValue::fromString(u"the default value")},
    };
}

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

    // Put there by another program: seen once the key is opened again
    // (after a refresh where the store keeps what another program holds).
    fixture().seed(u"Software\\Tarsel\\Ordevan8", u"Blob", RegistryValue{ValueKind::Other, {}, 0});
    fixture().store().refresh();
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

TEST_P(RegistryContract, EveryKindIsStoredExactlyAndReplacesAnyOther)
{
    openTestKey();
    for (const auto &[name, value] : everyKind()) {
        reg().writeString(name, u"before");
        reg().writeStoredValue(name, value);
        EXPECT_EQ(reg().readStoredValue(name), value) << toUtf8(name);
    }
    // As stored, not as remembered.
    reg().closeKey();
    openTestKey();
    for (const auto &[name, value] : everyKind())
        EXPECT_EQ(reg().readStoredValue(name), value) << toUtf8(name);

    // Read as the tool reads them.
    EXPECT_EQ(reg().readValue(u"Expand"),
              (RegistryValue{ValueKind::ExpandString, u"%WINDIR%\\è", 0}));
    EXPECT_EQ(reg().readInteger(u"Number"), -2);
    EXPECT_EQ(reg().readValue(u"Wide"), RegistryValue{});
    EXPECT_THROW(reg().readString(u"Lines"), ERegistryError);
    EXPECT_FALSE(reg().readStoredValue(u"NoSuchValue"));

    // What the tool writes is what the registry holds for it.
    reg().writeString(u"Plain", u"é");
    EXPECT_EQ(reg().readStoredValue(u"Plain"), StoredValue::fromString(u"é"));
    EXPECT_EQ(reg().readStoredValue(u"Plain")->data, (std::vector<std::uint8_t>{0xE9, 0, 0, 0}));
    reg().writeInteger(u"Count", 700);
    EXPECT_EQ(reg().readStoredValue(u"Count"), bytes(StoredType::DWord, {0xBC, 0x02, 0, 0}));
}

TEST_P(RegistryContract, TextAfterTheNulOfAStringIsKeptOrTheWriteRefused)
{
    openTestKey();
    reg().writeString(u"Text", u"before");
    if (!fixture().keepsTextAfterItsNul()) {
        EXPECT_THROW(reg().writeStoredValue(u"Text", textWithTail()), ERegistryError);
        reg().closeKey();
        openTestKey();
        EXPECT_EQ(reg().readStoredValue(u"Text"), StoredValue::fromString(u"before"));
        return;
    }
    reg().writeStoredValue(u"Text", textWithTail());
    EXPECT_EQ(reg().readStoredValue(u"Text"), textWithTail());
    reg().closeKey();
    openTestKey();
    EXPECT_EQ(reg().readStoredValue(u"Text"), textWithTail());
    EXPECT_EQ(reg().readString(u"Text"), u"shown");
}

TEST_P(RegistryContract, DeletingRemovesTheValueAndNothingElse)
{
    openTestKey();
    reg().writeString(u"Gone", u"x");
    reg().writeInteger(u"Kept", 1);
    reg().writeString(u"", u"default");
    fixture().seed(u"Software\\Tarsel\\Ordevan8", u"Blob", RegistryValue{ValueKind::Other, {}, 0});
    openTestKey();

    reg().deleteValue(u"GONE"); // names match without regard to case
    EXPECT_FALSE(reg().readStoredValue(u"Gone"));
    reg().deleteValue(u"Blob");
    EXPECT_FALSE(reg().readStoredValue(u"Blob"));
    reg().deleteValue(u"");
    EXPECT_FALSE(reg().readStoredValue(u""));
    EXPECT_EQ(reg().readInteger(u"Kept"), 1);

    // One that is not there is gone already.
    EXPECT_NO_THROW(reg().deleteValue(u"Gone"));
    EXPECT_NO_THROW(reg().deleteValue(u"NeverThere"));

    reg().closeKey();
    openTestKey();
    EXPECT_FALSE(reg().readStoredValue(u"Gone"));
    EXPECT_FALSE(reg().readStoredValue(u"Blob"));
    EXPECT_EQ(reg().readInteger(u"Kept"), 1);

    // The key stays, and a value can be made again.
    reg().deleteValue(u"Kept");
    reg().closeKey();
    EXPECT_TRUE(reg().openKey(u"\\Software\\Tarsel\\Ordevan8", false));
    reg().writeInteger(u"Gone", 5);
    EXPECT_EQ(reg().readInteger(u"Gone"), 5);
    reg().closeKey();
    openTestKey();
    EXPECT_EQ(reg().readInteger(u"Gone"), 5);
}

TEST_P(RegistryContract, ADeletionInABatchIsStoredByItsCommitAndDroppedByItsCancel)
{
    openTestKey();
    reg().writeString(u"Gone", u"x");
    reg().writeString(u"Back", u"y");
    reg().writeString(u"Kept", u"z");
    reg().closeKey();
    {
        RegistryBatch batch(fixture().store());
        openTestKey();
        reg().deleteValue(u"Gone");
        EXPECT_FALSE(reg().readStoredValue(u"Gone")) << "the batch reads its own deletion";
        EXPECT_EQ(reg().readString(u"Kept"), u"z");
        // A value deleted and written again, and one written and deleted.
        reg().deleteValue(u"Kept");
        reg().writeString(u"Kept", u"again");
        reg().writeString(u"Passing", u"p");
        reg().deleteValue(u"Passing");
        EXPECT_EQ(reg().readString(u"Kept"), u"again");
        EXPECT_FALSE(reg().readStoredValue(u"Passing"));
        EXPECT_TRUE(batch.commit().empty());
    }
    reg().closeKey();
    openTestKey();
    EXPECT_FALSE(reg().readStoredValue(u"Gone"));
    EXPECT_FALSE(reg().readStoredValue(u"Passing"));
    EXPECT_EQ(reg().readString(u"Kept"), u"again");

    {
        RegistryBatch batch(fixture().store());
        openTestKey();
        reg().deleteValue(u"Back");
        EXPECT_FALSE(reg().readStoredValue(u"Back"));
    }
    reg().closeKey();
    openTestKey();
    if (fixture().holdsBatches())
        EXPECT_EQ(reg().readString(u"Back"), u"y") << "a cancelled batch deletes nothing";
    else
        EXPECT_FALSE(reg().readStoredValue(u"Back")) << "deleted as it was asked";
}

TEST_P(RegistryContract, RefusedDeletionsAndExactWritesAreErrorsTheCallerSees)
{
    openTestKey();
    reg().writeString(u"Kept", u"before");
    if (!fixture().refuseWrites())
        GTEST_SKIP() << "this store is tested for refused writes on its own";
    EXPECT_THROW(reg().deleteValue(u"Kept"), ERegistryError);
    EXPECT_THROW(reg().writeStoredValue(u"Kept", bytes(StoredType::Binary, {1})), ERegistryError);
    EXPECT_EQ(reg().readStoredValue(u"Kept"), StoredValue::fromString(u"before"));
}
