// The Windows platform code on the real registry, under Wine or Windows:
// the same accessor suite as the other stores, refused writes, the program
// start, and the registry's half of the round trip with the per-user file.

#include "registrycontract.h"
#include "roundtripvalues.h"
#include "windowsregistrystore.h"
#include "winprocess.h"

#include <windows.h>

#include <chrono>
#include <thread>

namespace {

const wchar_t *wide(const std::u16string &text)
{
    return reinterpret_cast<const wchar_t *>(text.c_str());
}

void deleteTree(const std::u16string &path)
{
    RegDeleteTreeW(HKEY_CURRENT_USER, wide(path));
}

// Each test starts from keys of its own: the trees the suite writes are removed.
class WindowsFixture : public StoreFixture
{
public:
    WindowsFixture() { clean(); }
    ~WindowsFixture() override { clean(); }

    RegistryStore &store() override { return m_store; }

    void seed(std::u16string_view path, std::u16string_view name,
              const RegistryValue &value) override
    {
        HKEY key = nullptr;
        ASSERT_EQ(RegCreateKeyExW(HKEY_CURRENT_USER, wide(std::u16string(path)), 0, nullptr, 0,
                                  KEY_WRITE, nullptr, &key, nullptr),
                  ERROR_SUCCESS);
        const std::u16string valueName(name);
        if (value.kind == ValueKind::ExpandString) {
            const std::u16string text = value.text;
            RegSetValueExW(key, wide(valueName), 0, REG_EXPAND_SZ,
                           reinterpret_cast<const BYTE *>(text.c_str()),
                           static_cast<DWORD>((text.size() + 1) * 2));
        } else {
            const BYTE bytes[] = {1, 2, 3};
            RegSetValueExW(key, wide(valueName), 0, REG_BINARY, bytes, sizeof bytes);
        }
        RegCloseKey(key);
    }

    // An open key keeps the access it was opened with; refusal is tested
    // with a read-only store instead.
    bool refuseWrites() override { return false; }
    // Each write goes to the registry as it is made.
    bool holdsBatches() const override { return false; }

private:
    static void clean()
    {
        deleteTree(u"Software\\Tarsel");
        deleteTree(u"Software\\VOB");
    }

    WindowsRegistryStore m_store;
};

std::u16string tempFolder()
{
    wchar_t buffer[MAX_PATH + 1] = {};
    GetTempPathW(MAX_PATH, buffer);
    return std::u16string(reinterpret_cast<const char16_t *>(buffer));
}

bool exists(const std::u16string &path)
{
    return GetFileAttributesW(wide(path)) != INVALID_FILE_ATTRIBUTES;
}

std::u16string besideThisProgram(const std::u16string &name)
{
    wchar_t buffer[MAX_PATH + 1] = {};
    GetModuleFileNameW(nullptr, buffer, MAX_PATH);
    std::u16string path(reinterpret_cast<const char16_t *>(buffer));
    return path.substr(0, path.find_last_of(u'\\') + 1) + name;
}

} // namespace

INSTANTIATE_TEST_SUITE_P(Windows, RegistryContract,
                         testing::Values(StoreParam{"Windows",
                                                    [] {
                                                        return std::make_unique<WindowsFixture>();
                                                    }}),
                         storeParamName);

TEST(WindowsRegistryTest, AReadOnlyStoreRefusesWritesAndTheCallerSeesIt)
{
    WindowsFixture clean;
    {
        RegistryAccessor writer(clean.store());
        ASSERT_TRUE(writer.openKey(u"\\Software\\Tarsel\\Ordevan8", true));
        writer.writeString(u"Language", u"Italian");
    }
    WindowsRegistryStore readOnly(true);
    RegistryAccessor reg(readOnly);
    EXPECT_FALSE(reg.openKey(u"\\Software\\Tarsel\\Missing", true)) << "nothing is created";
    ASSERT_TRUE(reg.openKey(u"\\Software\\Tarsel\\Ordevan8", false));
    EXPECT_EQ(reg.readString(u"Language"), u"Italian");
    EXPECT_THROW(reg.writeString(u"Language", u"English"), ERegistryError);
    EXPECT_THROW(reg.writeInteger(u"Count", 1), ERegistryError);
    EXPECT_THROW(reg.writeStoredValue(u"Language", StoredValue{StoredType::Binary, {1}}),
                 ERegistryError);
    EXPECT_THROW(reg.deleteValue(u"Language"), ERegistryError);
    EXPECT_EQ(reg.readString(u"Language"), u"Italian");
}

// The registry counts in a closing NUL that a text's data leaves out when
// one follows it in memory; what the store is given is stored as it is.
TEST(WindowsRegistryTest, TextKindsAreStoredAsGivenWithOrWithoutTheirClosingNul)
{
    WindowsFixture clean;
    RegistryAccessor reg(clean.store());
    ASSERT_TRUE(reg.openKey(u"\\Software\\Tarsel\\Ordevan8", true));
    const StoredValue values[] = {
        {StoredType::String, {'a', 0, 'b', 0}},
        {StoredType::String, {'a'}},
        {StoredType::String, {'a', 0, 'b'}},
        {StoredType::ExpandString, {'%', 0, 'x', 0, '%', 0}},
        {StoredType::MultiString, {'a', 0, 0, 0}},
        {StoredType::String, {}},
    };
    for (const StoredValue &value : values) {
        reg.writeStoredValue(u"Text", value);
        EXPECT_EQ(reg.readStoredValue(u"Text"), value) << value.data.size() << " bytes";
    }
    EXPECT_EQ(reg.readString(u"Text"), u"");
}

TEST(WindowsProcessTest, StartsExactlyThePathNeverAProgramItsPrefixNames)
{
    const std::u16string folder = tempFolder() + u"ordevan launch\\";
    const std::u16string decoy = folder + u"Program.exe";
    const std::u16string target = folder + u"Program Files\\VOB\\ICopy.exe";
    CreateDirectoryW(wide(folder), nullptr);
    CreateDirectoryW(wide(folder + u"Program Files"), nullptr);
    CreateDirectoryW(wide(folder + u"Program Files\\VOB"), nullptr);
    const std::u16string marker = besideThisProgram(u"marker.exe");
    ASSERT_TRUE(CopyFileW(wide(marker), wide(decoy), FALSE)) << "marker.exe beside the tests";
    ASSERT_TRUE(CopyFileW(wide(marker), wide(target), FALSE));
    DeleteFileW(wide(decoy + u".ran"));
    DeleteFileW(wide(target + u".ran"));

    ASSERT_TRUE(startProgramDetached(target));
    for (int i = 0; i < 200 && !exists(target + u".ran"); ++i)
        std::this_thread::sleep_for(std::chrono::milliseconds(50));
    EXPECT_TRUE(exists(target + u".ran"));
    EXPECT_FALSE(exists(decoy + u".ran"));

    EXPECT_FALSE(startProgramDetached(folder + u"Nowhere\\ICopy.exe"));
    EXPECT_FALSE(startProgramDetached(u""));
}

// The two halves of the round trip; scripts/wine-tests runs them between
// imports and exports with the registry editor.
TEST(RoundTrip, ReadsWhatTheFileStoreWrote)
{
    WindowsRegistryStore store;
    RegistryAccessor reg(store);
    ASSERT_TRUE(reg.openKey(ToRegistryKey, false)) << "the imported key";
    for (const RoundTripValue &v : RoundTripValues) {
        if (v.integer)
            EXPECT_EQ(reg.readInteger(v.name), v.number) << toUtf8(v.name);
        else
            EXPECT_EQ(reg.readString(v.name), v.text) << toUtf8(v.name);
    }
}

TEST(RoundTrip, WritesForTheFileStore)
{
    deleteTree(std::u16string(FromRegistryKey.substr(1)));
    WindowsRegistryStore store;
    RegistryAccessor reg(store);
    ASSERT_TRUE(reg.openKey(FromRegistryKey, true));
    for (const RoundTripValue &v : RoundTripValues) {
        if (v.integer)
            reg.writeInteger(v.name, v.number);
        else
            reg.writeString(v.name, v.text);
    }
}
