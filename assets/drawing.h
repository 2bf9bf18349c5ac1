#pragma once

#include <QFont>
#include <QImage>
#include <QSize>

// The art of the main window's band and of the windows' icons, drawn with fixed
// sizes and one font family (DejaVu Sans), so the output depends only on the Qt,
// FreeType and libjpeg builds.

inline constexpr QSize kBandSize{640, 81};

QFont bandFont(int pixelSize, QFont::Weight weight = QFont::Normal, bool italic = false);
// scale 2: the same band twice as dense, for screens of twice the pixel density; its
// device pixel ratio is 2, so it is painted in the same coordinates.
QImage drawBand(int scale = 1);
QImage drawGlobeIcon(int size = 32); // the main window; 32 is the window icon's size
// The About window: 16 and 32 each drawn for its size, 64 the 32 one twice as dense.
QImage drawInfoIcon(int size);
QImage drawLandscapeIcon(int size = 32); // the time window: 32, or 64 twice as dense
