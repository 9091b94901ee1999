#include "inplaceeditors.h"

#include <QAbstractItemView>
#include <QApplication>
#include <QKeyEvent>
#include <QRegularExpressionValidator>
#include <QToolButton>

#include <algorithm>
#include <climits>

using namespace Qt::Literals::StringLiterals;

namespace {

constexpr int ButtonWidth = 16;

QToolButton *sideButton(QWidget *parent, const QString &text, Qt::ArrowType arrow = Qt::NoArrow)
{
    auto *button = new QToolButton(parent);
    button->setText(text);
    button->setArrowType(arrow); // drawn by the style, as a spin box draws its own
    button->setFocusPolicy(Qt::NoFocus);
    button->setCursor(Qt::ArrowCursor);
    button->setAutoRaise(false);
    return button;
}

} // namespace

qint64 leadingInteger(QStringView text)
{
    qsizetype i = 0;
    bool negative = false;
    if (i < text.size() && (text[i] == u'-' || text[i] == u'+'))
        negative = text[i++] == u'-';
    qint64 value = 0;
    for (; i < text.size() && text[i] >= u'0' && text[i] <= u'9'; ++i)
        value = std::min<qint64>(value * 10 + (text[i].unicode() - u'0'), qint64(INT_MAX) + 1);
    return negative ? -value : value;
}

TGridInplaceEdit::TGridInplaceEdit(QWidget *parent)
    : QLineEdit(parent)
{
    setMaxLength(INT_MAX);
    setFrame(false);
}

TGridSpin::TGridSpin(QWidget *parent)
    : QLineEdit(parent)
    , m_up(sideButton(this, {}, Qt::UpArrow))
    , m_down(sideButton(this, {}, Qt::DownArrow))
{
    setFrame(false);
    setMaxLength(INT_MAX);
    // Pasted text is held to what can be typed.
    setValidator(new QRegularExpressionValidator(QRegularExpression(u"-?[0-9]*"_s), this));
    setTextMargins(0, 0, ButtonWidth, 0);
    connect(m_up, &QToolButton::clicked, this, [this] { step(Increment); });
    connect(m_down, &QToolButton::clicked, this, [this] { step(-qint64(Increment)); });
    connect(this, &QLineEdit::textEdited, this, [this] { m_edited = true; });
}

int TGridSpin::clamped(qint64 value) const
{
    if (MinValue == MaxValue)
        return static_cast<int>(std::clamp<qint64>(value, INT_MIN, INT_MAX));
    return static_cast<int>(std::clamp<qint64>(value, MinValue, MaxValue));
}

void TGridSpin::openWith(const QString &cellText)
{
    // What is shown is only where stepping starts from: a value out of range
    // or written another way stays in the cell unless the user changes it.
    m_cellText = cellText;
    m_edited = false;
    setText(QString::number(clamped(leadingInteger(cellText))));
    selectAll();
}

qint64 TGridSpin::currentValue() const
{
    bool ok = false;
    const int value = text().toInt(&ok);
    return ok ? value : MinValue;
}

QString TGridSpin::committedText() const
{
    return m_edited ? QString::number(currentValue()) : m_cellText;
}

void TGridSpin::setStepped(qint64 value)
{
    setText(QString::number(clamped(value)));
    m_edited = true;
}

void TGridSpin::step(qint64 delta)
{
    setStepped(currentValue() + delta);
}

void TGridSpin::keyPressEvent(QKeyEvent *event)
{
    switch (event->key()) {
    case Qt::Key_Up:
    case Qt::Key_PageUp:
        step(Increment);
        return;
    case Qt::Key_Down:
    case Qt::Key_PageDown:
        step(-qint64(Increment));
        return;
    case Qt::Key_Home:
        setStepped(MaxValue);
        return;
    case Qt::Key_End:
        setStepped(MinValue);
        return;
    default:
        break;
    }
    const QString typed = event->text();
    if (!typed.isEmpty() && typed[0].isPrint()) {
        const QChar c = typed[0];
        const QString outside = selectedText().isEmpty()
            ? text()
            : text().left(selectionStart()) + text().mid(selectionStart() + selectedText().size());
        const int insertAt = hasSelectedText() ? selectionStart() : cursorPosition();
        const bool accepted = c.isDigit() ? c.unicode() < 0x80
                                          : c == u'-' && insertAt == 0 && !outside.contains(u'-');
        if (!accepted) {
            QApplication::beep();
            return;
        }
    }
    QLineEdit::keyPressEvent(event);
}

void TGridSpin::resizeEvent(QResizeEvent *event)
{
    QLineEdit::resizeEvent(event);
    const int half = height() / 2;
    m_up->setGeometry(width() - ButtonWidth, 0, ButtonWidth, half);
    m_down->setGeometry(width() - ButtonWidth, half, ButtonWidth, height() - half);
}

TGridCombo::TGridCombo(QWidget *parent)
    : QComboBox(parent)
{
    setEditable(false);
    setMaxVisibleItems(8);
    // Only the user's own picks: the item the list opens on is not a choice.
    connect(this, &QComboBox::activated, this, [this] { m_chosen = true; });
}

void TGridCombo::openWith(const QStringList &items, bool sorted, const QString &cellText,
                          const QFont &gridFont)
{
    QStringList shown = items;
    if (sorted) {
        std::stable_sort(shown.begin(), shown.end(), [](const QString &a, const QString &b) {
            return a.compare(b, Qt::CaseInsensitive) < 0;
        });
    }
    m_cellText = cellText;
    m_chosen = false;
    clear();
    addItems(shown);
    const int match = findText(cellText, Qt::MatchFixedString);
    setCurrentIndex(match >= 0 ? match : (count() > 0 ? 0 : -1));

    // Wide enough for every item: more room where a scroll bar will show.
    const QFontMetrics metrics(gridFont);
    int width = this->width();
    for (const QString &item : shown) {
        const int w = metrics.horizontalAdvance(item);
        if (count() > maxVisibleItems() && width - 25 < w)
            width = w + 25;
        else if (count() <= maxVisibleItems() && width - 5 < w)
            width = w + 8;
    }
    m_dropDownWidth = width;
    view()->setMinimumWidth(width);
}

QString TGridCombo::committedText() const
{
    return m_chosen && currentIndex() >= 0 ? currentText() : m_cellText;
}

TGridEditBtn::TGridEditBtn(QWidget *parent)
    : QLineEdit(parent)
    , m_button(sideButton(this, u"\u2026"_s))
{
    setFrame(false);
    setMaxLength(INT_MAX);
    setTextMargins(0, 0, ButtonWidth, 0);
    connect(m_button, &QToolButton::clicked, this, &TGridEditBtn::ellipsisClicked);
}

void TGridEditBtn::keyPressEvent(QKeyEvent *event)
{
    if (event->key() == Qt::Key_F4
        && !(event->modifiers() & (Qt::ControlModifier | Qt::AltModifier))) {
        Q_EMIT ellipsisClicked();
        return;
    }
    QLineEdit::keyPressEvent(event);
}

void TGridEditBtn::resizeEvent(QResizeEvent *event)
{
    QLineEdit::resizeEvent(event);
    m_button->setGeometry(width() - ButtonWidth, 0, ButtonWidth, height());
}
