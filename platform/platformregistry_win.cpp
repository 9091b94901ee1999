#include "platformregistry.h"

#include "windowsregistrystore.h"

std::unique_ptr<RegistryStore> createPlatformRegistry()
{
    return std::make_unique<WindowsRegistryStore>();
}
