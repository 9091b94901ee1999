#pragma once

// The registry store of the platform the tool was built for.

#include "registrystore.h"

#include <functional>
#include <memory>

class Dialogs;

// Problems the store cannot hand back to a caller (a damaged file, say) are
// shown through `dialogs`, in Italian while `italian` says so.
std::unique_ptr<RegistryStore> createPlatformRegistry(Dialogs &dialogs,
                                                      std::function<bool()> italian);
