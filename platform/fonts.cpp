#include "fonts.h"

#include <QFontDatabase>
#include <QStringList>

#include <array>

using namespace Qt::Literals::StringLiterals;

namespace {

struct StandIns
{
    QString face;
    QStringList standIns;
};

constexpr std::size_t FaceCount = 4;

const std::array<StandIns, FaceCount> &standInFaces()
{
    static const std::array<StandIns, FaceCount> faces{{
        {u"MS Sans Serif"_s, {u"Liberation Sans"_s, u"DejaVu Sans"_s}},
        {u"Tahoma"_s, {u"DejaVu Sans"_s, u"Liberation Sans"_s}},
        {u"Arial Narrow"_s,
         {u"Liberation Sans Narrow"_s, u"DejaVu Sans Condensed"_s, u"Liberation Sans"_s}},
        {u"Symbol"_s, {u"DejaVu Sans"_s}},
    }};
    return faces;
}

bool installed(const QStringList &families, const QString &face)
{
    return families.contains(face, Qt::CaseInsensitive);
}

QString lookUp(const StandIns &entry)
{
    // The installed families as listed, not as the font system would match
    // a name: it matches any name to some face.
    const QStringList families = QFontDatabase::families();
    if (installed(families, entry.face))
        return entry.face;
    for (const QString &standIn : entry.standIns) {
        if (installed(families, standIn))
            return standIn;
    }
    return entry.face;
}

} // namespace

void installFontSubstitutions()
{
    for (const StandIns &entry : standInFaces())
        QFont::insertSubstitutions(entry.face, entry.standIns);
}

QString installedFace(const QString &face)
{
    // Fonts are made on the GUI thread only.
    static std::array<QString, FaceCount> found;
    const auto &faces = standInFaces();
    for (std::size_t i = 0; i < faces.size(); ++i) {
        if (faces[i].face.compare(face, Qt::CaseInsensitive) != 0)
            continue;
        if (found[i].isEmpty())
            found[i] = lookUp(faces[i]);
        return found[i];
    }
    return face;
}

QFont windowsFont(const QString &face)
{
    QFont font(installedFace(face));
    // Latin text as Windows draws it with these faces: no kerning and no
    // ligatures, which spares shaping every text drawn.
    font.setStyleStrategy(QFont::PreferNoShaping);
    font.setKerning(false);
    return font;
}
