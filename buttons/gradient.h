#pragma once

// The colour table and band painter of a gradient face: a start colour on
// the left running to an end colour on the right in a fixed number of bands.

#include <QColor>

#include <functional>
#include <stdexcept>
#include <vector>

class QPainter;
class QRect;

// Asked for a table entry that does not exist.
class EInvalidIndex : public std::out_of_range
{
public:
    EInvalidIndex();
};

class TGradient
{
public:
    static constexpr int DefaultSteps = 128;

    TGradient();

    QColor StartColor() const { return m_start; }
    void SetStartColor(const QColor &color);
    QColor EndColor() const { return m_end; }
    void SetEndColor(const QColor &color);
    int Steps() const { return m_steps; }

    // Entry i of the colour table (built on first use); EInvalidIndex
    // outside 0 .. Steps() - 1.
    QColor Color(int index);
    bool hasTable() const { return !m_table.empty(); }

    // Fills `rect` with the bands, left to right; neighbouring bands may
    // overlap by one pixel so that no gap shows at any width.
    void Draw(QPainter &painter, const QRect &rect);

    std::function<void()> OnChange;

private:
    void BuildTable();
    void ReleaseTable();
    void Changed();

    QColor m_start;
    QColor m_end;
    int m_steps = DefaultSteps;
    std::vector<QRgb> m_table;
};
