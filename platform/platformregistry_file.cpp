#include "platformregistry.h"
#include "registryfilestore.h"

std::unique_ptr<RegistryStore> createPlatformRegistry()
{
    return std::make_unique<RegistryFileStore>(RegistryFileStore::defaultPath());
}
