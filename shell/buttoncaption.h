#pragma once

// The window's picture buttons show their captions on one line. A caption
// too wide for its button is drawn in a condensed stretch of the button's
// face, condensed no more than it needs to keep clear of the frame.

#include <QString>

class ToxButton;

void setPictureButtonCaption(ToxButton &button, const QString &caption);
