// The drawings of the picture band and of the window icons.
#include "drawing.h"

#include "form1layout.h"
#include "icowriter.h"

#include <QColor>
#include <QFont>
#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>
#include <QPolygonF>
#include <QRadialGradient>

#include <array>
#include <cmath>
#include <functional>
#include <numbers>

namespace {

// ---------------------------------------------------------------------------
// The band. Rectangles are the click areas laid over it in the main window,
// in twips, so each drawing sits under the area that makes it work.


enum class Glyph {
    Back, Forward, Stop, Refresh, Home, Search, Print,
    Clock, Page, Folder, Disk, Joined, Parted, PenOnSheet, Door,
};

struct Face
{
    Glyph glyph;
    const char *caption;
    Twips at;
};

// The top row: Image2 to Image7, then a face at the right end with no click
// area over it.
inline constexpr std::array kFaces{
    Face{Glyph::Back, "Back", Form1Layout::areaAt("Image2")},
    Face{Glyph::Forward, "Forward", Form1Layout::areaAt("Image3")},
    Face{Glyph::Stop, "Stop", Form1Layout::areaAt("Image4")},
    Face{Glyph::Refresh, "Refresh", Form1Layout::areaAt("Image5")},
    Face{Glyph::Home, "Home", Form1Layout::areaAt("Image6")},
    Face{Glyph::Search, "Search", Form1Layout::areaAt("Image7")},
    Face{Glyph::Print, "Print", {8415, 0, 1185, 375}},
};

struct Command
{
    Glyph glyph;
    Twips at;
};

// The command row: Label15, Label7 to Label12, Label13/Label14.
inline constexpr std::array kCommands{
    Command{Glyph::Clock, Form1Layout::areaAt("Label15")},
    Command{Glyph::Page, Form1Layout::areaAt("Label7")},
    Command{Glyph::Folder, Form1Layout::areaAt("Label8")},
    Command{Glyph::Disk, Form1Layout::areaAt("Label9")},
    Command{Glyph::Joined, Form1Layout::areaAt("Label10")},
    Command{Glyph::Parted, Form1Layout::areaAt("Label11")},
    Command{Glyph::PenOnSheet, Form1Layout::areaAt("Label12")},
    Command{Glyph::Door, Form1Layout::areaAt("Label14")},
};

inline constexpr Twips kAddressField = Form1Layout::kAddressBox;     // under cboAddress
inline constexpr Twips kLogo = Form1Layout::areaAt("Label16");        // under Label16
inline constexpr Twips kWordmark{240, 825, 4800, 285};
inline constexpr Twips kCommandTray{5325, 825, 3090, 300};  // behind the command row

const QColor kButtonFace(0xdc, 0xda, 0xd5);
const QColor kShadow(0x9a, 0x97, 0x90);
const QColor kDarkShadow(0x6b, 0x68, 0x62);
const QColor kInk(0x22, 0x22, 0x22);

} // namespace

QFont bandFont(int pixelSize, QFont::Weight weight, bool italic)
{
    QFont font(QStringLiteral("DejaVu Sans"));
    font.setPixelSize(pixelSize);
    font.setWeight(weight);
    font.setItalic(italic);
    font.setHintingPreference(QFont::PreferNoHinting);
    font.setStyleStrategy(QFont::PreferAntialias);
    return font;
}

namespace {

// Glyphs are designed on a 16 x 16 grid; this maps the grid onto a box.
void inBox(QPainter &p, const QRectF &box, const std::function<void(QPainter &)> &draw)
{
    p.save();
    p.translate(box.topLeft());
    p.scale(box.width() / 16.0, box.height() / 16.0);
    draw(p);
    p.restore();
}

QPen outline(const QColor &colour, qreal width = 1.0)
{
    QPen pen(colour, width);
    pen.setJoinStyle(Qt::RoundJoin);
    pen.setCapStyle(Qt::RoundCap);
    return pen;
}

QLinearGradient vertical(qreal top, qreal bottom, const QColor &from, const QColor &to)
{
    QLinearGradient g(0, top, 0, bottom);
    g.setColorAt(0, from);
    g.setColorAt(1, to);
    return g;
}

void drawArrow(QPainter &p, bool pointsLeft)
{
    QRadialGradient ball(QPointF(6, 5), 9);
    ball.setColorAt(0, QColor(0x7c, 0xd8, 0x7a));
    ball.setColorAt(1, QColor(0x1c, 0x7a, 0x2c));
    p.setPen(outline(QColor(0x15, 0x5a, 0x20)));
    p.setBrush(ball);
    p.drawEllipse(QPointF(8, 8), 7, 7);
    QPolygonF arrow{{3.5, 8}, {8, 3.5}, {8, 6.2}, {12.5, 6.2}, {12.5, 9.8}, {8, 9.8}, {8, 12.5}};
    if (!pointsLeft) {
        for (QPointF &pt : arrow)
            pt.setX(16 - pt.x());
    }
    p.setPen(Qt::NoPen);
    p.setBrush(Qt::white);
    p.drawPolygon(arrow);
}

void drawStop(QPainter &p)
{
    QPolygonF octagon;
    for (int i = 0; i < 8; ++i) {
        const double a = (22.5 + 45.0 * i) * std::numbers::pi / 180.0;
        octagon << QPointF(8 + 7.4 * std::cos(a), 8 + 7.4 * std::sin(a));
    }
    p.setPen(outline(QColor(0x7a, 0x10, 0x10)));
    p.setBrush(vertical(1, 15, QColor(0xf0, 0x5a, 0x4a), QColor(0xb0, 0x18, 0x18)));
    p.drawPolygon(octagon);
    p.setPen(outline(Qt::white, 2.2));
    p.drawLine(QPointF(5.3, 5.3), QPointF(10.7, 10.7));
    p.drawLine(QPointF(10.7, 5.3), QPointF(5.3, 10.7));
}

void drawRefresh(QPainter &p)
{
    const QColor blue(0x1c, 0x5f, 0xc0);
    const QPointF c(8, 8);
    const double r = 5.2;
    p.setBrush(Qt::NoBrush);
    p.setPen(outline(blue, 2.0));
    // Two arcs, each ending in an arrowhead that chases the other arc.
    for (double start : {30.0, 210.0}) {
        const double span = 130.0;
        p.drawArc(QRectF(c.x() - r, c.y() - r, 2 * r, 2 * r), int(start * 16), int(span * 16));
        const double end = (start + span) * std::numbers::pi / 180.0;
        const QPointF tip(c.x() + r * std::cos(end), c.y() - r * std::sin(end));
        // Counter-clockwise tangent in screen coordinates.
        const QPointF dir(-std::sin(end), -std::cos(end));
        const QPointF normal(dir.y(), -dir.x());
        QPolygonF head{tip + dir * 3.2, tip + normal * 2.6, tip - normal * 2.6};
        p.setPen(Qt::NoPen);
        p.setBrush(blue);
        p.drawPolygon(head);
        p.setBrush(Qt::NoBrush);
        p.setPen(outline(blue, 2.0));
    }
}

void drawHome(QPainter &p)
{
    p.setPen(outline(QColor(0x6a, 0x45, 0x28)));
    p.setBrush(QColor(0xf4, 0xe4, 0xc4));
    p.drawRect(QRectF(3.5, 7.5, 9, 7));
    p.setBrush(QColor(0x8e, 0x5a, 0x32));
    p.drawRect(QRectF(6.5, 10.5, 3, 4));
    p.setBrush(QColor(0x9a, 0x9a, 0x9a));
    p.drawRect(QRectF(10.5, 2.5, 2, 4));
    p.setPen(outline(QColor(0x80, 0x18, 0x14)));
    p.setBrush(vertical(1, 8, QColor(0xe8, 0x50, 0x3c), QColor(0xa8, 0x22, 0x1a)));
    p.drawPolygon(QPolygonF{{1.2, 8.2}, {8, 1.4}, {14.8, 8.2}});
    p.setPen(outline(QColor(0x3a, 0x5a, 0x90)));
    p.setBrush(QColor(0xa8, 0xd0, 0xf0));
    p.drawRect(QRectF(10.5, 9.5, 1.6, 1.6));
}

void drawGlobe(QPainter &p, const QPointF &c, double r)
{
    QRadialGradient sea(c - QPointF(r / 2.5, r / 2.5), r * 1.6);
    sea.setColorAt(0, QColor(0x8c, 0xc8, 0xf4));
    sea.setColorAt(1, QColor(0x1a, 0x5a, 0xb0));
    p.setPen(Qt::NoPen);
    p.setBrush(sea);
    p.drawEllipse(c, r, r);

    p.save();
    QPainterPath disk;
    disk.addEllipse(c, r, r);
    p.setClipPath(disk);
    p.setBrush(QColor(0x3c, 0xa0, 0x40));
    const double u = r / 6.0;  // continents are laid out for r == 6
    auto at = [&](double x, double y) { return c + QPointF(x * u, y * u); };
    p.drawPolygon(QPolygonF{at(-5, -4), at(-2, -5), at(-1, -3), at(-2.5, -1), at(-1.5, 1),
                            at(-2.5, 5), at(-4, 2), at(-6, 0)});
    p.drawPolygon(QPolygonF{at(1, -5), at(4, -4), at(5, -1), at(3, 0), at(4, 3), at(2, 5),
                            at(1, 1), at(0.5, -2)});
    p.restore();

    p.setBrush(Qt::NoBrush);
    p.setPen(outline(QColor(255, 255, 255, 90), 0.6));
    p.drawEllipse(c, r * 0.45, r);
    p.drawLine(c - QPointF(r, 0), c + QPointF(r, 0));
    p.setPen(outline(QColor(0x12, 0x3c, 0x7a)));
    p.drawEllipse(c, r, r);
}

void drawSearch(QPainter &p)
{
    drawGlobe(p, QPointF(7, 7), 6);
    p.setPen(outline(QColor(0x5a, 0x3a, 0x1a), 2.6));
    p.drawLine(QPointF(12.6, 12.6), QPointF(15, 15));
    p.setPen(outline(QColor(0x30, 0x30, 0x30), 1.4));
    p.setBrush(QColor(255, 255, 255, 120));
    p.drawEllipse(QPointF(10.5, 10.5), 3, 3);
}

void drawPrint(QPainter &p)
{
    p.setPen(outline(QColor(0x70, 0x70, 0x70)));
    p.setBrush(Qt::white);
    p.drawRect(QRectF(4.5, 1.5, 7, 6));
    p.setPen(outline(QColor(0x44, 0x44, 0x44)));
    p.setBrush(vertical(6, 13, QColor(0xd8, 0xd8, 0xd8), QColor(0x88, 0x88, 0x88)));
    p.drawRoundedRect(QRectF(1.5, 6.5, 13, 6), 1.2, 1.2);
    p.setPen(outline(QColor(0x70, 0x70, 0x70)));
    p.setBrush(Qt::white);
    p.drawRect(QRectF(4.5, 10.5, 7, 4));
    p.drawLine(QPointF(6, 12.5), QPointF(10, 12.5));
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(0x2c, 0xc0, 0x3c));
    p.drawEllipse(QPointF(12.3, 8.6), 0.8, 0.8);
}

void drawClock(QPainter &p)
{
    p.setPen(outline(QColor(0x1e, 0x3a, 0x78), 1.4));
    p.setBrush(vertical(1, 15, Qt::white, QColor(0xe4, 0xea, 0xf4)));
    p.drawEllipse(QPointF(8, 8), 6.8, 6.8);
    p.setPen(outline(QColor(0x50, 0x50, 0x50), 0.9));
    for (int i = 0; i < 12; i += 3) {
        const double a = i * std::numbers::pi / 6.0;
        p.drawLine(QPointF(8 + 4.6 * std::sin(a), 8 - 4.6 * std::cos(a)),
                   QPointF(8 + 5.6 * std::sin(a), 8 - 5.6 * std::cos(a)));
    }
    p.setPen(outline(kInk, 1.4));
    p.drawLine(QPointF(8, 8), QPointF(8, 3.4));     // twelve minutes to four
    p.drawLine(QPointF(8, 8), QPointF(11, 9.6));
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(0xc0, 0x20, 0x20));
    p.drawEllipse(QPointF(8, 8), 1, 1);
}

void drawSheet(QPainter &p, int lines)
{
    QPainterPath sheet;
    sheet.moveTo(2.5, 0.5);
    sheet.lineTo(10.5, 0.5);
    sheet.lineTo(13.5, 3.5);
    sheet.lineTo(13.5, 15.5);
    sheet.lineTo(2.5, 15.5);
    sheet.closeSubpath();
    p.setPen(outline(QColor(0x50, 0x50, 0x50)));
    p.setBrush(Qt::white);
    p.drawPath(sheet);
    p.setBrush(QColor(0xd0, 0xd0, 0xd0));
    p.drawPolygon(QPolygonF{{10.5, 0.5}, {10.5, 3.5}, {13.5, 3.5}});
    p.setPen(outline(QColor(0x30, 0x48, 0x80), 1.0));
    for (int i = 0; i < lines; ++i) {
        const double y = 5.5 + 2.5 * i;
        p.drawLine(QPointF(4.8, y), QPointF(i % 2 ? 9.2 : 11.2, y));
    }
}

void drawFolder(QPainter &p)
{
    p.setPen(outline(QColor(0x8a, 0x62, 0x10)));
    p.setBrush(QColor(0xd8, 0xa8, 0x30));
    p.drawPolygon(QPolygonF{{1.5, 3.5}, {5.5, 3.5}, {6.5, 4.5}, {13.5, 4.5}, {13.5, 13.5}, {1.5, 13.5}});
    p.setBrush(Qt::white);
    p.setPen(outline(QColor(0x90, 0x90, 0x90), 0.8));
    p.drawRect(QRectF(3.5, 5.5, 8.5, 5));
    p.setPen(outline(QColor(0x8a, 0x62, 0x10)));
    p.setBrush(vertical(7, 14, QColor(0xfc, 0xdc, 0x70), QColor(0xec, 0xb4, 0x38)));
    p.drawPolygon(QPolygonF{{3.5, 7.5}, {15.2, 7.5}, {13.5, 13.5}, {1.5, 13.5}});
}

void drawDisk(QPainter &p)
{
    p.setPen(outline(QColor(0x10, 0x20, 0x48)));
    p.setBrush(vertical(1, 15, QColor(0x3a, 0x5c, 0xa0), QColor(0x1c, 0x32, 0x6a)));
    p.drawPolygon(QPolygonF{{1.5, 1.5}, {13, 1.5}, {14.5, 3}, {14.5, 14.5}, {1.5, 14.5}});
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(0xc8, 0xcc, 0xd4));
    p.drawRect(QRectF(4.5, 1.5, 7, 4.5));
    p.setBrush(QColor(0x1c, 0x32, 0x6a));
    p.drawRect(QRectF(8.8, 2.4, 1.6, 2.8));
    p.setBrush(Qt::white);
    p.drawRect(QRectF(3.5, 8.5, 9, 6));
    p.setPen(outline(QColor(0x9a, 0xa8, 0xc8), 0.8));
    p.drawLine(QPointF(4.8, 10.5), QPointF(11.2, 10.5));
    p.drawLine(QPointF(4.8, 12.5), QPointF(11.2, 12.5));
}

// A plug and its socket, pushed together or pulled apart.
void drawConnection(QPainter &p, bool joined)
{
    const double gap = joined ? 0.0 : 1.8;
    p.setPen(outline(QColor(0x30, 0x30, 0x30), 1.6));
    p.drawLine(QPointF(0.5, 9), QPointF(3 - gap, 9));
    p.drawLine(QPointF(13 + gap, 9), QPointF(15.5, 9));
    p.setPen(outline(QColor(0x8a, 0x6a, 0x10), 0.9));
    p.drawLine(QPointF(7 - gap, 7.5), QPointF(9 - gap, 7.5));
    p.drawLine(QPointF(7 - gap, 10.5), QPointF(9 - gap, 10.5));
    p.setPen(outline(QColor(0x30, 0x30, 0x30)));
    p.setBrush(vertical(5, 13, QColor(0xb8, 0xb8, 0xb8), QColor(0x60, 0x60, 0x60)));
    p.drawRoundedRect(QRectF(2.5 - gap, 6, 4.5, 6), 1, 1);
    p.drawRoundedRect(QRectF(8.5 + gap, 5, 4.5, 8), 1, 1);
    p.setPen(outline(QColor(0x20, 0x20, 0x20), 0.5));
    p.setBrush(joined ? QColor(0x30, 0xd0, 0x40) : QColor(0xe0, 0x30, 0x20));
    p.drawEllipse(QPointF(8, 2.4), 1.6, 1.6);
}

void drawPenOnSheet(QPainter &p)
{
    drawSheet(p, 3);
    p.save();
    p.translate(10, 8);
    p.rotate(45);
    p.setPen(outline(QColor(0x6a, 0x4a, 0x10), 0.8));
    p.setBrush(QColor(0xf4, 0xc0, 0x30));
    p.drawRect(QRectF(-1.4, -7, 2.8, 8));
    p.setBrush(QColor(0xe8, 0x90, 0x90));
    p.drawRect(QRectF(-1.4, -8.4, 2.8, 1.4));
    p.setBrush(QColor(0xf0, 0xd8, 0xa8));
    p.drawPolygon(QPolygonF{{-1.4, 1}, {1.4, 1}, {0, 4}});
    p.setPen(Qt::NoPen);
    p.setBrush(kInk);
    p.drawPolygon(QPolygonF{{-0.5, 3}, {0.5, 3}, {0, 4}});
    p.restore();
}

void drawDoor(QPainter &p)
{
    p.setPen(outline(QColor(0x3a, 0x26, 0x14)));
    p.setBrush(QColor(0x2a, 0x2a, 0x30));
    p.drawRect(QRectF(4.5, 1.5, 9, 13));
    p.setBrush(vertical(1, 15, QColor(0xc0, 0x74, 0x40), QColor(0x86, 0x48, 0x22)));
    p.drawPolygon(QPolygonF{{4.5, 1.5}, {10, 3}, {10, 15.4}, {4.5, 14.5}});
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(0xf0, 0xd0, 0x40));
    p.drawEllipse(QPointF(8.8, 9), 0.8, 0.8);
    p.setPen(outline(QColor(0x3a, 0x26, 0x14)));
    p.drawLine(QPointF(1.5, 14.5), QPointF(15, 14.5));
}

void drawGlyph(QPainter &p, Glyph glyph)
{
    switch (glyph) {
    case Glyph::Back: drawArrow(p, true); break;
    case Glyph::Forward: drawArrow(p, false); break;
    case Glyph::Stop: drawStop(p); break;
    case Glyph::Refresh: drawRefresh(p); break;
    case Glyph::Home: drawHome(p); break;
    case Glyph::Search: drawSearch(p); break;
    case Glyph::Print: drawPrint(p); break;
    case Glyph::Clock: drawClock(p); break;
    case Glyph::Page: drawSheet(p, 4); break;
    case Glyph::Folder: drawFolder(p); break;
    case Glyph::Disk: drawDisk(p); break;
    case Glyph::Joined: drawConnection(p, true); break;
    case Glyph::Parted: drawConnection(p, false); break;
    case Glyph::PenOnSheet: drawPenOnSheet(p); break;
    case Glyph::Door: drawDoor(p); break;
    }
}

// Pixel-aligned bevels: the rectangle's outer ring of pixels.
void raisedBevel(QPainter &p, const QRect &r)
{
    p.save();
    p.setRenderHint(QPainter::Antialiasing, false);
    p.setPen(Qt::white);
    p.drawLine(r.topLeft(), r.topRight() - QPoint(1, 0));
    p.drawLine(r.topLeft(), r.bottomLeft() - QPoint(0, 1));
    p.setPen(kDarkShadow);
    p.drawLine(r.bottomLeft(), r.bottomRight());
    p.drawLine(r.topRight(), r.bottomRight());
    p.setPen(kShadow);
    p.drawLine(r.bottomLeft() + QPoint(1, -1), r.bottomRight() - QPoint(1, 1));
    p.drawLine(r.topRight() + QPoint(-1, 1), r.bottomRight() - QPoint(1, 1));
    p.restore();
}

void sunkenBevel(QPainter &p, const QRect &r)
{
    p.save();
    p.setRenderHint(QPainter::Antialiasing, false);
    p.setPen(kShadow);
    p.drawLine(r.topLeft(), r.topRight() - QPoint(1, 0));
    p.drawLine(r.topLeft(), r.bottomLeft() - QPoint(0, 1));
    p.setPen(Qt::white);
    p.drawLine(r.bottomLeft(), r.bottomRight());
    p.drawLine(r.topRight(), r.bottomRight());
    p.restore();
}

void etchedLine(QPainter &p, int y, int left, int right)
{
    p.save();
    p.setRenderHint(QPainter::Antialiasing, false);
    p.setPen(kShadow);
    p.drawLine(left, y, right, y);
    p.setPen(Qt::white);
    p.drawLine(left, y + 1, right, y + 1);
    p.restore();
}

void drawFace(QPainter &p, const Face &face)
{
    // Neighbouring areas share a pixel column; keep one column of band between faces.
    const QRect r = toPixels(face.at).adjusted(1, 1, -1, -1);
    p.setPen(Qt::NoPen);
    p.setBrush(vertical(r.top(), r.bottom(), QColor(0xf6, 0xf5, 0xf2), QColor(0xd2, 0xcf, 0xc8)));
    p.drawRect(r);
    raisedBevel(p, r);

    const QRectF icon(r.left() + 5, r.top() + (r.height() - 16) / 2.0, 16, 16);
    inBox(p, icon, [&](QPainter &q) { drawGlyph(q, face.glyph); });

    p.setFont(bandFont(12));
    p.setPen(kInk);
    const QRectF text(icon.right() + 5, r.top(), r.right() - icon.right() - 7, r.height());
    p.drawText(text, Qt::AlignLeft | Qt::AlignVCenter, QString::fromLatin1(face.caption));
}

void drawWordmark(QPainter &p)
{
    const QRect r = toPixels(kWordmark);
    const QFont bold = bandFont(17, QFont::Bold, true);
    const QFont light = bandFont(17, QFont::Normal, true);
    const QString velt = QStringLiteral("Velt");
    const QString browser = QStringLiteral(" Browser");
    const int baseline = r.top() + 15;
    const int split = r.left() + QFontMetrics(bold).horizontalAdvance(velt);

    // An engraved look: a white copy one pixel down and right.
    for (const bool shadow : {true, false}) {
        const QPoint off = shadow ? QPoint(1, 1) : QPoint();
        p.setFont(bold);
        p.setPen(shadow ? QColor(Qt::white) : QColor(0x1a, 0x3d, 0x7c));
        p.drawText(QPoint(r.left(), baseline) + off, velt);
        p.setFont(light);
        p.setPen(shadow ? QColor(Qt::white) : QColor(0x4a, 0x4a, 0x4a));
        p.drawText(QPoint(split, baseline) + off, browser);
    }
}

void drawLogo(QPainter &p)
{
    const QRectF r = QRectF(toPixels(kLogo)).adjusted(0.5, 0.5, -0.5, -0.5);
    p.setPen(outline(QColor(0x10, 0x2a, 0x56)));
    p.setBrush(vertical(r.top(), r.bottom(), QColor(0x4a, 0x88, 0xd0), QColor(0x16, 0x3c, 0x78)));
    p.drawRoundedRect(r, 4, 4);
    p.setPen(outline(QColor(255, 255, 255, 80)));
    p.drawLine(QPointF(r.left() + 4, r.top() + 1.5), QPointF(r.right() - 4, r.top() + 1.5));

    // A small globe before the name, circled by an orbit.
    const QPointF c(r.left() + 9, r.center().y());
    drawGlobe(p, c, 4.8);
    p.setPen(outline(QColor(0xf8, 0xb0, 0x30), 0.9));
    p.setBrush(Qt::NoBrush);
    p.drawEllipse(c, 7, 2.4);

    QFont font = bandFont(11, QFont::Bold);
    font.setLetterSpacing(QFont::AbsoluteSpacing, 0.8);
    p.setFont(font);
    p.setPen(Qt::white);
    p.drawText(r.adjusted(16, 0, -2, 0), Qt::AlignCenter, QStringLiteral("VELT"));
}

} // namespace

QImage drawBand(int scale)
{
    QImage band(kBandSize * scale, QImage::Format_RGB32);
    band.setDevicePixelRatio(scale);
    band.fill(kButtonFace);
    QPainter p(&band);
    p.setRenderHint(QPainter::Antialiasing);
    p.setRenderHint(QPainter::TextAntialiasing);

    // A faint sheen so the band does not read as a flat slab.
    p.fillRect(QRect(QPoint(), kBandSize), vertical(0, kBandSize.height(), QColor(0xe6, 0xe4, 0xdf), kButtonFace));

    for (const Face &face : kFaces)
        drawFace(p, face);
    etchedLine(p, 27, 0, kBandSize.width() - 1);

    const QRect field = toPixels(kAddressField);
    p.fillRect(field, Qt::white);
    sunkenBevel(p, field.adjusted(-1, -1, 1, 1));

    drawWordmark(p);

    const QRect tray = toPixels(kCommandTray);
    p.fillRect(tray, QColor(0xd0, 0xce, 0xc8));
    sunkenBevel(p, tray);
    for (const Command &command : kCommands) {
        const QRect area = toPixels(command.at);
        // 16 x 16 glyphs, centred in their click areas.
        const QRectF box(area.left() + (area.width() - 16) / 2.0, area.top() + (area.height() - 16) / 2.0,
                         16, 16);
        inBox(p, box, [&](QPainter &q) { drawGlyph(q, command.glyph); });
    }

    drawLogo(p);

    // The bottom edge; the page area below overlaps its last pixel row.
    p.setRenderHint(QPainter::Antialiasing, false);
    p.setPen(kShadow);
    p.drawLine(0, kBandSize.height() - 2, kBandSize.width() - 1, kBandSize.height() - 2);
    p.setPen(kDarkShadow);
    p.drawLine(0, kBandSize.height() - 1, kBandSize.width() - 1, kBandSize.height() - 1);
    return band;
}

namespace {

QImage iconCanvas(int size)
{
    QImage img(size, size, QImage::Format_ARGB32);
    img.fill(Qt::transparent);
    return img;
}

} // namespace

// Icons are painted without antialiasing, straight in palette colours, so
// quantising only settles the odd pixel and never smears an edge.

// The main window: a globe. Drawn on a 32-pixel grid; other sizes are the same
// drawing scaled and smoothed, for desktops that show the program at any size.
QImage drawGlobeIcon(int size)
{
    QImage img = iconCanvas(size);
    QPainter p(&img);
    if (size != 32) {
        p.setRenderHint(QPainter::Antialiasing);
        p.scale(size / 32.0, size / 32.0);
    }
    p.setPen(Qt::NoPen);
    p.setBrush(Vga::Navy);
    p.drawEllipse(1, 1, 29, 29);
    p.setBrush(Vga::Blue);
    p.drawEllipse(2, 2, 24, 24);

    QPainterPath disk;
    disk.addEllipse(2, 2, 27, 27);
    p.setClipPath(disk);
    p.setBrush(Vga::Green);
    const QPolygon americas{{5, 6},  {11, 4},  {14, 6},  {12, 10}, {9, 12}, {11, 15}, {13, 18},
                            {11, 24}, {9, 28},  {8, 22},  {6, 17},  {4, 13}};
    const QPolygon eurafrica{{17, 5}, {23, 4}, {27, 8}, {25, 11}, {27, 14}, {26, 20},
                             {23, 25}, {20, 21}, {19, 15}, {17, 12}, {19, 9}};
    p.drawPolygon(americas);
    p.drawPolygon(eurafrica);
    p.setBrush(Vga::Lime);
    p.drawPolygon(americas.translated(-1, -1));
    p.drawPolygon(eurafrica.translated(-1, -1));
    p.setClipping(false);

    p.setBrush(Qt::NoBrush);
    if (size != 32)
        p.translate(0.5, 0.5); // an unsmoothed pen fills the grid cell right of and below its point
    p.setPen(Vga::Black);
    p.drawEllipse(1, 1, 29, 29);
    p.setPen(Vga::White);
    p.drawPoint(7, 6);
    p.drawPoint(8, 5);
    p.drawPoint(6, 7);
    p.setPen(Vga::Cyan);
    p.drawPoint(9, 4);
    p.drawPoint(5, 8);
    return img;
}

// The About window: an information mark, drawn for each size rather than scaled.
QImage drawInfoIcon(int size)
{
    QImage img = iconCanvas(size);
    QPainter p(&img);
    if (size == 64)
        p.scale(2, 2); // the 32 x 32 design, twice as dense
    p.setPen(Qt::NoPen);
    if (size != 16) {
        p.setBrush(Vga::Navy);
        p.drawEllipse(1, 1, 29, 29);
        p.setBrush(Vga::Blue);
        p.drawEllipse(2, 2, 25, 25);
        p.setBrush(Qt::NoBrush);
        p.setPen(Vga::Black);
        p.drawEllipse(1, 1, 29, 29);
        p.setPen(Qt::NoPen);
        p.setBrush(Vga::White);
        p.drawRect(14, 6, 4, 4);
        p.drawRect(12, 12, 6, 2);
        p.drawRect(14, 14, 4, 10);
        p.drawRect(12, 24, 8, 2);
        p.setBrush(Vga::Cyan);
        p.drawRect(7, 7, 2, 1);
        p.drawRect(6, 8, 1, 2);
    } else {
        p.setBrush(Vga::Navy);
        p.drawEllipse(0, 0, 15, 15);
        p.setBrush(Vga::Blue);
        p.drawEllipse(1, 1, 12, 12);
        p.setBrush(Qt::NoBrush);
        p.setPen(Vga::Black);
        p.drawEllipse(0, 0, 15, 15);
        p.setPen(Qt::NoPen);
        p.setBrush(Vga::White);
        p.drawRect(7, 3, 2, 2);
        p.drawRect(6, 6, 3, 1);
        p.drawRect(7, 7, 2, 4);
        p.drawRect(6, 11, 4, 1);
    }
    return img;
}

// The time window: a landscape with sun, rainbow, clouds, mountains and water.
QImage drawLandscapeIcon(int size)
{
    QImage img = iconCanvas(size);
    QPainter p(&img);
    if (size == 64)
        p.scale(2, 2); // the 32 x 32 design, twice as dense
    p.setPen(Qt::NoPen);

    p.fillRect(0, 0, 32, 22, Vga::Cyan);

    // Rainbow: nested discs, the sky colour closing the middle.
    p.save();
    p.setClipRect(0, 0, 32, 22);
    const QPoint centre(15, 25);
    const std::array bands{Vga::Red, Vga::Yellow, Vga::Lime, Vga::Blue, Vga::Magenta, Vga::Cyan};
    int radius = 17;  // outer band tops out at y 8
    for (const QColor &c : bands) {
        p.setBrush(c);
        p.drawEllipse(centre, radius, radius);
        --radius;
    }
    p.restore();

    p.setBrush(Vga::Yellow);
    p.drawEllipse(23, 1, 7, 7);
    p.setPen(Vga::Yellow);
    p.drawLine(26, 0, 26, 0);
    p.drawLine(21, 4, 21, 4);
    p.drawLine(22, 1, 22, 1);
    p.drawLine(22, 8, 22, 8);
    p.setPen(Qt::NoPen);

    auto cloud = [&](int x, int y) {
        p.setBrush(Vga::Silver);
        p.drawEllipse(x, y + 2, 11, 4);
        p.setBrush(Vga::White);
        p.drawEllipse(x + 1, y + 1, 9, 4);
        p.drawEllipse(x + 3, y - 1, 5, 4);
    };
    cloud(0, 2);
    cloud(11, 3);

    // Mountains, the far one grey, the near one green, with snow.
    p.setBrush(Vga::Grey);
    p.drawPolygon(QPolygon{{3, 23}, {11, 13}, {19, 23}});
    p.setBrush(Vga::Silver);
    p.drawPolygon(QPolygon{{11, 13}, {19, 23}, {14, 23}, {12, 18}});
    p.setBrush(Vga::White);
    p.drawPolygon(QPolygon{{11, 13}, {9, 16}, {10, 15}, {11, 16}, {12, 15}, {13, 16}});
    p.setBrush(Vga::Green);
    p.drawPolygon(QPolygon{{13, 23}, {21, 15}, {29, 23}});
    p.setBrush(Vga::Olive);
    p.drawPolygon(QPolygon{{21, 15}, {29, 23}, {25, 23}, {22, 19}});
    p.setBrush(Vga::White);
    p.drawPolygon(QPolygon{{21, 15}, {19, 17}, {20, 17}, {21, 18}, {22, 17}, {23, 17}});

    // Water, with a few waves.
    p.fillRect(0, 22, 32, 10, Vga::Blue);
    p.fillRect(0, 22, 32, 1, Vga::Teal);
    p.setPen(Vga::Cyan);
    p.drawLine(3, 25, 7, 25);
    p.drawLine(16, 24, 20, 24);
    p.drawLine(10, 28, 14, 28);
    p.drawLine(23, 29, 28, 29);
    p.setPen(Vga::White);
    p.drawLine(25, 26, 27, 26);
    p.setPen(Vga::Navy);
    p.drawLine(4, 30, 7, 30);
    p.drawLine(17, 31, 20, 31);

    p.setBrush(Qt::NoBrush);
    p.setPen(Vga::Black);
    p.drawRect(0, 0, 31, 31);
    return img;
}
