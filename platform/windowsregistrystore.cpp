#include "windowsregistrystore.h"

#include <windows.h>

#include <cstring>
#include <vector>

namespace {

HKEY rootHandle(RootKey root)
{
    switch (root) {
    case RootKey::ClassesRoot:
        return HKEY_CLASSES_ROOT;
    case RootKey::CurrentUser:
        return HKEY_CURRENT_USER;
    case RootKey::LocalMachine:
        return HKEY_LOCAL_MACHINE;
    case RootKey::Users:
        return HKEY_USERS;
    case RootKey::CurrentConfig:
        return HKEY_CURRENT_CONFIG;
    }
    return HKEY_CURRENT_USER;
}

// The registry's wide characters are UTF-16, as the store's text is.
const wchar_t *wide(const std::u16string &text)
{
    return reinterpret_cast<const wchar_t *>(text.c_str());
}

class WindowsKey : public RegistryKey
{
public:
    WindowsKey(HKEY handle, bool owned)
        : m_handle(handle)
        , m_owned(owned)
    { }
    ~WindowsKey() override
    {
        if (m_owned)
            RegCloseKey(m_handle);
    }
    WindowsKey(const WindowsKey &) = delete;
    WindowsKey &operator=(const WindowsKey &) = delete;

    std::optional<RegistryValue> value(std::u16string_view name) override
    {
        const std::u16string valueName(name);
        DWORD type = 0;
        DWORD size = 0;
        LSTATUS status
            = RegQueryValueExW(m_handle, wide(valueName), nullptr, &type, nullptr, &size);
        if (status == ERROR_FILE_NOT_FOUND)
            return std::nullopt;
        std::vector<BYTE> data(size + sizeof(wchar_t));
        // The value may grow between the two calls; ask again with its new size.
        while ((status
                = RegQueryValueExW(m_handle, wide(valueName), nullptr, &type, data.data(), &size))
               == ERROR_MORE_DATA)
            data.resize(size + sizeof(wchar_t));
        if (status == ERROR_FILE_NOT_FOUND)
            return std::nullopt;
        if (status != ERROR_SUCCESS)
            throw ERegistryError("Cannot read the registry value " + toUtf8(name));

        if (type == REG_SZ || type == REG_EXPAND_SZ) {
            std::u16string text(reinterpret_cast<const char16_t *>(data.data()),
                                size / sizeof(char16_t));
            if (const auto nul = text.find(u'\0'); nul != std::u16string::npos)
                text.resize(nul);
            return RegistryValue{type == REG_SZ ? ValueKind::String : ValueKind::ExpandString, text,
                                 0};
        }
        if (type == REG_DWORD && size == sizeof(DWORD)) {
            DWORD number = 0;
            std::memcpy(&number, data.data(), sizeof number);
            return RegistryValue{ValueKind::Integer, {}, static_cast<std::int32_t>(number)};
        }
        return RegistryValue{};
    }

    bool setString(std::u16string_view name, std::u16string_view text) override
    {
        const std::u16string valueName(name);
        const std::u16string data(text);
        const auto bytes = static_cast<DWORD>((data.size() + 1) * sizeof(char16_t));
        return RegSetValueExW(m_handle, wide(valueName), 0, REG_SZ,
                              reinterpret_cast<const BYTE *>(data.c_str()), bytes)
            == ERROR_SUCCESS;
    }

    bool setInteger(std::u16string_view name, std::int32_t value) override
    {
        const std::u16string valueName(name);
        const auto number = static_cast<DWORD>(value);
        return RegSetValueExW(m_handle, wide(valueName), 0, REG_DWORD,
                              reinterpret_cast<const BYTE *>(&number), sizeof number)
            == ERROR_SUCCESS;
    }

private:
    HKEY m_handle;
    bool m_owned;
};

} // namespace

WindowsRegistryStore::WindowsRegistryStore(bool readOnly)
    : m_readOnly(readOnly)
{ }

std::unique_ptr<RegistryKey> WindowsRegistryStore::openKey(RootKey root, std::u16string_view path,
                                                           bool create)
{
    const HKEY parent = rootHandle(root);
    if (path.empty())
        return std::make_unique<WindowsKey>(parent, false);
    const std::u16string keyPath(path);
    const REGSAM access = m_readOnly ? KEY_READ : KEY_READ | KEY_WRITE;
    HKEY handle = nullptr;
    const LSTATUS status = create && !m_readOnly
        ? RegCreateKeyExW(parent, wide(keyPath), 0, nullptr, REG_OPTION_NON_VOLATILE, access,
                          nullptr, &handle, nullptr)
        : RegOpenKeyExW(parent, wide(keyPath), 0, access, &handle);
    if (status != ERROR_SUCCESS)
        return nullptr;
    return std::make_unique<WindowsKey>(handle, true);
}
