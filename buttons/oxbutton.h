#pragma once

// The picture push-button. The host is a push button that takes the focus,
// the keyboard, Default, Cancel and the modal result; it paints nothing and
// hands every look setting to the inner graphic button that fills it.

#include "graphicbutton.h"

#include <QPointer>
#include <QPushButton>

class ToxCustomButton : public QPushButton, public CaptionHolder
{
    Q_OBJECT

public:
    explicit ToxCustomButton(QWidget *parent = nullptr);
    ~ToxCustomButton() override;

    ToxCustomGraphicButton *inner() const { return m_inner; }

    // The caption; "||" separates its lines.
    QString Caption() const override { return text(); }
    void SetCaption(const QString &caption) override;
    // Also reaches the inner button when called as a plain button.
    void setText(const QString &text) { SetCaption(text); }
    TCaptionStrings &Lines() { return m_inner->Lines(); }

    ToxBtnKind Kind();
    void SetKind(ToxBtnKind kind);
    bool Default() const { return isDefault(); }
    void SetDefault(bool isDefault);
    bool Cancel() const { return m_cancel; }
    void SetCancel(bool cancel) { m_cancel = cancel; }
    int ModalResult() const { return m_modalResult; }
    void SetModalResult(int result) { m_modalResult = result; }
    // The help topic a help button shows; 0 for none.
    int HelpContext() const;
    void SetHelpContext(int context);
    QMenu *PopupMenu() const { return m_popupMenu; }
    void SetPopupMenu(QMenu *menu) { m_popupMenu = menu; }
    QString Hint() const { return m_inner->toolTip(); }
    void SetHint(const QString &hint) { m_inner->setToolTip(hint); }

    // The look, kept by the inner button.
    ToxBtnStyle Style() const { return m_inner->Style(); }
    void SetStyle(ToxBtnStyle style) { m_inner->SetStyle(style); }
    TFontStyle Font3D() const { return m_inner->Font3D(); }
    void SetFont3D(TFontStyle style) { m_inner->SetFont3D(style); }
    bool MultiLine() const { return m_inner->MultiLine(); }
    void SetMultiLine(bool multiLine) { m_inner->SetMultiLine(multiLine); }
    TFocusStyle FocusStyle() const { return m_inner->FocusStyle(); }
    void SetFocusStyle(TFocusStyle style) { m_inner->SetFocusStyle(style); }
    QColor ShadowColor() const { return m_inner->ShadowColor(); }
    void SetShadowColor(const QColor &color) { m_inner->SetShadowColor(color); }
    int TextAngle() const { return m_inner->TextAngle(); }
    void SetTextAngle(int degrees) { m_inner->SetTextAngle(degrees); }
    int PictureX() const { return m_inner->PictureX(); }
    void SetPictureX(int x) { m_inner->SetPictureX(x); }
    int PictureY() const { return m_inner->PictureY(); }
    void SetPictureY(int y) { m_inner->SetPictureY(y); }
    int TextX() const { return m_inner->TextX(); }
    void SetTextX(int x) { m_inner->SetTextX(x); }
    int TextY() const { return m_inner->TextY(); }
    void SetTextY(int y) { m_inner->SetTextY(y); }
    ToxbOptions Options() const { return m_inner->Options(); }
    void SetOptions(ToxbOptions options) { m_inner->SetOptions(options); }
    const TPicture &PictureUp() const { return m_inner->PictureUp(); }
    void SetPictureUp(const TPicture &picture) { m_inner->SetPictureUp(picture); }
    const TPicture &PictureDown() const { return m_inner->PictureDown(); }
    void SetPictureDown(const TPicture &picture) { m_inner->SetPictureDown(picture); }
    const TPicture &PictureDisabled() const { return m_inner->PictureDisabled(); }
    void SetPictureDisabled(const TPicture &picture) { m_inner->SetPictureDisabled(picture); }
    ToxBackground &Background() { return m_inner->Background(); }
    QColor Color() const { return m_inner->Color(); }
    void SetColor(const QColor &color) { m_inner->SetColor(color); }
    QColor FontColor() const { return m_inner->FontColor(); }
    void SetFontColor(const QColor &color) { m_inner->SetFontColor(color); }

    // Behaviour, kept by the inner button.
    bool Value() const { return m_inner->Value(); }
    void SetValue(bool value) { m_inner->SetValue(value); }
    int Group() const { return m_inner->Group(); }
    void SetGroup(int group) { m_inner->SetGroup(group); }
    bool GroupAllowNoSel() const { return m_inner->GroupAllowNoSel(); }
    void SetGroupAllowNoSel(bool allow) { m_inner->SetGroupAllowNoSel(allow); }
    int Delay() const { return m_inner->Delay(); }
    void SetDelay(int ms) { m_inner->SetDelay(ms); }
    int InitDelay() const { return m_inner->InitDelay(); }
    void SetInitDelay(int ms) { m_inner->SetInitDelay(ms); }
    ToxButtonType ButtonType() const { return m_inner->ButtonType(); }
    void SetButtonType(ToxButtonType type) { m_inner->SetButtonType(type); }

    // The button's area: the inner button's while the face is clear, when
    // the host itself has none.
    int Width() const;
    int Height() const;
    void SetBounds(int left, int top, int width, int height);
    void SetWidth(int width) { SetBounds(x(), y(), width, height()); }
    void SetHeight(int height) { SetBounds(x(), y(), width(), height); }

    // Whether the button may take the keyboard focus now.
    bool canFocus() const { return isEnabled() && isVisible(); }
    // Marks the button as the one Enter presses.
    void SetButtonStyle(bool active);

    // The click: help, close, or the modal result and clicked().
    virtual void Click();
    void Toggle() { m_inner->Toggle(); }

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
    bool showMenu();
    void ordinaryClick();
    void forwardMouse(QMouseEvent *event);

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
