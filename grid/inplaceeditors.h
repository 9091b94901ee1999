#pragma once

// The grid's in-place editors. Each grid owns one of each, hidden until an
// edit opens over a cell.

#include <QComboBox>
#include <QLineEdit>

class QToolButton;

// The plain one-cell text editor; no length limit, so long values survive.
class TGridInplaceEdit : public QLineEdit
{
    Q_OBJECT

public:
    explicit TGridInplaceEdit(QWidget *parent);
};

// An integer editor with spin buttons. Typed values are not held to the
// limits; the arrows, Page keys, Home and End are.
class TGridSpin : public QLineEdit
{
    Q_OBJECT

public:
    explicit TGridSpin(QWidget *parent);

    int MinValue = 0;
    int MaxValue = 100;
    int Increment = 1;

    // Shows the cell text's leading integer, held to the limits.
    void openWith(const QString &cellText);
    // The cell text exactly as it was opened with until the user types or
    // steps; after that a whole integer in decimal, MinValue otherwise.
    QString committedText() const;
    int clamped(qint64 value) const;

protected:
    void keyPressEvent(QKeyEvent *event) override;
    void resizeEvent(QResizeEvent *event) override;

private:
    void step(qint64 delta);
    void setStepped(qint64 value);
    qint64 currentValue() const;

    QToolButton *m_up;
    QToolButton *m_down;
    QString m_cellText;
    bool m_edited = false;
};

// A drop-down list of fixed items.
class TGridCombo : public QComboBox
{
    Q_OBJECT

public:
    explicit TGridCombo(QWidget *parent);
    // Fills the list (sorted without regard to case when asked) and selects
    // the item equal to `cellText` in any letter case, or the first.
    void openWith(const QStringList &items, bool sorted, const QString &cellText,
                  const QFont &gridFont);
    // The item the user chose; until they choose one, the cell text exactly
    // as it was opened with.
    QString committedText() const;
    int dropDownWidth() const { return m_dropDownWidth; }

private:
    int m_dropDownWidth = 0;
    QString m_cellText;
    bool m_chosen = false;
};

// A text editor with an ellipsis button; the button and F4 ask for a new text.
class TGridEditBtn : public QLineEdit
{
    Q_OBJECT

public:
    explicit TGridEditBtn(QWidget *parent);

Q_SIGNALS:
    void ellipsisClicked();

protected:
    void keyPressEvent(QKeyEvent *event) override;
    void resizeEvent(QResizeEvent *event) override;

private:
    QToolButton *m_button;
};

// The leading integer of a text, with an optional sign; no digits give 0.
qint64 leadingInteger(QStringView text);
