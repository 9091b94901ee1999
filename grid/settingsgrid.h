#pragma once

// The settings grid control: shows one GridModel, scrolls by whole rows and
// columns, keeps the header rows in place.

#include "gridmodel.h"

#include <QAbstractScrollArea>

class TSettingsGrid : public QAbstractScrollArea, private GridView
{
    Q_OBJECT

public:
    explicit TSettingsGrid(QWidget *parent = nullptr);
    ~TSettingsGrid() override;

    GridModel &model() { return m_model; }
    const GridModel &model() const { return m_model; }

    // Index of the first scrollable row and column in view.
    int TopRow() const { return m_topRow; }
    int LeftCol() const { return m_leftCol; }

    // The cell's rectangle in viewport coordinates; empty when out of view.
    QRect CellRect(int col, int row) const;

protected:
    void paintEvent(QPaintEvent *event) override;
    void resizeEvent(QResizeEvent *event) override;
    void scrollContentsBy(int dx, int dy) override;

private:
    bool isShown() const override;
    void setRedraw(bool on) override;
    void gridChanged(bool whole, int col, int row) override;
    void loadProgress() override;

    void updateScrollBars();
    int rowTop(int row) const;
    int colLeft(int col) const;
    void paintCell(QPainter &painter, int col, int row, const QRect &rect) const;

    GridModel m_model;
    QFont m_fixedFont;
    int m_topRow = 1;
    int m_leftCol = 0;
};
