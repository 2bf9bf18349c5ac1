#include "clickarea.h"

#include <QFileInfo>
#include <QKeyEvent>
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

void ClickArea::setKeyboardReachable()
{
    setFocusPolicy(Qt::TabFocus);
}

void ClickArea::paintEvent(QPaintEvent *)
{
    if (m_focusFrame) {
        // Over the band's art, which stays as drawn: a dark frame with a light one
        // inside it, seen on the band's light and dark parts alike.
        QPainter painter(this);
        painter.setPen(QPen(palette().color(QPalette::Highlight), 2));
        painter.drawRect(QRectF(rect()).adjusted(1, 1, -1, -1));
        painter.setPen(QPen(Qt::white, 1, Qt::DotLine));
        painter.drawRect(QRectF(rect()).adjusted(2.5, 2.5, -2.5, -2.5));
    }
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
    // The mouse took over: the frame goes, though the focus stays.
    if (m_focusFrame) {
        m_focusFrame = false;
        update();
    }
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

void ClickArea::keyPressEvent(QKeyEvent *event)
{
    const int key = event->key();
    if (key != Qt::Key_Space && key != Qt::Key_Return && key != Qt::Key_Enter) {
        QWidget::keyPressEvent(event);
        return;
    }
    // A held key runs the command once, as a held mouse button does.
    if (!event->isAutoRepeat() && event->modifiers() == Qt::NoModifier)
        click();
}

void ClickArea::focusInEvent(QFocusEvent *event)
{
    // The mouse never gives these areas the focus, so the focus here came from a key
    // (or with the window coming back to the front): show where it is.
    m_focusFrame = event->reason() != Qt::MouseFocusReason;
    update();
    QWidget::focusInEvent(event);
}

void ClickArea::focusOutEvent(QFocusEvent *event)
{
    m_focusFrame = false;
    update();
    QWidget::focusOutEvent(event);
}
