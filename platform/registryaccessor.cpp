#include "registryaccessor.h"

#include <optional>

std::string toUtf8(std::u16string_view text)
{
    std::string out;
    out.reserve(text.size());
    for (std::size_t i = 0; i < text.size(); ++i) {
        char32_t c = text[i];
        if (c >= 0xD800 && c <= 0xDBFF && i + 1 < text.size() && text[i + 1] >= 0xDC00
            && text[i + 1] <= 0xDFFF) {
            c = 0x10000 + ((c - 0xD800) << 10) + (text[++i] - 0xDC00);
        } else if (c >= 0xD800 && c <= 0xDFFF) {
            c = 0xFFFD; // a lone surrogate
        }
        if (c < 0x80) {
            out += static_cast<char>(c);
        } else if (c < 0x800) {
            out += static_cast<char>(0xC0 | (c >> 6));
            out += static_cast<char>(0x80 | (c & 0x3F));
        } else if (c < 0x10000) {
            out += static_cast<char>(0xE0 | (c >> 12));
            out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
            out += static_cast<char>(0x80 | (c & 0x3F));
        } else {
            out += static_cast<char>(0xF0 | (c >> 18));
            out += static_cast<char>(0x80 | ((c >> 12) & 0x3F));
            out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
            out += static_cast<char>(0x80 | (c & 0x3F));
        }
    }
    return out;
}

namespace {

// "\Software\X\" and "Software\X" name the same key; "A\\B" names none.
std::optional<std::u16string_view> trimmedKeyPath(std::u16string_view path)
{
    if (path.starts_with(u'\\'))
        path.remove_prefix(1);
    if (path.ends_with(u'\\'))
        path.remove_suffix(1);
    if (path.starts_with(u'\\') || path.ends_with(u'\\')
        || path.find(u"\\\\") != std::u16string_view::npos)
        return std::nullopt;
    return path;
}

std::string quoted(std::u16string_view name)
{
    return "'" + toUtf8(name) + "'";
}

} // namespace

RegistryAccessor::RegistryAccessor(RegistryStore &store)
    : m_store(store)
{ }

void RegistryAccessor::setRootKey(RootKey root)
{
    closeKey();
    m_root = root;
}

bool RegistryAccessor::openKey(std::u16string_view path, bool canCreate)
{
    const bool relative = !path.starts_with(u'\\');
    const auto trimmed = trimmedKeyPath(path);
    if (!trimmed)
        return false;

    std::u16string full;
    if (relative && m_key)
        full = trimmed->empty() ? m_path : m_path + u'\\' + std::u16string(*trimmed);
    else
        full = *trimmed;

    auto key = m_store.openKey(m_root, full, canCreate);
    if (!key)
        return false;
    m_key = std::move(key);
    m_path = std::move(full);
    return true;
}

void RegistryAccessor::closeKey()
{
    m_key.reset();
    m_path.clear();
}

RegistryKey &RegistryAccessor::openedKey(std::u16string_view name)
{
    if (!m_key)
        throw ERegistryError("No registry key is open to access value " + quoted(name));
    return *m_key;
}

std::optional<RegistryValue> RegistryAccessor::readValue(std::u16string_view name)
{
    return openedKey(name).value(name);
}

std::u16string RegistryAccessor::readString(std::u16string_view name)
{
    const auto value = openedKey(name).value(name);
    if (!value)
        return {};
    if (value->kind != ValueKind::String && value->kind != ValueKind::ExpandString)
        throw ERegistryError("Invalid data type for " + quoted(name));
    return value->text;
}

std::int32_t RegistryAccessor::readInteger(std::u16string_view name)
{
    const auto value = openedKey(name).value(name);
    if (!value || value->kind != ValueKind::Integer)
        throw ERegistryError("Invalid data type for " + quoted(name));
    return value->integer;
}

void RegistryAccessor::writeString(std::u16string_view name, std::u16string_view text)
{
    if (!openedKey(name).setString(name, text))
        throw ERegistryError("Failed to set data for " + quoted(name));
}

void RegistryAccessor::writeInteger(std::u16string_view name, std::int32_t value)
{
    if (!openedKey(name).setInteger(name, value))
        throw ERegistryError("Failed to set data for " + quoted(name));
}

std::optional<StoredValue> RegistryAccessor::readStoredValue(std::u16string_view name)
{
    return openedKey(name).storedValue(name);
}

void RegistryAccessor::writeStoredValue(std::u16string_view name, const StoredValue &value)
{
    if (!openedKey(name).setStoredValue(name, value))
        throw ERegistryError("Failed to set data for " + quoted(name));
}

void RegistryAccessor::deleteValue(std::u16string_view name)
{
    if (!openedKey(name).deleteValue(name))
        throw ERegistryError("Failed to delete " + quoted(name));
}
