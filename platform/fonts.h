#pragma once

// The window's fonts are named as on Windows ("MS Sans Serif", "Tahoma",
// "Arial Narrow", "Symbol"). Where a face of that name is not installed, a
// face the project installs stands in for it, so that text looks and measures
// the same on any system.

#include <QFont>

// Lets any font that names one of those faces find its stand-in, such as the
// faces written in the settings' descriptions.
void installFontSubstitutions();

// The installed face to draw `face` with. For one of the faces above: the face
// itself where it is installed, else the first of its stand-ins that is,
// looked up once for the life of the process (a face installed later is not
// seen). Any other name is returned as it is.
QString installedFace(const QString &face);

// A font of the face `face`, naming the installed face outright (finding a
// face that is not installed costs a search of the system's fonts for every
// size and weight first used), drawn as Windows draws it: unshaped and not
// kerned.
QFont windowsFont(const QString &face);
