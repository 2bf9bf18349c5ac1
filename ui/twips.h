#pragma once

#include <QLineF>
#include <QPointF>
#include <QRect>

#include <cmath>

// Positions and sizes of the windows' designs are in twips: 1/1440 inch,
// 15 twips to a logical pixel.
inline constexpr int kTwipsPerPixel = 15;

struct Twips
{
    int left;
    int top;
    int width;
    int height;
};

// One rounding rule for every conversion: to the nearest pixel, halves away from zero.
constexpr int twipsToPixels(int twips)
{
    return twips >= 0 ? (twips + kTwipsPerPixel / 2) / kTwipsPerPixel
                      : -((-twips + kTwipsPerPixel / 2) / kTwipsPerPixel);
}

constexpr QRect toPixels(Twips t)
{
    return QRect(twipsToPixels(t.left), twipsToPixels(t.top), twipsToPixels(t.width),
                 twipsToPixels(t.height));
}

inline constexpr qreal pixelsPerTwip = 1.0 / kTwipsPerPixel;

// Lines keep their fractional twips; they are drawn, not snapped to pixels.
inline QPointF toPixelsF(qreal x, qreal y)
{
    return QPointF(x * pixelsPerTwip, y * pixelsPerTwip);
}

inline QLineF toPixelsF(const QLineF &twips)
{
    return QLineF(toPixelsF(twips.x1(), twips.y1()), toPixelsF(twips.x2(), twips.y2()));
}

inline float pixelsToTwips(int pixels)
{
    return float(pixels * kTwipsPerPixel);
}

// A line shape's end points, in single-precision twips as the line stores them.
struct LineCoords
{
    float x1;
    float y1;
    float x2;
    float y2;
};

inline QLineF toPixelsF(const LineCoords &twips)
{
    return toPixelsF(QLineF(twips.x1, twips.y1, twips.x2, twips.y2));
}
