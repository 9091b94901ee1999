#pragma once

// A coloured panel with the classic one-pixel bevels and an optional centred
// caption, and the small outlined colour swatch of the legend.

#include <QFrame>

class TPanel : public QFrame
{
    Q_OBJECT

public:
    enum class Bevel {
        Lowered, // lowered outer and inner bevel: the usable area starts 2 pixels in
        Raised // one raised bevel
    };

    TPanel(const QColor &color, Bevel bevel, QWidget *parent = nullptr);

    QString caption() const { return m_caption; }
    void setCaption(const QString &caption);
    QColor color() const { return m_color; }

    // The area inside the bevels.
    QRect clientRect() const;

protected:
    void paintEvent(QPaintEvent *event) override;

private:
    QColor m_color;
    Bevel m_bevel;
    QString m_caption;
};

class TShape : public QWidget
{
    Q_OBJECT

public:
    TShape(const QColor &fill, QWidget *parent = nullptr);
    QColor fill() const { return m_fill; }

protected:
    void paintEvent(QPaintEvent *event) override;

private:
    QColor m_fill;
};
