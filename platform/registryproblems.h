#pragma once

#include "registryfilestore.h"

// The message the user is shown for a problem with the settings file.
QString registryFileProblemText(const RegistryFileProblem &problem, bool italian);
