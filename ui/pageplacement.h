#pragma once

#include <QRect>
#include <QSize>

class QWidget;

// Where the browser's windows for a page appear: over the page area, `kPageInset`
// pixels in from its top-left corner (or, for a window that only tells, from its
// bottom-right corner), sized down to fit in it where the window can shrink. The
// window manager adds its frame later; `kFrameAllowance` is kept free for it.
inline constexpr int kPageInset = 8;
inline constexpr QSize kFrameAllowance{12, 40};

enum class PageCorner { TopLeft, BottomRight };

// The room a window of the page may take, frame included, in global coordinates.
QRect pageRoom(const QWidget *pageArea);

// Places `window` over the page area; `raise` lifts it so far (for windows stacked
// at the bottom). Call before the window is shown.
void placeOverPage(QWidget *window, const QWidget *pageArea, PageCorner corner = PageCorner::TopLeft,
                   int raise = 0);
