#pragma once

#include "twips.h"

#include <QColor>
#include <QPalette>
#include <QWidget>

#include <optional>

// A colour of a window's design: a fixed red, green, blue triple, or one of the
// desktop's named colours, looked up in the palette when drawn.
struct DesignColour
{
    constexpr DesignColour(QPalette::ColorRole role) : role(role) { }
    constexpr DesignColour(QRgb rgb) : rgb(rgb) { }

    QColor resolve(const QPalette &palette) const
    {
        return rgb ? QColor::fromRgb(*rgb) : palette.color(role);
    }

    QPalette::ColorRole role = QPalette::WindowText;
    std::optional<QRgb> rgb;
};

// A line drawn from its single-precision twip coordinates. It is a transparent
// widget of its own so that it takes its place in the stacking order among the
// labels; its geometry is only the area it may paint in. It never takes the mouse
// or the focus.
class LineShape : public QWidget
{
    Q_OBJECT
public:
    LineShape(const LineCoords &line, DesignColour colour, int penWidth, QWidget *parent);

    LineCoords line() const { return m_line; }
    DesignColour colour() const { return m_colour; }
    int penWidth() const { return m_penWidth; }

    // Moves the line and repaints only where it was and where it is now.
    void setLine(const LineCoords &line);
    void setAntialiased(bool on);

    // The pixels a line may touch, in the parent's coordinates, with room for
    // the pen's width and for smoothing.
    static QRect paintBounds(const LineCoords &line, int penWidth = 1);

protected:
    void paintEvent(QPaintEvent *event) override;

private:
    LineCoords m_line;
    DesignColour m_colour;
    int m_penWidth = 1;
    bool m_antialiased = false;
};
