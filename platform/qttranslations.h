#pragma once

// Qt's own texts (the file dialog, the standard buttons of a message box)
// in the interface language.

#include "language.h"

// Installs Qt's translations for `language` in the running application, in
// place of those installed before; English needs none. They are looked for
// where Qt keeps them, then in "translations" beside the executable, as a
// copy for Windows carries them. False when none were found.
bool useQtTranslations(Language language);
