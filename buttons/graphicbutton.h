#pragma once

// The painting half of a picture button: it holds the visual state, draws
// every state into a slot of an image cache and handles the mouse. A
// ToxCustomButton host normally owns one and fills itself with it.

#include "captionstrings.h"
#include "oxbackground.h"
#include "oxtypes.h"
#include "picture.h"

#include <QColor>
#include <QImage>
#include <QMenu>
#include <QPointer>
#include <QWidget>

#include <optional>
#include <utility>

class QTimer;

// What the inner button needs of the button that hosts it: the caption,
// which the host holds and the inner button draws from it, so that the two
// never differ; the menu; the parent the button's group lives in; the focus.
class ButtonHost : public CaptionHolder
{
public:
    virtual QMenu *PopupMenu() const = 0;
    // The widget whose children make up the button's group.
    virtual QWidget *groupParent() const = 0;
    // Takes the keyboard focus for a press of the left mouse button; false
    // when the host may not have it now, and the press is refused.
    virtual bool takeFocusForPress() = 0;

protected:
    ~ButtonHost() = default;
};

class ToxCustomGraphicButton : public QWidget, public CaptionHolder
{
    Q_OBJECT

public:
    // Visual states drawn by DrawButton.
    enum DrawState { StateUp = 0, StatePressed = 2, StateChecked = 3 };
    // Slots of the image cache, one per look.
    enum CacheSlot { SlotUp, SlotActive, SlotFocused, SlotPressed, SlotDisabled, SlotHot };
    static constexpr int CacheSlots = 6;

    explicit ToxCustomGraphicButton(QWidget *parent = nullptr, ButtonHost *host = nullptr);
    ~ToxCustomGraphicButton() override;

    ButtonHost *host() const { return m_host; }

    // Published settings. `Style` is the button's drawing style; QWidget's
    // style() is the Qt style, which the button does not use.
    ToxBtnStyle Style() const { return m_style; }
    void SetStyle(ToxBtnStyle style) { setVisual(m_style, style); }
    TFontStyle Font3D() const { return m_font3D; }
    void SetFont3D(TFontStyle style) { setVisual(m_font3D, style); }
    bool MultiLine() const { return m_multiLine; }
    void SetMultiLine(bool multiLine) { setVisual(m_multiLine, multiLine); }
    TFocusStyle FocusStyle() const { return m_focusStyle; }
    void SetFocusStyle(TFocusStyle style) { setVisual(m_focusStyle, style); }
    QColor ShadowColor() const { return m_shadowColor; }
    void SetShadowColor(const QColor &color) { setVisual(m_shadowColor, color); }
    int TextAngle() const { return m_textAngle; }
    void SetTextAngle(int degrees);
    int PictureX() const { return m_pictureX; }
    void SetPictureX(int x) { setVisual(m_pictureX, x); }
    int PictureY() const { return m_pictureY; }
    void SetPictureY(int y) { setVisual(m_pictureY, y); }
    int TextX() const { return m_textX; }
    void SetTextX(int x) { setVisual(m_textX, x); }
    int TextY() const { return m_textY; }
    void SetTextY(int y) { setVisual(m_textY, y); }
    ToxbOptions Options() const { return m_options; }
    void SetOptions(ToxbOptions options);
    const TPicture &PictureUp() const { return m_pictureUp; }
    void SetPictureUp(const TPicture &picture) { setPicture(m_pictureUp, picture); }
    const TPicture &PictureDown() const { return m_pictureDown; }
    void SetPictureDown(const TPicture &picture) { setPicture(m_pictureDown, picture); }
    const TPicture &PictureDisabled() const { return m_pictureDisabled; }
    void SetPictureDisabled(const TPicture &picture) { setPicture(m_pictureDisabled, picture); }
    ToxBackground &Background() { return m_background; }
    const ToxBackground &Background() const { return m_background; }
    // The face colour and the caption's colour.
    QColor Color() const { return m_color; }
    void SetColor(const QColor &color) { setVisual(m_color, color); }
    QColor FontColor() const { return m_fontColor; }
    void SetFontColor(const QColor &color) { setVisual(m_fontColor, color); }
    // A small triangle in the top right corner, over whatever look is
    // shown; none while invalid.
    QColor CornerMark() const { return m_cornerMark; }
    void SetCornerMark(const QColor &color);
    // The caption: the host's when hosted, else the button's own.
    QString Caption() const override { return m_host ? m_host->Caption() : m_caption; }
    void SetCaption(const QString &caption) override;
    // Told by the host when its caption changed: the looks drawn with the
    // old one are forgotten and the button repainted.
    void captionChanged() { InvalidateCache(); }
    TCaptionStrings &Lines() { return m_lines; }

    bool Value() const { return m_value; }
    void SetValue(bool value);
    int Group() const { return m_group; }
    void SetGroup(int group);
    bool GroupAllowNoSel() const { return m_groupAllowNoSel; }
    void SetGroupAllowNoSel(bool allow);
    int Delay() const { return m_delay; }
    void SetDelay(int ms) { m_delay = ms; }
    int InitDelay() const { return m_initDelay; }
    void SetInitDelay(int ms) { m_initDelay = ms; }
    ToxButtonType ButtonType() const { return m_buttonType; }
    void SetButtonType(ToxButtonType type) { m_buttonType = type; }
    QMenu *PopupMenu() const { return m_popupMenu; }
    void SetPopupMenu(QMenu *menu) { m_popupMenu = menu; }

    // State.
    bool active() const { return m_active; }
    void SetActive(bool active);
    bool focused() const { return m_focused; }
    void SetFocused(bool focused);
    bool tracking() const { return m_tracking; }
    bool hot() const { return m_hot; }
    int drawState() const { return m_drawState; }
    void SetDrawState(int state) { m_drawState = state; }
    QRect pictureRect() const { return m_pictureRect; }
    QRect textRect() const { return m_textRect; }
    // bsAuto is drawn as bsWin95: every system we run on has new-style controls.
    ToxBtnStyle effectiveStyle() const;
    // The image cache, one slot per look at the pixel density last painted
    // on, and the set of slots it holds valid images for.
    const QImage &cache() const { return m_cache; }
    unsigned cachedStates() const { return m_cachedStates; }
    // How often a look was drawn rather than copied from the cache.
    int renderCount() const { return m_renderCount; }

    // Forgets every cached look and repaints.
    void InvalidateCache();
    // Draws the current look onto `canvas`, from the cache when it holds it.
    void DrawButton(QPainter &canvas, bool pressed);
    // Whether `point` hits the button: its picture or caption for the
    // borderless and shaped styles, its whole area for the others.
    bool IsInside(QPoint point) const;

    void Click();
    void Toggle() { SetValue(!m_value); }
    // Pops up the menu at the bottom-left corner and returns when it closes:
    // false when the button no longer exists then (a menu action deleted it).
    bool ShowMenu();
    // A button of `sender`'s group was checked, or its group settings changed.
    void ButtonPressed(int group, ToxCustomGraphicButton *sender);
    // Whether `event` is one this button received and passed on to its
    // parent (a press beside a shaped picture); asked once, by the host.
    bool passedOn(const QMouseEvent *event);

signals:
    void clicked();
    void OnChange();
    void OnMouseDown(Qt::MouseButton button, Qt::KeyboardModifiers modifiers, QPoint pos);
    void OnMouseMove(Qt::KeyboardModifiers modifiers, QPoint pos);
    void OnMouseUp(Qt::MouseButton button, Qt::KeyboardModifiers modifiers, QPoint pos);
    void OnMouseEnter();
    void OnMouseLeave();

protected:
    void paintEvent(QPaintEvent *event) override;
    void changeEvent(QEvent *event) override;
    void resizeEvent(QResizeEvent *event) override;
    void moveEvent(QMoveEvent *event) override;
    void mousePressEvent(QMouseEvent *event) override;
    void mouseDoubleClickEvent(QMouseEvent *event) override;
    void mouseMoveEvent(QMouseEvent *event) override;
    void mouseReleaseEvent(QMouseEvent *event) override;
    void enterEvent(QEnterEvent *event) override;
    void leaveEvent(QEvent *event) override;

private:
    template<typename T>
    void setVisual(T &field, const T &value)
    {
        if (field == value)
            return;
        field = value;
        InvalidateCache();
    }
    void setPicture(TPicture &field, const TPicture &picture);
    // Sets the hot flag and forgets the cached looks drawn with the other
    // value of it; the caller repaints.
    void setHot(bool hot);
    void resizeCache();
    int cacheSlot(bool pressed) const;

    // Mouse.
    void press(QMouseEvent *event);
    void setMouseOver(bool over);
    void updateMouseOver(QPoint pos);
    void RepeatTimer();
    void freeRepeatTimer();
    void NotifyGroup();

    // Painting, in the order DrawButton calls it.
    void render(QPainter &canvas, bool pressed);
    const TPicture &currentPicture(bool pressed) const;
    void BuildMask(const TPicture &picture, qreal pixelRatio);
    void CalcPictureRect(const TPicture &picture);
    void PaintBackground(QPainter &canvas, const QRect &rect);
    void PaintPictureShadow(QPainter &canvas, bool pressed);
    void PaintDisabledPicture(QPainter &canvas, bool pressed);
    void PaintPicture(QPainter &canvas, const TPicture &picture, bool pressed);
    QFont captionFont() const;
    void CalcTextRect(QPainter &canvas, bool pressed);
    void PaintFocus(QPainter &canvas, bool pressed);
    void PaintText(QPainter &canvas, bool pressed);
    void PaintFrame(QPainter &canvas, bool pressed, bool isDefault);
    void paintSilhouette(QPainter &canvas, QPoint at, const QColor &color) const;

    // The dither pattern is shared by all buttons while any exists.
    static const QImage &ditherPattern();
    static int s_instances;
    static QImage s_ditherPattern;

    ButtonHost *m_host;

    ToxBtnStyle m_style = bsAuto;
    TFontStyle m_font3D = fsNormal;
    bool m_multiLine = false;
    TFocusStyle m_focusStyle;
    QColor m_shadowColor;
    int m_textAngle = 0;
    int m_pictureX = 1;
    int m_pictureY = 1;
    int m_textX = -5;
    int m_textY = -5;
    ToxbOptions m_options{oxbCacheImages};
    TPicture m_pictureUp;
    TPicture m_pictureDown;
    TPicture m_pictureDisabled;
    ToxBackground m_background;
    QColor m_color;
    QColor m_fontColor;
    QColor m_cornerMark;
    QString m_caption;
    // The caption the cached looks show: a caption changed on the host
    // without a word to us (a plain setText) is noticed by comparing.
    QString m_cachedCaption;
    TCaptionStrings m_lines;

    bool m_value = false;
    int m_group = 0;
    bool m_groupAllowNoSel = false;
    int m_delay = 200;
    int m_initDelay = 400;
    ToxButtonType m_buttonType = oxbCommand;
    QPointer<QMenu> m_popupMenu;

    bool m_active = false;
    bool m_focused = false;
    bool m_tracking = false;
    bool m_hot = false;
    // The last event passed on to the parent: its type and time.
    std::optional<std::pair<int, quint64>> m_passedOn;
    bool m_mouseOver = false;
    int m_drawState = StateUp;
    QRect m_pictureRect;
    QRect m_textRect;
    QImage m_mask;
    QImage m_cache;
    qreal m_cacheRatio = 1.0;
    unsigned m_cachedStates = 0;
    int m_renderCount = 0;
    QPointer<QTimer> m_repeatTimer;
};
