#include "pageplacement.h"

#include <QWidget>
#include <QWindow>

QRect pageRoom(const QWidget *pageArea)
{
    return QRect(pageArea->mapToGlobal(QPoint(0, 0)), pageArea->size())
            .adjusted(kPageInset, kPageInset, -kPageInset, -kPageInset);
}

void placeOverPage(QWidget *window, const QWidget *pageArea, PageCorner corner, int raise)
{
    const QRect room = pageRoom(pageArea);
    const QSize fits = room.size() - kFrameAllowance;
    window->ensurePolished();
    QSize size = window->isVisible() || window->testAttribute(Qt::WA_Resized) ? window->size()
                                                                             : window->sizeHint();
    size = size.boundedTo(fits).expandedTo(window->minimumSize());
    if (size != window->size() && window->minimumSize() != window->maximumSize())
        window->resize(size);
    const QSize outer = window->size() + kFrameAllowance;
    const QPoint at = corner == PageCorner::TopLeft
            ? room.topLeft()
            : room.bottomRight() - QPoint(outer.width(), outer.height() + raise) + QPoint(1, 1);
    window->move(at); // the frame's corner, and no dialog centres itself when shown
    // A window made already (a message box is) would take that for its inside's corner.
    if (QWindow *handle = window->windowHandle())
        handle->setFramePosition(at);
}
