#pragma once

#include <QByteArray>

// Feeds one input, as a Windows-1252 cell text, through kind detection,
// preparation, measuring and drawing into a small image, and tag stripping.
// Whatever the input, the extents are sane and the painter comes back as it
// was. Needs a QGuiApplication (fonts).
void checkMarkupInput(const QByteArray &bytes);
