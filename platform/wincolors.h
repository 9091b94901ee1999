#pragma once

// Colours as the tool's files and settings write them: 0x00BBGGRR values,
// and the Windows system colours by name, resolved through one table of the
// classic Windows values so that the tool looks the same everywhere.

#include <QColor>

enum SystemColor {
    clScrollBar,
    clBackground,
    clActiveCaption,
    clInactiveCaption,
    clMenu,
    clWindow,
    clWindowFrame,
    clMenuText,
    clWindowText,
    clCaptionText,
    clActiveBorder,
    clInactiveBorder,
    clAppWorkSpace,
    clHighlight,
    clHighlightText,
    clBtnFace,
    clBtnShadow,
    clGrayText,
    clBtnText,
    clInactiveCaptionText,
    clBtnHighlight,
    cl3DDkShadow,
    cl3DLight,
    clInfoText,
    clInfoBk
};

QColor sysColor(SystemColor color);
// 0x00BBGGRR.
QColor fromBgr(quint32 value);
