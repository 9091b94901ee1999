#include "fonts.h"

#include <QFont>
#include <QStringList>

using namespace Qt::Literals::StringLiterals;

void installFontSubstitutions()
{
    QFont::insertSubstitutions(u"MS Sans Serif"_s,
                               QStringList{u"Liberation Sans"_s, u"DejaVu Sans"_s});
    QFont::insertSubstitutions(u"Tahoma"_s, QStringList{u"DejaVu Sans"_s, u"Liberation Sans"_s});
    QFont::insertSubstitutions(
        u"Arial Narrow"_s,
        QStringList{u"Liberation Sans Narrow"_s, u"DejaVu Sans Condensed"_s, u"Liberation Sans"_s});
    QFont::insertSubstitutions(u"Symbol"_s, QStringList{u"DejaVu Sans"_s});
}
