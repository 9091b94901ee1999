#include "registrystore.h"

ERegistryStoreError::ERegistryStoreError(std::u16string english, std::u16string italian)
    : ERegistryError(toUtf8(english))
    , m_english(std::move(english))
    , m_italian(std::move(italian))
{ }

std::u16string_view rootKeyName(RootKey root)
{
    switch (root) {
    case RootKey::ClassesRoot:
        return u"HKEY_CLASSES_ROOT";
    case RootKey::CurrentUser:
        return u"HKEY_CURRENT_USER";
    case RootKey::LocalMachine:
        return u"HKEY_LOCAL_MACHINE";
    case RootKey::Users:
        return u"HKEY_USERS";
    case RootKey::CurrentConfig:
        return u"HKEY_CURRENT_CONFIG";
    }
    return u"";
}

StoredValue StoredValue::fromString(std::u16string_view text, std::uint32_t type)
{
    StoredValue value{type, {}};
    value.data.reserve((text.size() + 1) * 2);
    for (const char16_t c : text) {
        value.data.push_back(static_cast<std::uint8_t>(c & 0xFF));
        value.data.push_back(static_cast<std::uint8_t>(c >> 8));
    }
    value.data.insert(value.data.end(), 2, 0);
    return value;
}

StoredValue StoredValue::fromInteger(std::int32_t value)
{
    const auto bits = static_cast<std::uint32_t>(value);
    return {StoredType::DWord,
            {static_cast<std::uint8_t>(bits), static_cast<std::uint8_t>(bits >> 8),
             static_cast<std::uint8_t>(bits >> 16), static_cast<std::uint8_t>(bits >> 24)}};
}

RegistryValue decodeValue(const StoredValue &value)
{
    const std::vector<std::uint8_t> &data = value.data;
    if (value.type == StoredType::String || value.type == StoredType::ExpandString) {
        std::u16string text;
        // A last odd byte is no character.
        for (std::size_t i = 0; i + 1 < data.size(); i += 2) {
            const auto c = static_cast<char16_t>(data[i] | (data[i + 1] << 8));
            if (c == 0)
                break;
            text += c;
        }
        return {value.type == StoredType::String ? ValueKind::String : ValueKind::ExpandString,
                std::move(text), 0};
    }
    if (value.type == StoredType::DWord && data.size() == 4) {
        const std::uint32_t bits = data[0] | (data[1] << 8) | (data[2] << 16)
            | (static_cast<std::uint32_t>(data[3]) << 24);
        return {ValueKind::Integer, {}, static_cast<std::int32_t>(bits)};
    }
    return {};
}

std::optional<RegistryValue> RegistryKey::value(std::u16string_view name)
{
    const std::optional<StoredValue> stored = storedValue(name);
    if (!stored)
        return std::nullopt;
    return decodeValue(*stored);
}

bool RegistryKey::setString(std::u16string_view name, std::u16string_view text)
{
    return setStoredValue(name, StoredValue::fromString(text));
}

bool RegistryKey::setInteger(std::u16string_view name, std::int32_t value)
{
    return setStoredValue(name, StoredValue::fromInteger(value));
}
