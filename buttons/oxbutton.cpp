#include "oxbutton.h"

#include "buttonaccessible.h"
#include "handlerguard.h"

#include <QAccessible>
#include <QApplication>
#include <QDialog>
#include <QKeyEvent>

#include <array>

namespace {

struct KindSettings
{
    ToxBtnKind kind;
    const char16_t *caption;
    int modalResult;
};

// The predefined kinds: their caption and modal result.
constexpr std::array<KindSettings, 6> Kinds = {{
    {bkOK, u"OK", mrOk},
    {bkCancel, u"&Cancel", mrCancel},
    {bkHelp, u"&Help", mrNone},
    {bkYes, u"&Yes", mrYes},
    {bkNo, u"&No", mrNo},
    {bkClose, u"&Close", mrNone},
}};

const KindSettings *settingsOf(ToxBtnKind kind)
{
    for (const KindSettings &settings : Kinds) {
        if (settings.kind == kind)
            return &settings;
    }
    return nullptr;
}

bool isDefaultKind(ToxBtnKind kind)
{
    return kind == bkOK || kind == bkYes;
}

bool isCancelKind(ToxBtnKind kind)
{
    return kind == bkCancel || kind == bkNo;
}

const char *const HelpContextProperty = "HelpContext";

} // namespace

ToxCustomButton::ToxCustomButton(QWidget *parent)
    : QPushButton(parent)
    , m_inner(new ToxCustomGraphicButton(this, this))
{
    // Read by a screen reader as one named button (buttonaccessible.h).
    static const bool readable = (QAccessible::installFactory(pictureButtonAccessible), true);
    Q_UNUSED(readable);
    // Enter is ours to handle, in any window.
    setAutoDefault(false);
    connect(m_inner, &ToxCustomGraphicButton::clicked, this, [this] { Click(); });
    connect(m_inner, &ToxCustomGraphicButton::OnChange, this, &ToxCustomButton::OnChange);
    connect(m_inner, &ToxCustomGraphicButton::OnMouseDown, this, &ToxCustomButton::OnMouseDown);
    connect(m_inner, &ToxCustomGraphicButton::OnMouseMove, this, &ToxCustomButton::OnMouseMove);
    connect(m_inner, &ToxCustomGraphicButton::OnMouseUp, this, &ToxCustomButton::OnMouseUp);
    connect(m_inner, &ToxCustomGraphicButton::OnMouseEnter, this, &ToxCustomButton::OnMouseEnter);
    connect(m_inner, &ToxCustomGraphicButton::OnMouseLeave, this, &ToxCustomButton::OnMouseLeave);
    m_inner->Background().OnChange = [this] {
        ArrangeInner();
    };
    m_inner->SetFocusStyle({fsDefault, fsText});
    m_inner->setGeometry(rect());
    m_inner->setFont(font());
    m_inner->Lines().SetHolder(this);
    connect(qApp, &QApplication::focusChanged, this, [this] { updateActive(); });
    watchWindow();
}

ToxCustomButton::~ToxCustomButton()
{
    // The plain widget's destruction moves the focus on; we are gone by then.
    disconnect(qApp, nullptr, this, nullptr);
    if (m_watchedWindow)
        m_watchedWindow->removeEventFilter(this);
    // Beside the host the inner button belongs to the parent: take it along,
    // unless the parent, deleting its children, got to it first.
    if (m_inner && innerBeside())
        delete m_inner;
}

bool ToxCustomButton::innerBeside() const
{
    return m_inner && m_inner->parentWidget() != this;
}

void ToxCustomButton::SetCaption(const QString &caption)
{
    if (caption == text())
        return;
    setText(caption);
    m_inner->captionChanged();
}

// Kinds.

ToxBtnKind ToxCustomButton::Kind()
{
    if (const KindSettings *settings = settingsOf(m_kind)) {
        const bool matches = (!isDefaultKind(m_kind) || isDefault())
            && (!isCancelKind(m_kind) || m_cancel) && text() == QStringView(settings->caption)
            && m_modalResult == settings->modalResult;
        if (!matches)
            m_kind = bkCustom;
    }
    return m_kind;
}

void ToxCustomButton::SetKind(ToxBtnKind kind)
{
    m_kind = kind;
    if (const KindSettings *settings = settingsOf(kind)) {
        setDefault(isDefaultKind(kind));
        updateActive();
        SetCancel(isCancelKind(kind));
        SetCaption(QString::fromUtf16(settings->caption));
        m_modalResult = settings->modalResult;
    }
    m_inner->InvalidateCache();
}

int ToxCustomButton::HelpContext() const
{
    return property(HelpContextProperty).toInt();
}

void ToxCustomButton::SetHelpContext(int context)
{
    setProperty(HelpContextProperty, context);
}

bool ToxButton::isStored(QByteArrayView property)
{
    if (property == "Caption" || property == "Cancel" || property == "Default")
        return Kind() == bkCustom;
    return !isObsoleteProperty(property);
}

bool ToxButton::isObsoleteProperty(QByteArrayView property)
{
    return property == "TransparentColor" || property == "DitherDown";
}

// Clicks.

void ToxCustomButton::Click()
{
    // Through the getter: a kind whose caption or result was edited since
    // is a custom button, which neither helps nor closes.
    const ToxBtnKind kind = Kind();
    if (kind == bkHelp) {
        for (QWidget *w = this; w; w = w->parentWidget()) {
            const int context = w->property(HelpContextProperty).toInt();
            if (context != 0) {
                emit OnHelp(context);
                return;
            }
        }
    } else if (kind == bkClose && window() != this) {
        window()->close();
        return;
    }
    ordinaryClick();
}

void ToxCustomButton::ordinaryClick()
{
    // The form's result is set before the click handler, which may take it
    // back (setResult(mrNone)) to keep the form open; the form ends after.
    const QPointer<QDialog> form = qobject_cast<QDialog *>(window());
    if (form)
        form->setResult(m_modalResult);
    const QPointer<ToxCustomButton> alive(this);
    emit clicked(false);
    if (alive && form && m_modalResult != mrNone && form->isModal() && form->isVisible()
        && form->result() != mrNone)
        form->done(form->result());
}

bool ToxCustomButton::takeFocusForPress()
{
    if (!canFocus())
        return false;
    setFocus(Qt::MouseFocusReason);
    return true;
}

bool ToxCustomButton::popUpMenu()
{
    const QPointer<ToxCustomButton> alive(this);
    return m_inner->ShowMenu() && alive;
}

void ToxCustomButton::pressByKey()
{
    if (ButtonType() == oxbToggle)
        m_inner->Toggle();
    if (ButtonType() == oxbMenu) {
        m_inner->SetDrawState(ToxCustomGraphicButton::StatePressed);
        m_inner->repaint();
        if (!popUpMenu())
            return;
        m_inner->SetDrawState(ToxCustomGraphicButton::StateUp);
        m_inner->repaint();
        return;
    }
    Click();
}

// Focus, keyboard and the window's Enter and Escape.

void ToxCustomButton::SetButtonStyle(bool active)
{
    m_inner->SetActive(active);
}

// Enter presses the focused push button, or the default one while the focus
// is on anything else.
void ToxCustomButton::updateActive()
{
    if (!m_inner)
        return; // the parent is deleting its children
    QWidget *focus = window()->focusWidget();
    if (qobject_cast<QPushButton *>(focus))
        SetButtonStyle(focus == this);
    else
        SetButtonStyle(isDefault());
}

void ToxCustomButton::watchWindow()
{
    QWidget *form = window();
    if (form == m_watchedWindow)
        return;
    if (m_watchedWindow)
        m_watchedWindow->removeEventFilter(this);
    m_watchedWindow = form;
    if (form != this)
        form->installEventFilter(this);
}

bool ToxCustomButton::eventFilter(QObject *watched, QEvent *event)
{
    // Keys nobody in the window took reach the window itself.
    if (watched == m_watchedWindow && event->type() == QEvent::KeyPress) {
        bool handled = false;
        guardHandler([&] { handled = dialogKey(static_cast<QKeyEvent *>(event)); });
        if (handled)
            return true;
    }
    return QPushButton::eventFilter(watched, event);
}

bool ToxCustomButton::dialogKey(const QKeyEvent *event)
{
    const Qt::KeyboardModifiers held
        = event->modifiers() & (Qt::ShiftModifier | Qt::ControlModifier | Qt::AltModifier);
    if (held != Qt::NoModifier || !canFocus())
        return false;
    const bool enter = event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter;
    const bool escape = event->key() == Qt::Key_Escape;
    if (!(enter && m_inner->active()) && !(escape && m_cancel))
        return false;
    pressByKey();
    return true;
}

bool ToxCustomButton::event(QEvent *event)
{
    switch (event->type()) {
    case QEvent::Shortcut:
        // The caption's accelerator clicks at once, without taking the focus.
        guardHandler([this] {
            if (canFocus())
                pressByKey();
        });
        return true;
    case QEvent::ParentChange:
    case QEvent::Show:
        watchWindow();
        updateActive();
        break;
    case QEvent::CursorChange:
        m_inner->setCursor(cursor());
        break;
    case QEvent::ShowToParent:
    case QEvent::HideToParent:
        if (innerBeside())
            m_inner->setVisible(event->type() == QEvent::ShowToParent);
        break;
    default:
        break;
    }
    return QPushButton::event(event);
}

void ToxCustomButton::keyPressEvent(QKeyEvent *event)
{
    if (event->key() != Qt::Key_Space || event->modifiers() != Qt::NoModifier) {
        // Enter and Escape go on to the window, where the buttons take them.
        event->ignore();
        return;
    }
    guardHandler([this] {
        if (!m_spaceDown) {
            m_spaceDown = true;
            m_inner->SetDrawState(ToxCustomGraphicButton::StatePressed);
            m_inner->repaint();
            if (ButtonType() == oxbMenu) {
                if (!popUpMenu())
                    return;
                m_inner->SetDrawState(ToxCustomGraphicButton::StateUp);
                m_inner->repaint();
                m_spaceDown = false;
            }
        }
        // Held down, the key repeats; so does an auto-repeat button.
        if (ButtonType() == oxbRepeat && m_spaceDown)
            Click();
    });
}

void ToxCustomButton::keyReleaseEvent(QKeyEvent *event)
{
    if (event->key() != Qt::Key_Space || event->isAutoRepeat()) {
        event->ignore();
        return;
    }
    guardHandler([this] {
        if (!m_spaceDown)
            return;
        m_spaceDown = false;
        m_inner->SetDrawState(ToxCustomGraphicButton::StateUp);
        if (ButtonType() == oxbToggle)
            m_inner->Toggle();
        m_inner->repaint();
        Click();
    });
}

void ToxCustomButton::focusInEvent(QFocusEvent *event)
{
    QPushButton::focusInEvent(event);
    m_inner->SetFocused(true);
}

void ToxCustomButton::focusOutEvent(QFocusEvent *event)
{
    QPushButton::focusOutEvent(event);
    if (m_spaceDown) {
        // The space bar's press ends without a click: the button comes up.
        m_spaceDown = false;
        m_inner->SetDrawState(Value() ? ToxCustomGraphicButton::StateChecked
                                      : ToxCustomGraphicButton::StateUp);
        m_inner->repaint();
    }
    m_inner->SetFocused(false);
}

// The inner button does all the painting. A mouse event on the host's own
// area is the inner button's, as it fills that area; one the inner button
// passed on is nobody's.
void ToxCustomButton::paintEvent(QPaintEvent *) { }

void ToxCustomButton::forwardMouse(QMouseEvent *event)
{
    const QPointF pos = event->position() - QPointF(m_inner->pos());
    // Once pressed, the inner button follows the mouse wherever it goes.
    const bool pressing
        = event->type() == QEvent::MouseButtonPress || event->type() == QEvent::MouseButtonDblClick;
    if (m_forwardingMouse || innerBeside() || m_inner->passedOn(event)
        || (pressing && !m_inner->rect().contains(pos.toPoint()))) {
        event->ignore();
        return;
    }
    m_forwardingMouse = true;
    QMouseEvent forwarded(event->type(), pos, event->scenePosition(), event->globalPosition(),
                          event->button(), event->buttons(), event->modifiers(),
                          event->pointingDevice());
    QCoreApplication::sendEvent(m_inner, &forwarded);
    m_forwardingMouse = false;
    event->setAccepted(forwarded.isAccepted());
}

void ToxCustomButton::mousePressEvent(QMouseEvent *event)
{
    forwardMouse(event);
}

void ToxCustomButton::mouseReleaseEvent(QMouseEvent *event)
{
    forwardMouse(event);
}

void ToxCustomButton::mouseMoveEvent(QMouseEvent *event)
{
    forwardMouse(event);
}

void ToxCustomButton::mouseDoubleClickEvent(QMouseEvent *event)
{
    forwardMouse(event);
}

void ToxCustomButton::changeEvent(QEvent *event)
{
    QPushButton::changeEvent(event);
    switch (event->type()) {
    case QEvent::EnabledChange:
        m_inner->setEnabled(isEnabled());
        break;
    case QEvent::FontChange:
        m_inner->setFont(font());
        break;
    default:
        break;
    }
}

// Arrangement: inside the host, or beside it on the parent for a clear face.

void ToxCustomButton::resizeEvent(QResizeEvent *event)
{
    QPushButton::resizeEvent(event);
    if (!innerBeside()) {
        m_inner->setGeometry(rect());
    } else if (!m_arranging && !size().isEmpty()) {
        // Qt's own resize or setGeometry with a clear face: the inner button
        // beside takes the size, and the host stays a 0 x 0 point.
        m_arranging = true;
        m_inner->setGeometry(QRect(pos(), size()));
        resize(0, 0);
        m_arranging = false;
    }
}

void ToxCustomButton::moveEvent(QMoveEvent *event)
{
    QPushButton::moveEvent(event);
    if (innerBeside() && !m_arranging)
        m_inner->move(pos());
}

void ToxCustomButton::ArrangeInner()
{
    if (m_arranging)
        return;
    m_arranging = true;
    const bool clear = m_inner->Background().Style() == oxbClear;
    if (clear && !innerBeside() && parentWidget()) {
        const QRect bounds = geometry();
        m_inner->setParent(parentWidget());
        m_inner->setGeometry(bounds);
        m_inner->setVisible(isVisibleTo(parentWidget()));
        setGeometry(bounds.x(), bounds.y(), 0, 0);
    } else if (!clear && innerBeside()) {
        const QRect bounds = m_inner->geometry();
        m_inner->setParent(this);
        setGeometry(bounds);
        m_inner->setGeometry(rect());
        m_inner->show();
    }
    m_arranging = false;
}

int ToxCustomButton::Width() const
{
    return innerBeside() ? m_inner->width() : width();
}

int ToxCustomButton::Height() const
{
    return innerBeside() ? m_inner->height() : height();
}

void ToxCustomButton::SetBounds(int left, int top, int width, int height)
{
    if (m_arranging || !innerBeside()) {
        setGeometry(left, top, width, height);
        return;
    }
    // Bring the inner button back, resize, and put it beside again.
    Background().SetStyle(oxbSolid);
    setGeometry(left, top, width == 0 ? m_inner->width() : width,
                height == 0 ? m_inner->height() : height);
    Background().SetStyle(oxbClear);
}
