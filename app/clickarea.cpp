#include "clickarea.h"

#include <QMouseEvent>
#include <QPainter>

ClickArea::ClickArea(QWidget *parent) : QWidget(parent)
{
    // Without this an area with nothing drawn would let the window paint through
    // its parent's background; with it, it stays see-through and still gets mouse input.
    setAttribute(Qt::WA_NoSystemBackground);
}

void ClickArea::setPicture(const QPixmap &picture)
{
    m_picture = picture;
    update();
}

void ClickArea::paintEvent(QPaintEvent *event)
{
    if (m_picture.isNull())
        return;
    // Natural size from the top-left corner, never stretched.
    QPainter painter(this);
    painter.drawPixmap(event->rect(), m_picture, event->rect());
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
