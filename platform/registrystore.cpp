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
