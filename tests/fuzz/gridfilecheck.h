#pragma once

#include <QByteArray>

// Feeds one input to the grid file loader and checks what must hold for any
// input: it loads or fails with EGridError, the grid stays within its cell
// limit, and switching the release filter on and off gives back every row.
// A broken invariant aborts, so that a fuzzer reports it.
void checkGridFileInput(const QByteArray &bytes);
