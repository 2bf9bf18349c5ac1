#include "form2line.h"

#include <QPainter>
#include <QPen>

#include <cmath>

Form2Line::Form2Line(const QLineF &inParent, const QColor &colour, int width, QWidget *parent)
    : QWidget(parent), m_line(inParent), m_colour(colour), m_width(width)
{
    setAttribute(Qt::WA_TransparentForMouseEvents);
    setFocusPolicy(Qt::NoFocus);
    // Half the pen lies on either side of the line; one pixel more keeps the
    // rounding of the bounds from clipping it.
    const qreal reach = m_width / 2.0 + 1.0;
    const QRectF bounds = QRectF(m_line.p1(), m_line.p2()).normalized().adjusted(-reach, -reach, reach, reach);
    setGeometry(QRect(QPoint(int(std::floor(bounds.left())), int(std::floor(bounds.top()))),
                      QPoint(int(std::ceil(bounds.right())), int(std::ceil(bounds.bottom())))));
}

void Form2Line::paintEvent(QPaintEvent *)
{
    QPainter painter(this);
    QPen pen(m_colour, m_width);
    pen.setCapStyle(Qt::FlatCap);
    painter.setPen(pen);
    painter.drawLine(m_line.translated(-QPointF(pos())));
}
