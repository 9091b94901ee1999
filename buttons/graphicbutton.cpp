#include "graphicbutton.h"

#include "pixellines.h"

#include "handlerguard.h"
#include "oxbutton.h"
#include "wincolors.h"

#include <QApplication>
#include <QMenu>
#include <QMouseEvent>
#include <QPainter>
#include <QTimer>

#include <algorithm>

ToxCustomGraphicButton::ToxCustomGraphicButton(QWidget *parent, ButtonHost *host)
    : QWidget(parent)
    , m_host(host)
    , m_shadowColor(clGray)
    , m_background(this)
    , m_color(sysColor(clBtnFace))
    , m_fontColor(sysColor(clBtnText))
    , m_lines(this)
{
    setAttribute(Qt::WA_OpaquePaintEvent);
    // Untracked moves keep the hot look of the flat styles up to date.
    setMouseTracking(true);
    setFocusPolicy(Qt::NoFocus);
    setGeometry(0, 0, 25, 25);
    resizeCache();
    ++s_instances;
}

ToxCustomGraphicButton::~ToxCustomGraphicButton()
{
    freeRepeatTimer();
    if (--s_instances == 0)
        s_ditherPattern = QImage();
}

void ToxCustomGraphicButton::SetTextAngle(int degrees)
{
    setVisual(m_textAngle, std::clamp(degrees, 0, 360));
}

void ToxCustomGraphicButton::SetOptions(ToxbOptions options)
{
    m_options = options;
    if (options.contains(oxbCacheImages) && m_cache.isNull())
        resizeCache();
    else if (!options.contains(oxbCacheImages))
        m_cache = QImage();
    InvalidateCache();
}

void ToxCustomGraphicButton::setPicture(TPicture &field, const TPicture &picture)
{
    field = picture;
    InvalidateCache();
}

void ToxCustomGraphicButton::SetCaption(const QString &caption)
{
    if (m_host) {
        m_host->SetCaption(caption); // which tells us
        return;
    }
    if (caption == m_caption)
        return;
    m_caption = caption;
    InvalidateCache();
}

void ToxCustomGraphicButton::SetActive(bool active)
{
    if (active == m_active)
        return;
    m_active = active;
    update();
}

void ToxCustomGraphicButton::SetFocused(bool focused)
{
    if (focused == m_focused)
        return;
    m_focused = focused;
    update();
}

ToxBtnStyle ToxCustomGraphicButton::effectiveStyle() const
{
    return m_style == bsAuto ? bsWin95 : m_style;
}

void ToxCustomGraphicButton::InvalidateCache()
{
    m_cachedStates = 0;
    update();
}

void ToxCustomGraphicButton::resizeCache()
{
    m_cachedStates = 0;
    if (!m_options.contains(oxbCacheImages))
        return;
    const QSize slot = (QSizeF(size()) * m_cacheRatio).toSize();
    if (!slot.isEmpty())
        m_cache = QImage(CacheSlots * slot.width(), slot.height(), QImage::Format_RGB32);
    else
        m_cache = QImage();
}

void ToxCustomGraphicButton::changeEvent(QEvent *event)
{
    switch (event->type()) {
    case QEvent::FontChange:
    case QEvent::PaletteChange:
    case QEvent::StyleChange:
        InvalidateCache();
        break;
    case QEvent::EnabledChange:
        update();
        break;
    default:
        break;
    }
    QWidget::changeEvent(event);
}

void ToxCustomGraphicButton::resizeEvent(QResizeEvent *event)
{
    resizeCache();
    QWidget::resizeEvent(event);
}

void ToxCustomGraphicButton::moveEvent(QMoveEvent *event)
{
    resizeCache();
    QWidget::moveEvent(event);
}

void ToxCustomGraphicButton::paintEvent(QPaintEvent *)
{
    guardHandler([this] {
        QPainter canvas(this);
        DrawButton(canvas, m_drawState == StatePressed);
        // Not part of the cached looks: it comes and goes on its own.
        if (m_cornerMark.isValid())
            drawCornerMark(canvas, {width() - 3, 2}, m_cornerMark);
    });
}

void ToxCustomGraphicButton::SetCornerMark(const QColor &color)
{
    if (color == m_cornerMark)
        return;
    m_cornerMark = color;
    update();
}

bool ToxCustomGraphicButton::IsInside(QPoint point) const
{
    // QRect::contains counts the left and top edges in, the right and bottom
    // ones out, as a hit test should.
    if (m_style == bsBorderless || m_style == bsShaped)
        return m_pictureRect.contains(point) || (m_font3D != fsNone && m_textRect.contains(point));
    return rect().contains(point);
}

// Groups of toggle buttons.

void ToxCustomGraphicButton::SetValue(bool value)
{
    if (m_buttonType != oxbToggle)
        value = false;
    if (value == m_value)
        return;
    // A checked button is released only by another button of its group.
    if (m_value && !m_groupAllowNoSel)
        return;
    m_value = value;
    emit OnChange();
    m_drawState = value ? StateChecked : StateUp;
    InvalidateCache();
    if (value)
        NotifyGroup();
}

void ToxCustomGraphicButton::SetGroup(int group)
{
    if (group == m_group)
        return;
    m_group = group;
    NotifyGroup();
}

void ToxCustomGraphicButton::SetGroupAllowNoSel(bool allow)
{
    if (allow == m_groupAllowNoSel)
        return;
    m_groupAllowNoSel = allow;
    NotifyGroup();
}

void ToxCustomGraphicButton::NotifyGroup()
{
    if (m_buttonType != oxbToggle)
        return;
    QWidget *container = m_host ? m_host->groupParent() : parentWidget();
    if (!container)
        return;
    // A change handler may delete any of the buttons, this one included:
    // the siblings are held by guarded pointers, gathered before the first
    // handler runs. A sibling is a button whose group lives on the same
    // container: a plain one on it, or a hosted one inside or beside a host
    // there (a panel on the container has groups of its own).
    const auto sameGroupParent = [container](const ToxCustomGraphicButton *button) {
        return button->m_host ? button->m_host->groupParent() == container
                              : button->parentWidget() == container;
    };
    QList<QPointer<ToxCustomGraphicButton>> siblings;
    for (QObject *child : container->children()) {
        if (auto *button = qobject_cast<ToxCustomGraphicButton *>(child)) {
            if (sameGroupParent(button))
                siblings.append(button);
            continue;
        }
        for (auto *hosted :
             child->findChildren<ToxCustomGraphicButton *>(Qt::FindDirectChildrenOnly)) {
            if (hosted->m_host && sameGroupParent(hosted))
                siblings.append(hosted);
        }
    }
    const QPointer<ToxCustomGraphicButton> alive(this);
    for (const QPointer<ToxCustomGraphicButton> &sibling : siblings) {
        if (!alive)
            return;
        if (sibling)
            sibling->ButtonPressed(m_group, this);
    }
}

void ToxCustomGraphicButton::ButtonPressed(int group, ToxCustomGraphicButton *sender)
{
    if (group != m_group || sender == this)
        return;
    if (sender->Value() && m_value) {
        m_value = false;
        m_drawState = StateUp;
        InvalidateCache();
        emit OnChange();
    }
    m_groupAllowNoSel = sender->GroupAllowNoSel();
}

// Clicks, menus and the repeat timer.

void ToxCustomGraphicButton::Click()
{
    emit clicked();
}

bool ToxCustomGraphicButton::ShowMenu()
{
    QMenu *menu = m_host ? m_host->PopupMenu() : PopupMenu();
    if (!menu)
        return true;
    const QPointer<ToxCustomGraphicButton> alive(this);
    menu->exec(mapToGlobal(QPoint(0, height())));
    return !alive.isNull();
}

void ToxCustomGraphicButton::RepeatTimer()
{
    m_repeatTimer->setInterval(m_delay);
    // Only while the button still holds the mouse: a dialog a click opened
    // takes the release, which then never reaches the button.
    const bool held = (QGuiApplication::mouseButtons() & Qt::LeftButton)
        && !(QApplication::activeModalWidget() && QApplication::activeModalWidget() != window());
    if (m_tracking && !held) {
        m_tracking = false;
        freeRepeatTimer();
        m_drawState = m_value ? StateChecked : StateUp;
        repaint();
        return;
    }
    if (m_drawState != StatePressed || !m_tracking)
        return;
    try {
        if (!m_pictureUp.isEmpty() && !m_pictureDown.isEmpty()) {
            std::swap(m_pictureUp, m_pictureDown);
            m_cachedStates = 0;
            repaint();
        }
        Click();
    } catch (...) {
        freeRepeatTimer();
        reportHandlerException(std::current_exception());
    }
}

void ToxCustomGraphicButton::freeRepeatTimer()
{
    // Later: the timer may be the one whose tick is running.
    if (m_repeatTimer) {
        m_repeatTimer->stop();
        m_repeatTimer->deleteLater();
        m_repeatTimer = nullptr;
    }
}

// Mouse.

void ToxCustomGraphicButton::mousePressEvent(QMouseEvent *event)
{
    guardHandler([this, event] { press(event); });
}

void ToxCustomGraphicButton::mouseDoubleClickEvent(QMouseEvent *event)
{
    guardHandler([this, event] { press(event); });
}

void ToxCustomGraphicButton::press(QMouseEvent *event)
{
    const bool left = event->button() == Qt::LeftButton;
    if (left && m_host && !m_host->takeFocusForPress()) {
        event->ignore();
        return;
    }
    emit OnMouseDown(event->button(), event->modifiers(), event->position().toPoint());
    if (!left || !isEnabled())
        return;
    if (!IsInside(event->position().toPoint())) {
        // Passed on to the parent; the host must not hand it back.
        m_passedOn = {event->type(), event->timestamp()};
        event->ignore();
        return;
    }
    m_drawState = StatePressed;
    repaint();
    m_tracking = true;
    if (m_buttonType == oxbMenu) {
        if (!ShowMenu())
            return;
        m_drawState = StateUp;
        repaint();
        m_tracking = false;
    } else if (m_buttonType == oxbRepeat) {
        if (!m_repeatTimer) {
            m_repeatTimer = new QTimer(this);
            connect(m_repeatTimer, &QTimer::timeout, this, [this] { RepeatTimer(); });
        }
        m_repeatTimer->setInterval(m_initDelay);
        m_repeatTimer->start();
    }
}

void ToxCustomGraphicButton::mouseMoveEvent(QMouseEvent *event)
{
    guardHandler([this, event] {
        const QPoint pos = event->position().toPoint();
        emit OnMouseMove(event->modifiers(), pos);
        updateMouseOver(pos);
        if (m_tracking) {
            const int state = IsInside(pos) ? StatePressed : StateUp;
            if (state != m_drawState) {
                m_drawState = state;
                repaint();
            }
        } else if (m_style == bsBorderless) {
            const bool inside = IsInside(pos);
            if (inside != m_hot) {
                setHot(inside);
                repaint();
            }
        }
    });
}

void ToxCustomGraphicButton::mouseReleaseEvent(QMouseEvent *event)
{
    guardHandler([this, event] {
        const QPoint pos = event->position().toPoint();
        emit OnMouseUp(event->button(), event->modifiers(), pos);
        freeRepeatTimer();
        if (!m_tracking)
            return;
        m_tracking = false;
        const bool inside = IsInside(pos) && m_buttonType != oxbRepeat;
        m_drawState = StateUp;
        if (!inside)
            setHot(false);
        if (m_buttonType == oxbToggle) {
            if (inside)
                SetValue(!m_value);
            else if (m_value)
                m_drawState = StateChecked;
        }
        repaint();
        if (inside)
            Click();
    });
}

// The flat styles are under the mouse only where their picture or caption
// is; the others wherever Qt says the pointer is.
bool ToxCustomGraphicButton::passedOn(const QMouseEvent *event)
{
    const bool same = m_passedOn && m_passedOn->first == event->type()
        && m_passedOn->second == event->timestamp();
    m_passedOn.reset();
    return same;
}

void ToxCustomGraphicButton::setHot(bool hot)
{
    if (hot == m_hot)
        return;
    m_hot = hot;
    // The slot rule keeps the hot slot hot and, for the styles that have a
    // hot slot, the up slot cold; every other slot (focused, active, a
    // checked face) may show the flag, so those are drawn again.
    unsigned kept = 1u << SlotHot;
    if (effectiveStyle() >= bsWin97)
        kept |= 1u << SlotUp;
    m_cachedStates &= kept;
}

void ToxCustomGraphicButton::updateMouseOver(QPoint pos)
{
    if (m_style == bsBorderless || m_style == bsShaped)
        setMouseOver(rect().contains(pos) && IsInside(pos));
}

void ToxCustomGraphicButton::enterEvent(QEnterEvent *event)
{
    guardHandler([this, event] {
        if (m_style == bsBorderless || m_style == bsShaped)
            updateMouseOver(event->position().toPoint());
        else
            setMouseOver(true);
    });
}

void ToxCustomGraphicButton::leaveEvent(QEvent *)
{
    guardHandler([this] { setMouseOver(false); });
}

void ToxCustomGraphicButton::setMouseOver(bool over)
{
    if (over == m_mouseOver)
        return;
    m_mouseOver = over;
    const bool hotStyle = m_style == bsWin97 || m_style == bsBorderless || m_style == bsShaped;
    if (hotStyle && !m_tracking && isEnabled() && m_hot != over) {
        setHot(over);
        repaint();
    }
    if (over)
        emit OnMouseEnter();
    else
        emit OnMouseLeave();
}
