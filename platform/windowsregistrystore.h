#pragma once

// The Windows registry behind the store interface, through the wide-character
// advapi32 calls. Standard library and Windows headers only.

#include "registrystore.h"

class WindowsRegistryStore : public RegistryStore
{
public:
    // A read-only store opens keys for reading only, so that every write is refused.
    explicit WindowsRegistryStore(bool readOnly = false);

    std::unique_ptr<RegistryKey> openKey(RootKey root, std::u16string_view path,
                                         bool create) override;

private:
    bool m_readOnly;
};
