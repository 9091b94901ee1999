#include "platformregistry.h"

#include "windowsregistrystore.h"

std::unique_ptr<RegistryStore> createPlatformRegistry(Dialogs &, std::function<bool()>)
{
    // The registry reports nothing of its own: a refused write reaches the
    // caller as an error.
    return std::make_unique<WindowsRegistryStore>();
}
