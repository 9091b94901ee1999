// The window's controls, placed as the form places them.

#include "buttoncaption.h"
#include "captions.h"
#include "fonts.h"
#include "mainform.h"
#include "oxbutton.h"
#include "panel.h"
#include "settingrow.h"
#include "settingsgrid.h"
#include "wincolors.h"
#include "windowpictures.h"

#include <QCheckBox>
#include <QLabel>
#include <QRadioButton>

using namespace Qt::Literals::StringLiterals;

namespace {

constexpr QColor Silver(192, 192, 192);
constexpr QColor Gray(128, 128, 128);
constexpr QColor PageGray(150, 150, 150);
constexpr QColor ButtonFace(210, 223, 232);
constexpr QColor ReleaseYellow(255, 255, 160);
constexpr QColor Yellow(255, 255, 0);

QFont sansSerif(int pixels, bool bold = false)
{
    QFont font = windowsFont(u"MS Sans Serif"_s);
    font.setPixelSize(pixels);
    font.setBold(bold);
    return font;
}

void setTextColor(QWidget *widget, const QColor &color)
{
    QPalette palette = widget->palette();
    palette.setColor(QPalette::WindowText, color);
    palette.setColor(QPalette::ButtonText, color);
    widget->setPalette(palette);
}

template<typename Widget>
Widget *named(Widget *widget, const QString &name)
{
    widget->setObjectName(name);
    return widget;
}

// The design caption of a control, from the caption table.
QString designCaption(const QString &control)
{
    for (const CaptionRow &row : captionTable()) {
        if (row.control == control)
            return row.design;
    }
    return {};
}

TPanel *panel(QWidget *parent, const QString &name, const QColor &color, const QRect &geometry)
{
    auto *p = named(new TPanel(color, TPanel::Bevel::Lowered, parent), name);
    p->setGeometry(geometry);
    p->setFont(sansSerif(11, true));
    setTextColor(p, Qt::white);
    return p;
}

// A header aligned to the top of `parent`'s usable area.
TPanel *header(TPanel *parent, const QString &name, int height = 18)
{
    auto *h = named(new TPanel(sysColor(clBtnFace), TPanel::Bevel::Raised, parent), name);
    const QRect area = parent->clientRect();
    h->setGeometry(area.left(), area.top(), area.width(), height);
    h->setFont(sansSerif(11, true));
    setTextColor(h, Qt::black);
    h->setCaption(designCaption(name));
    return h;
}

QLabel *label(QWidget *parent, const QString &name, const QPoint &at, const QString &text)
{
    auto *l = named(new QLabel(text, parent), name);
    l->move(at);
    l->adjustSize();
    return l;
}

QLabel *picture(QWidget *parent, const QString &name, const QRect &geometry, const QString &image)
{
    auto *l = named(new QLabel(parent), name);
    l->setGeometry(geometry);
    l->setScaledContents(true);
    l->setPixmap(renderPicture(image, geometry.size(), parent->devicePixelRatioF()));
    return l;
}

QRadioButton *radio(QWidget *parent, const QString &name, const QRect &geometry,
                    const QString &text)
{
    auto *r = named(new QRadioButton(text, parent), name);
    r->setGeometry(geometry);
    return r;
}

// The window's picture buttons share every setting but their place, caption
// and pictures.
ToxButton *pictureButton(QWidget *parent, const QString &name, const QRect &geometry,
                         const TPicture &picture)
{
    auto *b = named(new ToxButton(parent), name);
    b->setGeometry(geometry);
    b->setFont(sansSerif(11));
    b->SetFontColor(sysColor(clBtnText));
    b->SetColor(ButtonFace);
    b->SetStyle(bsAuto);
    b->Background().SetStyle(oxbSolid);
    b->SetMultiLine(false);
    b->SetPictureX(0);
    b->SetPictureY(4);
    b->SetTextX(0);
    b->SetTextY(-3);
    b->SetTextAngle(0);
    b->SetButtonType(oxbCommand);
    b->SetPictureUp(picture);
    setPictureButtonCaption(*b, designCaption(name));
    return b;
}

} // namespace

void TMainForm::createControls()
{
    setFixedSize(792, 607);
    setWindowFlags(Qt::Window | Qt::MSWindowsFixedSizeDialogHint | Qt::WindowTitleHint
                   | Qt::WindowSystemMenuHint | Qt::WindowMinimizeButtonHint
                   | Qt::WindowCloseButtonHint);
    setWindowIcon(windowIcon16And32());
    setAutoFillBackground(true);
    QPalette palette = this->palette();
    palette.setColor(QPalette::Window, Silver);
    palette.setColor(QPalette::WindowText, Qt::white);
    setPalette(palette);
    setFont(sansSerif(11));

    // Top-level panels in tab order.
    PanelCopy = panel(this, u"PanelCopy"_s, PageGray, {810, 16, 690, 401});
    Panel2 = panel(this, u"Panel2"_s, Gray, {6, 88, 85, 513});
    PanelGeneral = panel(this, u"PanelGeneral"_s, PageGray, {98, 88, 690, 401});
    PanelSettings = panel(this, u"PanelSettings"_s, PageGray, {818, 128, 690, 401});
    PanelProfiles = panel(this, u"PanelProfiles"_s, PageGray, {830, 264, 690, 401});
    PanelDatapath = panel(this, u"PanelDatapath"_s, PageGray, {830, 336, 690, 401});
    Panel1 = panel(this, u"Panel1"_s, Gray, {98, 528, 225, 73});
    Panel5 = panel(this, u"Panel5"_s, Gray, {330, 528, 458, 73});
    Panel6 = panel(this, u"Panel6"_s, Gray, {98, 496, 225, 26});
    Panel7 = panel(this, u"Panel7"_s, Gray, {330, 496, 458, 26});
    Panel9 = panel(this, u"Panel9"_s, Gray, {6, 7, 782, 73});

    // Page panels: a header and, but for Profiles, a grid below it.
    auto page = [](TPanel *pagePanel, const QString &headerName, const QString &gridName,
                   TPanel *&headerPanel) -> TSettingsGrid * {
        headerPanel = header(pagePanel, headerName);
        if (gridName.isEmpty())
            return nullptr;
        auto *grid = named(new TSettingsGrid(pagePanel), gridName);
        setUpSettingsGrid(grid->model());
        const QRect area = pagePanel->clientRect();
        grid->setGeometry(area.left(), area.top() + 18, area.width(), area.height() - 18);
        return grid;
    };
    GridGenerale = page(PanelGeneral, u"Panel8"_s, u"GridGenerale"_s, Panel8);
    GridCopia = page(PanelCopy, u"Panel4"_s, u"GridCopia"_s, Panel4);
    GridSettaggi = page(PanelSettings, u"Panel10"_s, u"GridSettaggi"_s, Panel10);
    page(PanelProfiles, u"Panel12"_s, QString(), Panel12);
    GridPercorsi = page(PanelDatapath, u"Panel14"_s, u"GridPercorsi"_s, Panel14);
    // The General page is anchored to all four sides of the window.
    PanelGeneral->setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Expanding);

    Label2 = label(PanelProfiles, u"Label2"_s, {64, 128}, designCaption(u"Label2"_s));
    Label2->setGeometry(64, 128, 553, 37);
    Label2->setFont(sansSerif(24));
    Label1 = label(PanelProfiles, u"Label1"_s, {16, 192}, designCaption(u"Label1"_s));
    Label1->setGeometry(16, 192, 657, 121);
    Label1->setFont(sansSerif(16));
    Label1->setWordWrap(true);
    for (QLabel *l : {Label2, Label1}) {
        l->setAlignment(Qt::AlignHCenter | Qt::AlignTop);
        setTextColor(l, Yellow);
    }

    // Navigation column.
    Panel3 = header(Panel2, u"Panel3"_s);
    BtnGenerali = pictureButton(Panel2, u"BtnGenerali"_s, {12, 32, 61, 58},
                                iconPicture(u":/icons/general.svg"_s, {32}));
    BtnCopia = pictureButton(Panel2, u"BtnCopia"_s, {12, 106, 61, 58},
                             iconPicture(u":/icons/copy.svg"_s, {16, 32, 48}));
    BtnSettaggi = pictureButton(Panel2, u"BtnSettaggi"_s, {12, 180, 61, 58},
                                iconPicture(u":/icons/options.svg"_s, {16, 32, 48}));
    BtnPath = pictureButton(Panel2, u"BtnPath"_s, {12, 254, 61, 58},
                            iconPicture(u":/icons/datapath.svg"_s, {16, 32, 48}));
    BtnProfili = pictureButton(Panel2, u"BtnProfili"_s, {12, 328, 61, 58},
                               iconPicture(u":/icons/profiles.svg"_s, {16, 32, 48}));

    // Title bar.
    Image1 = picture(Panel9, u"Image1"_s, {8, 8, 161, 57}, u":/images/logo.svg"_s);
    Label14 = label(Panel9, u"Label14"_s, {174, 12}, u"8"_s);
    QFont narrow = windowsFont(u"Arial Narrow"_s);
    narrow.setPixelSize(35);
    narrow.setBold(true);
    Label14->setFont(narrow);
    Label14->setGeometry(174, 12, 19, 41);
    setTextColor(Label14, ButtonFace);
    Label3 = label(Panel9, u"Label3"_s, {189, 33}, designCaption(u"Label3"_s));
    Label3->setGeometry(189, 33, 338, 13);
    // Under the title, a line for what the window has to say without a
    // box to close: empty, and so invisible, most of the time.
    m_statusLine = named(new QLabel(Panel9), u"StatusLine"_s);
    m_statusLine->setGeometry(189, 48, 392, 24);
    m_statusLine->setFont(sansSerif(10));
    m_statusLine->setWordWrap(true);
    m_statusLine->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    setTextColor(m_statusLine, ReleaseYellow);
    BtnPercorso = pictureButton(Panel9, u"BtnPercorso"_s, {586, 9, 56, 58},
                                iconPicture(u":/icons/path.svg"_s, {48, 16, 32}));
    BtnAvvia = pictureButton(Panel9, u"BtnAvvia"_s, {649, 9, 124, 58},
                             iconPicture(u":/icons/run.svg"_s, {32, 16}));

    // Release selector.
    Label4 = label(Panel6, u"Label4"_s, {8, 6}, designCaption(u"Label4"_s));
    Rb8v0 = radio(Panel6, u"Rb8v0"_s, {81, 5, 65, 16}, u"8.0.0.x"_s);
    Rb8v3 = radio(Panel6, u"Rb8v3"_s, {144, 5, 65, 14}, u"8.0.3.x"_s);
    for (QRadioButton *r : {Rb8v0, Rb8v3})
        setTextColor(r, ReleaseYellow);
    Rb8v3->setChecked(true);

    // Colour legend.
    Label8 = label(Panel7, u"Label8"_s, {26, 6}, designCaption(u"Label8"_s));
    Shape2 = named(new TShape(QColor(255, 255, 191), Panel7), u"Shape2"_s);
    Shape2->setGeometry(77, 6, 18, 13);
    Label6 = label(Panel7, u"Label6"_s, {98, 5}, designCaption(u"Label6"_s));
    Shape1 = named(new TShape(QColor(255, 224, 224), Panel7), u"Shape1"_s);
    Shape1->setGeometry(221, 6, 18, 13);
    Label5 = label(Panel7, u"Label5"_s, {242, 6}, designCaption(u"Label5"_s));
    Shape3 = named(new TShape(Qt::red, Panel7), u"Shape3"_s);
    Shape3->setGeometry(318, 6, 18, 13);
    Label7 = label(Panel7, u"Label7"_s, {339, 5}, designCaption(u"Label7"_s));

    // Language and warning box.
    Image2 = picture(Panel1, u"Image2"_s, {10, 6, 16, 16}, u":/images/flag-uk.svg"_s);
    RbEnglish = radio(Panel1, u"RbEnglish"_s, {32, 6, 81, 17}, u"ENGLISH"_s);
    Image3 = picture(Panel1, u"Image3"_s, {10, 28, 16, 16}, u":/images/flag-it.svg"_s);
    RbItaliano = radio(Panel1, u"RbItaliano"_s, {32, 28, 81, 17}, u"ITALIANO"_s);
    Image4 = picture(Panel1, u"Image4"_s, {10, 51, 16, 16}, u":/images/warning.svg"_s);
    CbWarning = named(new QCheckBox(designCaption(u"CbWarning"_s), Panel1), u"CbWarning"_s);
    CbWarning->setGeometry(32, 51, 182, 17);
    Image5 = picture(Panel1, u"Image5"_s, {122, 6, 16, 16}, u":/images/flag-fr.svg"_s);
    RadioButton1 = radio(Panel1, u"RadioButton1"_s, {144, 6, 73, 17}, u"FRENCH"_s);
    Image6 = picture(Panel1, u"Image6"_s, {122, 28, 16, 16}, u":/images/flag-de.svg"_s);
    RadioButton2 = radio(Panel1, u"RadioButton2"_s, {144, 28, 73, 17}, u"GERMAN"_s);
    RadioButton1->setEnabled(false);
    RadioButton2->setEnabled(false);

    // List scope and commands.
    RbUnaLista = radio(Panel5, u"RbUnaLista"_s, {8, 14, 121, 17}, designCaption(u"RbUnaLista"_s));
    RbTutteListe
        = radio(Panel5, u"RbTutteListe"_s, {8, 44, 121, 17}, designCaption(u"RbTutteListe"_s));
    DefaultBtn = pictureButton(Panel5, u"DefaultBtn"_s, {144, 9, 97, 58},
                               iconPicture(u":/icons/default.svg"_s, {32}));
    ReadBtn = pictureButton(Panel5, u"ReadBtn"_s, {248, 9, 97, 58},
                            iconPicture(u":/icons/read.svg"_s, {32}));
    SaveBtn = pictureButton(Panel5, u"SaveBtn"_s, {352, 9, 97, 58},
                            iconPicture(u":/icons/save.svg"_s, {32, 16}));
    SaveBtn->SetPictureDown(iconPicture(u":/icons/save-down.svg"_s, {32}));

    // Tab order: the panels in their order, each panel's controls in theirs.
    const QList<QWidget *> chain
        = {GridCopia,    BtnGenerali,  BtnCopia,     BtnSettaggi,  BtnProfili, BtnPath,
           GridGenerale, GridSettaggi, GridPercorsi, RbEnglish,    RbItaliano, CbWarning,
           RadioButton1, RadioButton2, RbUnaLista,   RbTutteListe, DefaultBtn, ReadBtn,
           SaveBtn,      Rb8v0,        Rb8v3,        BtnAvvia,     BtnPercorso};
    for (qsizetype i = 1; i < chain.size(); ++i)
        setTabOrder(chain[i - 1], chain[i]);
}
