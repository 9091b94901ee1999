#pragma once

// The captions of the window's controls in each interface language, in the
// order they are set.

#include <QList>
#include <QString>

struct CaptionRow
{
    QString control; // the control's object name
    QString design; // what the form holds until a language is applied
    QString english;
    QString italian;
};

const QList<CaptionRow> &captionTable();
