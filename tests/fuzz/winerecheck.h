#pragma once

#include <QByteArray>

// Feeds one input to the Wine registry file reader and checks what must
// hold for any input: it reads or refuses with a line, what it reads it
// writes back byte for byte, and its edits read back as made.
void checkWineRegInput(const QByteArray &bytes);
