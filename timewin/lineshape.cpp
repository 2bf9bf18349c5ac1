#include "timewin/lineshape.h"

#include "app/twips.h"

#include <QPainter>
#include <QPen>

namespace {
// Smoothing reaches one pixel beyond the ideal line; one more keeps rounding safe.
constexpr int kPaintMargin = 2;

QLineF toLineF(const LineCoords &line)
{
    return QLineF(line.x1, line.y1, line.x2, line.y2);
}
} // namespace

LineShape::LineShape(const LineCoords &line, QPalette::ColorRole colour, QWidget *parent)
    : QWidget(parent), m_line(line), m_colour(colour)
{
    setAttribute(Qt::WA_TransparentForMouseEvents);
    setFocusPolicy(Qt::NoFocus);
    setGeometry(paintBounds(line));
}

QRect LineShape::paintBounds(const LineCoords &line)
{
    const QLineF pixels = toPixelsF(toLineF(line));
    const QRectF box = QRectF(pixels.p1(), pixels.p2()).normalized();
    return box.toAlignedRect().adjusted(-kPaintMargin, -kPaintMargin, kPaintMargin + 1,
                                        kPaintMargin + 1);
}

void LineShape::setLine(const LineCoords &line)
{
    const QRect dirty = paintBounds(m_line) | paintBounds(line);
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
    painter.setPen(QPen(palette().color(m_colour), 1.0, Qt::SolidLine, Qt::FlatCap));
    // The coordinates are the parent's; the whole-pixel offset keeps their fractions.
    painter.translate(-pos());
    painter.drawLine(toPixelsF(toLineF(m_line)));
}
