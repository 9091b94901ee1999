#include "windowsregistrystore.h"

#include <windows.h>

#include <algorithm>
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

    std::optional<StoredValue> storedValue(std::u16string_view name) override
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
        data.resize(size);
        return StoredValue{static_cast<std::uint32_t>(type), {data.begin(), data.end()}};
    }

    bool setStoredValue(std::u16string_view name, const StoredValue &value) override
    {
        const std::u16string valueName(name);
        // For text kinds the registry looks one character before and after
        // the data, and counts in a closing NUL it finds right after it:
        // data that is stored as given has non-NUL bytes around it.
        std::vector<BYTE> padded(value.data.size() + 5, 0xFF);
        std::copy(value.data.begin(), value.data.end(), padded.begin() + 2);
        return RegSetValueExW(m_handle, wide(valueName), 0, value.type, padded.data() + 2,
                              static_cast<DWORD>(value.data.size()))
            == ERROR_SUCCESS;
    }

    bool deleteValue(std::u16string_view name) override
    {
        const std::u16string valueName(name);
        const LSTATUS status = RegDeleteValueW(m_handle, wide(valueName));
        return status == ERROR_SUCCESS || status == ERROR_FILE_NOT_FOUND;
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
