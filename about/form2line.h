#pragma once

#include <QColor>
#include <QLineF>
#include <QWidget>

// A line shape of the About window: drawn from fractional pixel coordinates,
// never takes the mouse or the focus. The widget covers only the line's bounds,
// so its place among its siblings decides what it hides and what hides it.
class Form2Line : public QWidget
{
public:
    Form2Line(const QLineF &inParent, const QColor &colour, int width, QWidget *parent);

    // The end points in the parent's pixels.
    QLineF line() const { return m_line; }
    QColor colour() const { return m_colour; }
    int borderWidth() const { return m_width; }

protected:
    void paintEvent(QPaintEvent *event) override;

private:
    QLineF m_line;
    QColor m_colour;
    int m_width = 1;
};
