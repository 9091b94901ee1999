#include "fonts.h"

#include <QFontDatabase>
#include <QFontInfo>
#include <QFontMetrics>
#include <QStringList>

#include <gtest/gtest.h>

using namespace Qt::Literals::StringLiterals;

TEST(Fonts, EachWindowsFaceIsDrawnWithAnInstalledFace)
{
    const QStringList families = QFontDatabase::families();
    for (const QString &face : {u"MS Sans Serif"_s, u"Tahoma"_s, u"Arial Narrow"_s, u"Symbol"_s}) {
        SCOPED_TRACE(face.toStdString());
        const QString installed = installedFace(face);
        if (families.contains(face, Qt::CaseInsensitive)) {
            EXPECT_EQ(installed, face) << "the face itself where it is there";
        } else if (installed != face) {
            EXPECT_TRUE(families.contains(installed, Qt::CaseInsensitive))
                << installed.toStdString();
        }
        // What is asked for is what is drawn: no search among the system's faces.
        QFont font = windowsFont(face);
        font.setPixelSize(11);
        EXPECT_EQ(font.family().compare(installed, Qt::CaseInsensitive), 0);
        if (families.contains(installed, Qt::CaseInsensitive)) {
            EXPECT_EQ(QFontInfo(font).family().toLower(), installed.toLower());
        }
    }
}

TEST(Fonts, TheStandInsOfThisMachineAreTheProjectsFaces)
{
    // The project installs Liberation and DejaVu; the window's look is
    // measured with them.
    const QStringList families = QFontDatabase::families();
    if (!families.contains(u"Liberation Sans"_s) || !families.contains(u"DejaVu Sans"_s))
        GTEST_SKIP() << "the project's faces are not installed here";
    if (!families.contains(u"MS Sans Serif"_s)) {
        EXPECT_EQ(
            installedFace(u"MS Sans Serif"_s).compare(u"Liberation Sans"_s, Qt::CaseInsensitive),
            0);
    }
    if (!families.contains(u"Tahoma"_s)) {
        EXPECT_EQ(installedFace(u"tahoma"_s).compare(u"DejaVu Sans"_s, Qt::CaseInsensitive), 0)
            << "names are matched case-blind";
    }
}

TEST(Fonts, OtherNamesArePassedOnAsTheyAre)
{
    for (const QString &face : {u"Courier New"_s, u"No Such Face"_s, QString(), u"MS Sans"_s})
        EXPECT_EQ(installedFace(face), face);
}

TEST(Fonts, TheWindowsFacesAreNotKerned)
{
    // As Windows draws them: each letter its own advance, and the caption
    // widths the window is laid out with.
    const auto spread = [](const QFont &font) {
        const QFontMetricsF metrics(font);
        qreal letters = 0;
        for (QChar letter : u"AVAWAT"_s)
            letters += metrics.horizontalAdvance(letter);
        return metrics.horizontalAdvance(u"AVAWAT"_s) - letters;
    };
    int kerning = 0;
    for (const QString &face : {u"MS Sans Serif"_s, u"Tahoma"_s}) {
        QFont font = windowsFont(face);
        font.setPixelSize(24);
        EXPECT_NEAR(spread(font), 0, 0.01) << face.toStdString();
        QFont kerned(font.family());
        kerned.setPixelSize(24);
        kerning += spread(kerned) < -0.5;
    }
    // Wine's own faces, for one, have no kerning to leave out.
    if (kerning == 0)
        GTEST_SKIP() << "neither face kerns here, so nothing shows the kerning left out";
}
