#pragma once

#include <QFont>
#include <QImage>
#include <QSize>

// The art of the main window's band and of the windows' icons, drawn with fixed
// sizes and one font family (DejaVu Sans), so the output depends only on the Qt,
// FreeType and libjpeg builds.

inline constexpr QSize kBandSize{640, 81};

QFont bandFont(int pixelSize, QFont::Weight weight = QFont::Normal, bool italic = false);
QImage drawBand();
QImage drawGlobeIcon(int size = 32); // the main window; 32 is the window icon's size
QImage drawInfoIcon(int size); // the About window, drawn for each size rather than scaled
QImage drawLandscapeIcon();    // the time window
