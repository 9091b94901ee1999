// The window as the form lays it out, checked on its rendered pixels.

#include "buttoncaption.h"
#include "captions.h"
#include "mainformtesting.h"
#include "oxbutton.h"
#include "panel.h"
#include "pictures.h"
#include "printers.h"
#include "settingsgrid.h"
#include "windowpictures.h"

#include <QCheckBox>
#include <QFontDatabase>
#include <QImage>
#include <QLabel>
#include <QPainter>
#include <QRadioButton>
#include <QTest>

#include <initializer_list>

using namespace Qt::Literals::StringLiterals;

namespace {

constexpr QRgb Silver = qRgb(192, 192, 192);
constexpr QRgb Shadow = qRgb(128, 128, 128);
constexpr QRgb Highlight = qRgb(255, 255, 255);
constexpr QRgb PageGray = qRgb(150, 150, 150);
constexpr QRgb BtnFace = qRgb(212, 208, 200);

// The window's picture buttons at rest have a two-pixel frame; a caption
// keeps three pixels of face between itself and it.
constexpr int ButtonFrame = 2;
constexpr int CaptionRoom = 3;

// The first and last column of a picture button's caption as drawn at rest:
// whatever is not face colour inside the frame, on the caption's rows.
std::pair<int, int> captionColumns(ToxButton &button)
{
    ToxCustomGraphicButton &inner = *button.inner();
    QImage look(inner.size(), QImage::Format_RGB32);
    {
        QPainter painter(&look);
        inner.DrawButton(painter, false);
    }
    const QRect face = look.rect().adjusted(ButtonFrame, ButtonFrame, -ButtonFrame, -ButtonFrame);
    const QRect rows = inner.textRect() & face;
    int left = look.width();
    int right = -1;
    for (int y = rows.top(); y <= rows.bottom(); ++y) {
        for (int x = face.left(); x <= face.right(); ++x) {
            if ((look.pixel(x, y) | 0xFF000000) != button.Color().rgb()) {
                left = std::min(left, x);
                right = std::max(right, x);
            }
        }
    }
    return {left, right};
}

// How many of `names` name exactly one control of `form`, of class W;
// each that does not is a failure.
template<class W>
int namedOnce(const QWidget &form, std::initializer_list<const char *> names)
{
    int named = 0;
    for (const char *name : names) {
        const QList<QWidget *> found = form.findChildren<QWidget *>(QString::fromLatin1(name));
        EXPECT_EQ(found.size(), 1) << name;
        if (found.size() != 1)
            continue;
        EXPECT_STREQ(found[0]->metaObject()->className(), W::staticMetaObject.className()) << name;
        ++named;
    }
    return named;
}

class LayoutTest : public MainFormTest
{
protected:
    void SetUp() override
    {
        storePreferences(u"False"_s, u"English"_s, u"8v3"_s);
        start().show();
        image = form->grab().toImage();
    }

    QRgb at(int x, int y) const { return image.pixel(x, y) | 0xFF000000; }

    // The window's ten picture buttons.
    QList<ToxButton *> pictureButtons() const
    {
        QList<ToxButton *> buttons;
        for (const char *name : {"BtnGenerali", "BtnCopia", "BtnSettaggi", "BtnPath", "BtnProfili",
                                 "BtnPercorso", "BtnAvvia", "DefaultBtn", "ReadBtn", "SaveBtn"})
            buttons.append(control<ToxButton>(*form, name));
        return buttons;
    }

    // A panel with lowered bevels at `rect`: two shadow pixels at the top-left,
    // two highlight pixels at the bottom-right.
    void expectLoweredBevels(const QRect &rect)
    {
        EXPECT_EQ(at(rect.left(), rect.top() + 20), Shadow);
        EXPECT_EQ(at(rect.left() + 1, rect.top() + 20), Shadow);
        EXPECT_EQ(at(rect.left() + 20, rect.top()), Shadow);
        EXPECT_EQ(at(rect.right(), rect.bottom() - 5), Highlight);
        EXPECT_EQ(at(rect.right() - 1, rect.bottom() - 5), Highlight);
        EXPECT_EQ(at(rect.left() + 5, rect.bottom()), Highlight);
        EXPECT_EQ(at(rect.left() - 1, rect.top() + 5), Silver) << "silver around the panel";
    }

    QImage image;
};

} // namespace

TEST_F(LayoutTest, AStartRendersNoPictureAndAsksForNoMissingFace)
{
    // The build renders every picture the window starts with.
    const int before = picturesRenderedAtRunTime();
    start().show();
    form->grab();
    EXPECT_EQ(picturesRenderedAtRunTime(), before);

    // Each control's font names a face that is there: asking for one that is
    // not costs a search of the system's fonts.
    const QStringList families = QFontDatabase::families();
    if (!families.contains(u"Liberation Sans"_s) || !families.contains(u"DejaVu Sans"_s))
        GTEST_SKIP() << "the project's faces are not installed here";
    for (const QWidget *widget : form->findChildren<QWidget *>()) {
        EXPECT_TRUE(families.contains(widget->font().family(), Qt::CaseInsensitive))
            << widget->objectName().toStdString() << ": " << widget->font().family().toStdString();
    }
}

TEST_F(LayoutTest, TheWindowIsFixedAndSilver)
{
    EXPECT_EQ(form->size(), QSize(792, 607));
    EXPECT_EQ(form->minimumSize(), form->maximumSize());
    EXPECT_FALSE(form->windowFlags().testFlag(Qt::WindowMaximizeButtonHint));
    EXPECT_TRUE(form->windowFlags().testFlag(Qt::WindowMinimizeButtonHint));
    EXPECT_EQ(at(2, 2), Silver);
    EXPECT_EQ(at(94, 300), Silver);
    const QList<QSize> iconSizes = form->windowIcon().availableSizes();
    EXPECT_TRUE(iconSizes.contains(QSize(16, 16)) && iconSizes.contains(QSize(32, 32)));
}

TEST_F(LayoutTest, PanelsSitWhereTheFormPutsThem)
{
    expectLoweredBevels({6, 7, 782, 73}); // title bar
    expectLoweredBevels({6, 88, 85, 513}); // navigation column
    expectLoweredBevels({98, 88, 690, 401}); // General page
    expectLoweredBevels({98, 528, 225, 73}); // language box
    expectLoweredBevels({330, 528, 458, 73});
    expectLoweredBevels({98, 496, 225, 26});
    expectLoweredBevels({330, 496, 458, 26});
    EXPECT_EQ(at(300, 525), Silver) << "between the selector and the language box";
    EXPECT_EQ(at(99, 300), Shadow);
    EXPECT_EQ(at(100, 300),
              control<TSettingsGrid>(*form, "GridGenerale")->grab().toImage().pixel(0, 192)
                  | 0xFF000000)
        << "the grid fills the page inside its bevels";
}

TEST_F(LayoutTest, TheProfilesPageIsPageGrayWithYellowLabels)
{
    QTest::mouseClick(control<ToxButton>(*form, "BtnProfili"), Qt::LeftButton);
    image = form->grab().toImage();
    expectLoweredBevels({98, 88, 690, 401});
    EXPECT_EQ(at(400, 150), PageGray);
    EXPECT_EQ(at(785, 480), PageGray);
    const QLabel *title = control<QLabel>(*form, "Label2");
    const QLabel *note = control<QLabel>(*form, "Label1");
    EXPECT_EQ(title->geometry(), QRect(64, 128, 553, 37));
    EXPECT_EQ(note->geometry(), QRect(16, 192, 657, 121));
    EXPECT_TRUE(note->wordWrap());
    EXPECT_EQ(title->text(), u"Profiles Management:"_s);
}

TEST_F(LayoutTest, HeadersAreRaisedButtonFaceWithBlackBoldCaptions)
{
    // The General page's header: 2 pixels inside the page, 18 high.
    EXPECT_EQ(at(100, 95), Highlight);
    EXPECT_EQ(at(110, 90), Highlight);
    EXPECT_EQ(at(785, 100), Shadow);
    EXPECT_EQ(at(110, 107), Shadow);
    EXPECT_EQ(at(110, 98), BtnFace);
    const TPanel *general = control<TPanel>(*form, "Panel8");
    EXPECT_EQ(general->caption(), u"General"_s);
    EXPECT_TRUE(general->font().bold());
    EXPECT_EQ(general->palette().color(QPalette::WindowText), QColor(Qt::black));
    EXPECT_EQ(control<TPanel>(*form, "Panel3")->geometry(), QRect(2, 2, 81, 18));
}

TEST_F(LayoutTest, LegendSwatchesAreOutlined)
{
    const struct
    {
        int x;
        QRgb fill;
    } swatches[] = {{330 + 77, qRgb(255, 255, 191)},
                    {330 + 221, qRgb(255, 224, 224)},
                    {330 + 318, qRgb(255, 0, 0)}};
    for (const auto &swatch : swatches) {
        EXPECT_EQ(at(swatch.x, 502), qRgb(0, 0, 0));
        EXPECT_EQ(at(swatch.x + 17, 514), qRgb(0, 0, 0));
        EXPECT_EQ(at(swatch.x + 1, 503), swatch.fill);
        EXPECT_EQ(at(swatch.x + 16, 513), swatch.fill);
        EXPECT_EQ(at(swatch.x + 18, 508), Shadow) << "18 pixels wide";
    }
}

TEST_F(LayoutTest, ControlsHaveTheirPlacesAndLooks)
{
    EXPECT_EQ(control<ToxButton>(*form, "BtnAvvia")->geometry(), QRect(649, 9, 124, 58));
    EXPECT_EQ(control<ToxButton>(*form, "BtnPercorso")->geometry(), QRect(586, 9, 56, 58));
    EXPECT_EQ(control<ToxButton>(*form, "BtnPath")->geometry(), QRect(12, 254, 61, 58));
    EXPECT_EQ(control<ToxButton>(*form, "BtnProfili")->geometry(), QRect(12, 328, 61, 58));
    EXPECT_EQ(control<ToxButton>(*form, "SaveBtn")->geometry(), QRect(352, 9, 97, 58));
    EXPECT_EQ(control<TSettingsGrid>(*form, "GridGenerale")->geometry(), QRect(2, 20, 686, 379));
    EXPECT_FALSE(control<QRadioButton>(*form, "RadioButton1")->isEnabled());
    EXPECT_FALSE(control<QRadioButton>(*form, "RadioButton2")->isEnabled());
    const QRadioButton *release800 = control<QRadioButton>(*form, "Rb8v0");
    EXPECT_EQ(release800->palette().color(QPalette::WindowText), QColor(255, 255, 160));
    EXPECT_TRUE(release800->font().bold());
    EXPECT_EQ(control<QLabel>(*form, "Label2")->palette().color(QPalette::WindowText),
              QColor(255, 255, 0));
    const QLabel *eight = control<QLabel>(*form, "Label14");
    EXPECT_EQ(eight->text(), u"8"_s);
    EXPECT_EQ(eight->font().pixelSize(), 35);
    EXPECT_EQ(control<QCheckBox>(*form, "CbWarning")->palette().color(QPalette::WindowText),
              QColor(Qt::white));

    // The flags' pictures are drawn: the UK flag's blue field.
    EXPECT_EQ(control<QLabel>(*form, "Image2")->pixmap().toImage().pixelColor(1, 4).blue() > 60,
              true);
    // On a scaled screen a picture has the screen's pixels, not stretched ones.
    const QPixmap sharp = renderPicture(u":/images/logo.svg"_s, QSize(161, 57), 1.5);
    EXPECT_EQ(sharp.size(), QSize(242, 86));
    EXPECT_EQ(sharp.devicePixelRatio(), 1.5);
}

TEST_F(LayoutTest, TabOrderFollowsThePanels)
{
    QList<QWidget *> order;
    QWidget *w = control<TSettingsGrid>(*form, "GridCopia");
    for (int i = 0; i < 23; ++i, w = w->nextInFocusChain()) {
        while (w->focusPolicy() == Qt::NoFocus)
            w = w->nextInFocusChain();
        order.append(w);
    }
    QList<QWidget *> expected;
    for (const char *name :
         {"GridCopia",    "BtnGenerali",  "BtnCopia",     "BtnSettaggi",  "BtnProfili", "BtnPath",
          "GridGenerale", "GridSettaggi", "GridPercorsi", "RbEnglish",    "RbItaliano", "CbWarning",
          "RadioButton1", "RadioButton2", "RbUnaLista",   "RbTutteListe", "DefaultBtn", "ReadBtn",
          "SaveBtn",      "Rb8v0",        "Rb8v3",        "BtnAvvia",     "BtnPercorso"})
        expected.append(control<QWidget>(*form, name));
    EXPECT_EQ(order, expected);
}

// Outside the window its controls are reached by their object names, the
// names the form gives them: each one is there once, of its own class.
TEST_F(LayoutTest, EveryControlCarriesItsNameOnce)
{
    const int named = namedOnce<TPanel>(*form,
                                        {"PanelCopy", "Panel2", "PanelGeneral", "PanelSettings",
                                         "PanelProfiles", "PanelDatapath", "Panel1", "Panel5",
                                         "Panel6", "Panel7", "Panel9", "Panel3", "Panel8", "Panel4",
                                         "Panel10", "Panel12", "Panel14"})
        + namedOnce<TSettingsGrid>(*form,
                                   {"GridGenerale", "GridCopia", "GridSettaggi", "GridPercorsi"})
        + namedOnce<ToxButton>(*form,
                               {"BtnGenerali", "BtnCopia", "BtnSettaggi", "BtnPath", "BtnProfili",
                                "BtnPercorso", "BtnAvvia", "DefaultBtn", "ReadBtn", "SaveBtn"})
        + namedOnce<QRadioButton>(*form,
                                  {"Rb8v0", "Rb8v3", "RbEnglish", "RbItaliano", "RadioButton1",
                                   "RadioButton2", "RbUnaLista", "RbTutteListe"})
        + namedOnce<QCheckBox>(*form, {"CbWarning"})
        + namedOnce<QLabel>(*form,
                            {"Label1", "Label2", "Label3", "Label4", "Label5", "Label6", "Label7",
                             "Label8", "Label14", "Image1", "Image2", "Image3", "Image4", "Image5",
                             "Image6"})
        + namedOnce<TShape>(*form, {"Shape1", "Shape2", "Shape3"});
    EXPECT_EQ(named, 58);
}

TEST_F(LayoutTest, TheTenPictureButtonsShareTheirLookAndHaveTheirOwnPictures)
{
    const QList<ToxButton *> buttons = pictureButtons();
    QList<TPicture> pictures;
    for (ToxButton *b : buttons) {
        SCOPED_TRACE(b->objectName().toStdString());
        EXPECT_EQ(b->ButtonType(), oxbCommand);
        EXPECT_EQ(b->Style(), bsAuto);
        EXPECT_EQ(b->Color(), QColor(210, 223, 232));
        EXPECT_EQ(b->Background().Style(), oxbSolid);
        EXPECT_FALSE(b->MultiLine());
        EXPECT_EQ(b->PictureX(), 0);
        EXPECT_EQ(b->PictureY(), 4);
        EXPECT_EQ(b->TextX(), 0);
        EXPECT_EQ(b->TextY(), -3);
        EXPECT_EQ(b->Lines().Count(), 1);
        EXPECT_EQ(b->font().pixelSize(), 11);
        EXPECT_TRUE(b->Hint().isEmpty()) << "no tooltips";
        EXPECT_TRUE(b->PictureUp().isIcon());
        EXPECT_EQ(b->PictureUp().size(), QSize(32, 32));
        EXPECT_FALSE(pictures.contains(b->PictureUp())) << "every picture is its own";
        pictures.append(b->PictureUp());
    }
    const ToxButton *save = control<ToxButton>(*form, "SaveBtn");
    EXPECT_TRUE(save->PictureDown().isIcon());
    EXPECT_FALSE(pictures.contains(save->PictureDown()));
    EXPECT_TRUE(control<ToxButton>(*form, "BtnCopia")->PictureDown().isEmpty());
}

TEST_F(LayoutTest, ANavigationButtonDrawsItsIconWithAGreyShadow)
{
    ToxButton *general = control<ToxButton>(*form, "BtnGenerali");
    ToxCustomGraphicButton &inner = *general->inner();
    const QImage look = inner.grab().toImage();
    EXPECT_EQ(inner.pictureRect(), QRect(14, 4, 32, 32));
    // Where the icon leaves the face bare but its silhouette two pixels up
    // and left covers it, the shadow shows.
    const QImage mask = general->PictureUp().mask();
    const QImage icon = renderPicture(u":/icons/general.svg"_s, QSize(32, 32)).toImage();
    int shadow = 0;
    for (int y = 2; y < 32; ++y) {
        for (int x = 2; x < 32; ++x) {
            if (qAlpha(icon.pixel(x, y)) == 0 && mask.pixelIndex(x - 2, y - 2) == 0) {
                EXPECT_EQ(look.pixel(14 + x, 4 + y) | 0xFF000000, Shadow) << x << "," << y;
                ++shadow;
            }
        }
    }
    EXPECT_GT(shadow, 20);
    EXPECT_EQ(look.pixel(2, 2) | 0xFF000000, qRgb(210, 223, 232)) << "the face";
    EXPECT_EQ(look.pixel(0, 0) | 0xFF000000, Highlight) << "raised edge";
}

TEST_F(LayoutTest, TheLaunchButtonLooksDisabledWhileTheCopyProgramIsNotFound)
{
    ToxButton *launch = control<ToxButton>(*form, "BtnAvvia");
    ASSERT_FALSE(launch->isEnabled());
    ToxCustomGraphicButton &inner = *launch->inner();
    const QImage look = inner.grab().toImage();
    EXPECT_TRUE(inner.cachedStates() & (1u << ToxCustomGraphicButton::SlotDisabled));
    // Embossed: highlight and shadow silhouettes around a face-coloured one;
    // no icon colour is left.
    const QRect icon = inner.pictureRect();
    int highlight = 0, other = 0;
    for (int y = icon.top() - 1; y <= icon.bottom() + 1; ++y) {
        for (int x = icon.left() - 1; x <= icon.right() + 1; ++x) {
            const QRgb p = look.pixel(x, y) | 0xFF000000;
            highlight += p == Highlight;
            other += p != Highlight && p != Shadow && p != qRgb(210, 223, 232);
        }
    }
    EXPECT_GT(highlight, 10);
    EXPECT_EQ(other, 0);
}

TEST_F(LayoutTest, EveryCaptionOfEveryLanguageKeepsThreePixelsFromItsButtonsFrame)
{
    const QList<ToxButton *> buttons = pictureButtons();
    const auto expectRoom = [&](const char *language) {
        for (ToxButton *button : buttons) {
            SCOPED_TRACE(testing::Message() << language << ' ' << button->objectName().toStdString()
                                            << " \"" << button->Caption().toStdString() << '"');
            const auto [left, right] = captionColumns(*button);
            ASSERT_LE(left, right) << "no caption drawn";
            const int leftRoom = left - ButtonFrame;
            const int rightRoom = button->width() - ButtonFrame - 1 - right;
            EXPECT_GE(leftRoom, CaptionRoom);
            EXPECT_GE(rightRoom, CaptionRoom);
            // A narrower face only where the caption needs one, and only slightly.
            if (button->font().stretch() != QFont::AnyStretch) {
                EXPECT_GE(button->font().stretch(), 85);
                EXPECT_LE(std::min(leftRoom, rightRoom), CaptionRoom + 1);
            }
        }
    };
    expectRoom("English");
    QTest::mouseClick(control<QRadioButton>(*form, "RbItaliano"), Qt::LeftButton, {}, QPoint(6, 8));
    ASSERT_EQ(control<ToxButton>(*form, "ReadBtn")->Caption(), u"Rileggi Impostazioni"_s);
    expectRoom("Italian");
    for (ToxButton *button : buttons) {
        for (const CaptionRow &row : captionTable()) {
            if (row.control == button->objectName())
                setPictureButtonCaption(*button, row.design);
        }
    }
    expectRoom("design");
}
