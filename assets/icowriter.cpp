// Windows icon files of 16-colour images, written by hand: Qt reads .ico but
// does not write 4-bit ones.
#include "icowriter.h"

#include <array>
#include <climits>

// Icons: 16 colours, 4 bits a pixel, the standard VGA palette.

namespace {

inline constexpr std::array<QRgb, 16> kVga{
    0xff000000, 0xff800000, 0xff008000, 0xff808000, 0xff000080, 0xff800080, 0xff008080, 0xffc0c0c0,
    0xff808080, 0xffff0000, 0xff00ff00, 0xffffff00, 0xff0000ff, 0xffff00ff, 0xff00ffff, 0xffffffff,
};

// Index 16 of a quantised icon is "transparent": AND mask set, colour black.
inline constexpr int kTransparent = 16;

} // namespace

QImage quantise(const QImage &drawn)
{
    const QImage src = drawn.convertToFormat(QImage::Format_ARGB32);
    QImage out(src.size(), QImage::Format_Indexed8);
    QList<QRgb> table(kVga.begin(), kVga.end());
    table << qRgba(0, 0, 0, 0);
    out.setColorTable(table);
    for (int y = 0; y < src.height(); ++y) {
        for (int x = 0; x < src.width(); ++x) {
            const QRgb c = src.pixel(x, y);
            int best = kTransparent;
            if (qAlpha(c) >= 128) {
                int bestDistance = INT_MAX;
                for (int i = 0; i < 16; ++i) {
                    const int dr = qRed(c) - qRed(kVga[i]);
                    const int dg = qGreen(c) - qGreen(kVga[i]);
                    const int db = qBlue(c) - qBlue(kVga[i]);
                    const int d = 3 * dr * dr + 4 * dg * dg + 2 * db * db;
                    if (d < bestDistance) {
                        bestDistance = d;
                        best = i;
                    }
                }
            }
            out.setPixel(x, y, uint(best));
        }
    }
    return out;
}

namespace {

void put16(QByteArray &b, int v)
{
    b.append(char(v & 0xff)).append(char((v >> 8) & 0xff));
}

void put32(QByteArray &b, qint64 v)
{
    put16(b, int(v & 0xffff));
    put16(b, int((v >> 16) & 0xffff));
}

// One image's entry data: BITMAPINFOHEADER, palette, XOR bitmap, AND mask,
// both bitmaps bottom-up with rows padded to 32 bits.
QByteArray dibOf(const QImage &icon)
{
    const int w = icon.width();
    const int h = icon.height();
    const int xorStride = ((w * 4 + 31) / 32) * 4;
    const int andStride = ((w + 31) / 32) * 4;

    QByteArray b;
    put32(b, 40);
    put32(b, w);
    put32(b, 2 * h);  // XOR and AND bitmaps stacked
    put16(b, 1);
    put16(b, 4);
    put32(b, 0);  // BI_RGB
    put32(b, (xorStride + andStride) * h);
    put32(b, 0);
    put32(b, 0);
    put32(b, 16);
    put32(b, 0);
    for (QRgb c : kVga)
        b.append(char(qBlue(c))).append(char(qGreen(c))).append(char(qRed(c))).append('\0');

    for (int y = h - 1; y >= 0; --y) {
        QByteArray row(xorStride, '\0');
        for (int x = 0; x < w; ++x) {
            const int i = icon.pixelIndex(x, y);
            const int nibble = i == kTransparent ? 0 : i;
            row[x / 2] = char(row[x / 2] | (x % 2 ? nibble : nibble << 4));
        }
        b.append(row);
    }
    for (int y = h - 1; y >= 0; --y) {
        QByteArray row(andStride, '\0');
        for (int x = 0; x < w; ++x) {
            if (icon.pixelIndex(x, y) == kTransparent)
                row[x / 8] = char(row[x / 8] | (0x80 >> (x % 8)));
        }
        b.append(row);
    }
    return b;
}

} // namespace

QByteArray icoFile(const QList<QImage> &icons)
{
    QByteArray b;
    put16(b, 0);
    put16(b, 1);  // icon, not cursor
    put16(b, int(icons.size()));
    QList<QByteArray> dibs;
    for (const QImage &icon : icons)
        dibs << dibOf(icon);
    qint64 offset = 6 + 16 * icons.size();
    for (qsizetype i = 0; i < icons.size(); ++i) {
        b.append(char(icons[i].width())).append(char(icons[i].height()));
        b.append(char(16)).append('\0');
        put16(b, 1);
        put16(b, 4);
        put32(b, dibs[i].size());
        put32(b, offset);
        offset += dibs[i].size();
    }
    for (const QByteArray &dib : dibs)
        b.append(dib);
    return b;
}
