#pragma once

// The picture push-button. The host is a push button that takes the focus,
// the keyboard, Default, Cancel and the modal result; it paints nothing and
// hands every look setting to the inner graphic button that fills it.

#include "graphicbutton.h"

#include <QPointer>
#include <QPushButton>

// The host's settings that the inner button keeps: reading and writing one
// reads and writes the inner button's.
#define TOX_INNER_SETTING(Type, Get, Set)                                                          \
    Type Get() const                                                                               \
    {                                                                                              \
        return m_inner->Get();                                                                     \
    }                                                                                              \
    void Set(Type value)                                                                           \
    {                                                                                              \
        m_inner->Set(value);                                                                       \
    }
#define TOX_INNER_SETTING_REF(Type, Get, Set)                                                      \
    const Type &Get() const                                                                        \
    {                                                                                              \
        return m_inner->Get();                                                                     \
    }                                                                                              \
    void Set(const Type &value)                                                                    \
    {                                                                                              \
        m_inner->Set(value);                                                                       \
    }

class ToxCustomButton : public QPushButton, public ButtonHost
{
    Q_OBJECT

public:
    explicit ToxCustomButton(QWidget *parent = nullptr);
    ~ToxCustomButton() override;

    ToxCustomGraphicButton *inner() const { return m_inner; }

    // The caption is the push button's text; "||" separates its lines. Set
    // it with SetCaption, which repaints the button. A plain setText() shows
    // at the inner button's next paint: at once while the inner button fills
    // the host, but with a clear face, where it sits beside a 0 x 0 host,
    // only when something else repaints it.
    QString Caption() const override { return text(); }
    void SetCaption(const QString &caption) override;
    TCaptionStrings &Lines() { return m_inner->Lines(); }

    ToxBtnKind Kind();
    void SetKind(ToxBtnKind kind);
    // Default is the push button's own (setDefault()). The active look
    // follows a change of it at the next change of focus; SetKind refreshes
    // it at once.
    bool Default() const { return isDefault(); }
    bool Cancel() const { return m_cancel; }
    void SetCancel(bool cancel) { m_cancel = cancel; }
    int ModalResult() const { return m_modalResult; }
    void SetModalResult(int result) { m_modalResult = result; }
    // The help topic a help button shows; 0 for none.
    int HelpContext() const;
    void SetHelpContext(int context);
    QMenu *PopupMenu() const override { return m_popupMenu; }
    void SetPopupMenu(QMenu *menu) { m_popupMenu = menu; }
    // What the mouse is over is the inner button: the hint is its tooltip.
    QString Hint() const { return m_inner->toolTip(); }
    void SetHint(const QString &hint) { m_inner->setToolTip(hint); }

    // The look. `Style` is the button's drawing style; QWidget's style() is
    // the Qt style, which the button does not use.
    TOX_INNER_SETTING(ToxBtnStyle, Style, SetStyle)
    TOX_INNER_SETTING(TFontStyle, Font3D, SetFont3D)
    TOX_INNER_SETTING(bool, MultiLine, SetMultiLine)
    TOX_INNER_SETTING(TFocusStyle, FocusStyle, SetFocusStyle)
    TOX_INNER_SETTING(QColor, ShadowColor, SetShadowColor)
    TOX_INNER_SETTING(int, TextAngle, SetTextAngle)
    TOX_INNER_SETTING(int, PictureX, SetPictureX)
    TOX_INNER_SETTING(int, PictureY, SetPictureY)
    TOX_INNER_SETTING(int, TextX, SetTextX)
    TOX_INNER_SETTING(int, TextY, SetTextY)
    TOX_INNER_SETTING(ToxbOptions, Options, SetOptions)
    TOX_INNER_SETTING_REF(TPicture, PictureUp, SetPictureUp)
    TOX_INNER_SETTING_REF(TPicture, PictureDown, SetPictureDown)
    TOX_INNER_SETTING_REF(TPicture, PictureDisabled, SetPictureDisabled)
    TOX_INNER_SETTING(QColor, Color, SetColor)
    TOX_INNER_SETTING(QColor, FontColor, SetFontColor)
    TOX_INNER_SETTING(QColor, CornerMark, SetCornerMark)
    ToxBackground &Background() { return m_inner->Background(); }

    // Behaviour.
    TOX_INNER_SETTING(bool, Value, SetValue)
    TOX_INNER_SETTING(int, Group, SetGroup)
    TOX_INNER_SETTING(bool, GroupAllowNoSel, SetGroupAllowNoSel)
    TOX_INNER_SETTING(int, Delay, SetDelay)
    TOX_INNER_SETTING(int, InitDelay, SetInitDelay)
    TOX_INNER_SETTING(ToxButtonType, ButtonType, SetButtonType)

    // The button's area: the inner button's while the face is clear, when
    // the host itself has none. width() and height() are the host's own.
    int Width() const;
    int Height() const;
    void SetBounds(int left, int top, int width, int height);
    void SetWidth(int width) { SetBounds(x(), y(), width, height()); }
    void SetHeight(int height) { SetBounds(x(), y(), width(), height); }

    // Whether the button may take the keyboard focus now.
    bool canFocus() const { return isEnabled() && isVisible(); }
    // Marks the button as the one Enter presses.
    void SetButtonStyle(bool active);

    // The button's click: help, close, or the modal result and clicked().
    // QAbstractButton's click() only emits clicked(): use this one.
    virtual void Click();
    void ToggleValue() { m_inner->Toggle(); }

signals:
    void OnChange();
    void OnMouseDown(Qt::MouseButton button, Qt::KeyboardModifiers modifiers, QPoint pos);
    void OnMouseMove(Qt::KeyboardModifiers modifiers, QPoint pos);
    void OnMouseUp(Qt::MouseButton button, Qt::KeyboardModifiers modifiers, QPoint pos);
    void OnMouseEnter();
    void OnMouseLeave();
    // A help button asks for the topic of the nearest control that has one.
    void OnHelp(int context);

protected:
    bool event(QEvent *event) override;
    bool eventFilter(QObject *watched, QEvent *event) override;
    void paintEvent(QPaintEvent *event) override;
    void changeEvent(QEvent *event) override;
    void resizeEvent(QResizeEvent *event) override;
    void moveEvent(QMoveEvent *event) override;
    void focusInEvent(QFocusEvent *event) override;
    void focusOutEvent(QFocusEvent *event) override;
    void keyPressEvent(QKeyEvent *event) override;
    void keyReleaseEvent(QKeyEvent *event) override;
    void mousePressEvent(QMouseEvent *event) override;
    void mouseReleaseEvent(QMouseEvent *event) override;
    void mouseMoveEvent(QMouseEvent *event) override;
    void mouseDoubleClickEvent(QMouseEvent *event) override;

private:
    void ArrangeInner();
    bool innerBeside() const;
    void updateActive();
    void watchWindow();
    bool dialogKey(const QKeyEvent *event);
    // Enter, Escape and the accelerator: toggle, then the menu or a click.
    void pressByKey();
    // The inner button's menu; false when this button is gone afterwards.
    bool popUpMenu();
    void ordinaryClick();
    void forwardMouse(QMouseEvent *event);

    QWidget *groupParent() const override { return parentWidget(); }
    bool takeFocusForPress() override;

    // Guarded: beside the host, the inner button is the parent's child, and
    // the parent may delete it before the host.
    QPointer<ToxCustomGraphicButton> m_inner;
    ToxBtnKind m_kind = bkCustom;
    bool m_cancel = false;
    int m_modalResult = 0;
    bool m_arranging = false;
    bool m_spaceDown = false;
    bool m_forwardingMouse = false;
    QPointer<QMenu> m_popupMenu;
    QPointer<QWidget> m_watchedWindow;
};

#undef TOX_INNER_SETTING
#undef TOX_INNER_SETTING_REF

// The class placed on forms. It stores its caption, Cancel and Default only
// while it is not one of the predefined kinds, which set them.
class ToxButton : public ToxCustomButton
{
    Q_OBJECT

public:
    using ToxCustomButton::ToxCustomButton;

    // Whether a stored form writes `property`.
    bool isStored(QByteArrayView property);
    // Settings older forms may still hold: read and ignored, never written.
    static bool isObsoleteProperty(QByteArrayView property);
};
