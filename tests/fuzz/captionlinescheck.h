#pragma once

#include <QByteArray>

// Feeds one input, as UTF-8, through the caption-lines view: splitting into
// lines, joining back and splitting again. The lines carry no line breaks,
// only the first 254 characters take part, and a caption without line
// breaks of its own splits the same after a join (but for a last empty
// line, which a join does not keep).
void checkCaptionLinesInput(const QByteArray &bytes);
