#pragma once

#include <Qt>

// The browser's small windows of their own (the About window, the windows a page
// brings up): a title bar with a close button only, no minimising or maximising,
// and on Windows a frame that does not resize.
inline constexpr Qt::WindowFlags kPlainWindow = Qt::Window | Qt::CustomizeWindowHint
        | Qt::WindowTitleHint | Qt::WindowCloseButtonHint | Qt::MSWindowsFixedSizeDialogHint;
