#include "clickarea.h"

#include <QFileInfo>
#include <QMouseEvent>
#include <QPaintEngine>
#include <QPainter>

ClickArea::ClickArea(QWidget *parent) : QWidget(parent)
{
    // Without this an area with nothing drawn would let the window paint through
    // its parent's background; with it, it stays see-through and still gets mouse input.
    setAttribute(Qt::WA_NoSystemBackground);
}

void ClickArea::setPicture(const QString &fileName)
{
    m_picture = QPixmap(fileName);
    const QFileInfo file(fileName);
    m_sharpFile = file.path() + QLatin1Char('/') + file.completeBaseName() + QStringLiteral("@2x.")
            + file.suffix();
    m_sharp.reset();
    update();
}

QPixmap ClickArea::picture(qreal devicePixelRatio) const
{
    if (devicePixelRatio <= 1.0 || m_picture.isNull())
        return m_picture;
    // Qt's image reader gives a picture from an "@2x" file the device pixel ratio 2,
    // so it is painted at the same size as the plain one.
    if (!m_sharp)
        m_sharp = QPixmap(m_sharpFile);
    return m_sharp->isNull() ? m_picture : *m_sharp;
}

void ClickArea::paintEvent(QPaintEvent *)
{
    if (m_picture.isNull())
        return;
    QPainter painter(this);
    // Between a 1x and a 2x screen the dense picture is scaled down, smoothly.
    painter.setRenderHint(QPainter::SmoothPixmapTransform);
    // Natural size from the top-left corner, never stretched; the painter keeps to
    // the part to be repainted. The density is the one of the pixels painted into:
    // the window's, or the picture's that the area is rendered into.
    painter.drawPixmap(QPointF(), picture(painter.paintEngine()->paintDevice()->devicePixelRatioF()));
}

void ClickArea::mousePressEvent(QMouseEvent *event)
{
    m_pressed = event->button() == Qt::LeftButton;
}

void ClickArea::mouseReleaseEvent(QMouseEvent *event)
{
    const bool isClick = m_pressed && event->button() == Qt::LeftButton
            && rect().contains(event->position().toPoint());
    m_pressed = false;
    if (isClick)
        click();
}

void ClickArea::mouseMoveEvent(QMouseEvent *)
{
    emit mouseMoved();
}
