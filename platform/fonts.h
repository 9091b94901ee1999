#pragma once

// The window's fonts are named as on Windows ("MS Sans Serif", "Tahoma",
// "Arial Narrow", "Symbol"). They are mapped once, here, to faces the
// project installs, so that text looks and measures the same on any system.
void installFontSubstitutions();
