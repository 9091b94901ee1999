#pragma once

#include <QByteArray>

// Feeds one input to the backup reader and checks what must hold for any
// input: it is refused or read, and what is read is written as a backup that
// reads back to the same values. A broken invariant aborts, so that a fuzzer
// reports it.
void checkBackupInput(const QByteArray &bytes);
