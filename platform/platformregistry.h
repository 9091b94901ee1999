#pragma once

// The registry store of the platform the tool was built for.

#include "registrystore.h"

#include <memory>

std::unique_ptr<RegistryStore> createPlatformRegistry();
