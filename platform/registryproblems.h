#pragma once

#include "registryfilestore.h"

// The message the user is shown for a problem with the settings file.
QString registryFileProblemText(const RegistryFileProblem &problem, Language language);

// The problem as the error the store raises, with its text in both languages.
ERegistryStoreError registryFileError(const RegistryFileProblem &problem);
