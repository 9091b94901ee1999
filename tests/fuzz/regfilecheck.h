#pragma once

#include <QByteArray>

// Feeds one input to the registry-export parser and checks what must hold for
// any input: it parses or fails with RegFileError, and whatever parses is
// written back in a form that parses again to the same bytes, also after an
// edit. A broken invariant aborts, so that a fuzzer reports it.
void checkRegFileInput(const QByteArray &bytes);
