#include "buttoncaption.h"

#include "oxbutton.h"

#include <QFontMetrics>

namespace {

// The frame the window's buttons draw at rest, and the face left clear
// between it and the caption on either side: a caption touching the frame
// reads as cut off.
constexpr int FrameWidth = 2;
constexpr int CaptionRoom = 3;
// Below this the letters run into each other; a caption that would need
// more is better clipped than unreadable.
constexpr int NarrowestStretch = 80;

} // namespace

void setPictureButtonCaption(ToxButton &button, const QString &caption)
{
    const int room = button.width() - 2 * (FrameWidth + CaptionRoom);
    QFont font = button.font();
    // The face as the form gave it, whatever an earlier caption needed.
    font.setStretch(QFont::AnyStretch);
    for (int stretch = QFont::Unstretched - 1;
         stretch >= NarrowestStretch && QFontMetrics(font).horizontalAdvance(caption) > room;
         --stretch)
        font.setStretch(stretch);
    button.setFont(font);
    button.SetCaption(caption);
}
