#pragma once

#include "timewin/handsweep.h"

#include <QPalette>
#include <QWidget>

// A line drawn from its single-precision twip coordinates. It is a transparent
// widget of its own so that it takes its place in the stacking order among the
// labels; its geometry is only the area it may paint in.
class LineShape : public QWidget
{
    Q_OBJECT
public:
    LineShape(const LineCoords &line, QPalette::ColorRole colour, QWidget *parent);

    LineCoords line() const { return m_line; }
    QPalette::ColorRole colourRole() const { return m_colour; }

    // Moves the line and repaints only where it was and where it is now.
    void setLine(const LineCoords &line);
    void setAntialiased(bool on);

    // The pixels a line may touch, in the parent's coordinates, with room for smoothing.
    static QRect paintBounds(const LineCoords &line);

protected:
    void paintEvent(QPaintEvent *event) override;

private:
    LineCoords m_line;
    QPalette::ColorRole m_colour;
    bool m_antialiased = false;
};
