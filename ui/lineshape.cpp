#include "lineshape.h"

#include <QPainter>
#include <QPen>

namespace {
// Smoothing reaches one pixel beyond the pen; one more keeps rounding safe.
constexpr int kPaintMargin = 2;
} // namespace

LineShape::LineShape(const LineCoords &line, DesignColour colour, int penWidth, QWidget *parent)
    : QWidget(parent), m_line(line), m_colour(colour), m_penWidth(penWidth)
{
    setAttribute(Qt::WA_TransparentForMouseEvents);
    setFocusPolicy(Qt::NoFocus);
    setGeometry(paintBounds(line, penWidth));
}

QRect LineShape::paintBounds(const LineCoords &line, int penWidth)
{
    const QLineF pixels = toPixelsF(line);
    const QRectF box = QRectF(pixels.p1(), pixels.p2()).normalized();
    const int reach = kPaintMargin + penWidth / 2;
    return box.toAlignedRect().adjusted(-reach, -reach, reach + 1, reach + 1);
}

void LineShape::setLine(const LineCoords &line)
{
    const QRect dirty = paintBounds(m_line, m_penWidth) | paintBounds(line, m_penWidth);
    m_line = line;
    update(dirty.translated(-pos()));
}

void LineShape::setAntialiased(bool on)
{
    m_antialiased = on;
    update();
}

void LineShape::paintEvent(QPaintEvent *)
{
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing, m_antialiased);
    painter.setPen(QPen(m_colour.resolve(palette()), m_penWidth, Qt::SolidLine, Qt::FlatCap));
    // The coordinates are the parent's; the whole-pixel offset keeps their fractions.
    painter.translate(-pos());
    painter.drawLine(toPixelsF(m_line));
}
