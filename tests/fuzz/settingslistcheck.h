#pragma once

#include <QByteArray>

// Feeds one input to the settings page loader as a setting list file and
// checks what must hold for any input: it loads or is refused with a reason,
// a loaded page shows no row of the other release and its headers, and a
// refused one can always be emptied. A broken invariant aborts, so that a
// fuzzer reports it.
void checkSettingListInput(const QByteArray &bytes);
