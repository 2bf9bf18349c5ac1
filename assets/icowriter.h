#pragma once

#include <QByteArray>
#include <QColor>
#include <QImage>
#include <QList>

// The standard VGA palette that the icons are painted in.
namespace Vga {
inline const QColor Black(0xff000000), Maroon(0xff800000), Green(0xff008000), Olive(0xff808000),
    Navy(0xff000080), Purple(0xff800080), Teal(0xff008080), Silver(0xffc0c0c0), Grey(0xff808080),
    Red(0xffff0000), Lime(0xff00ff00), Yellow(0xffffff00), Blue(0xff0000ff), Magenta(0xffff00ff),
    Cyan(0xff00ffff), White(0xffffffff);
}

// The image in the 16 VGA colours plus transparency, 8 bits a pixel.
QImage quantise(const QImage &drawn);
// An .ico file holding the quantised images at 4 bits a pixel.
QByteArray icoFile(const QList<QImage> &icons);
