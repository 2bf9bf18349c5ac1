// Draws the main window's picture band and the three window icons.
//
//     velt_makeart <directory>
//
// writes band.jpg, its twice-as-dense twin band@2x.jpg, form1.ico, form2.ico and
// form3.ico (each also with a 64 x 64 drawing for 2x screens) into <directory>,
// and the program's icon for desktops as icons/<size>.png, then reads every file
// back through Qt's own image readers and fails if one of them does not come back
// as drawn.

#include "drawing.h"
#include "icowriter.h"

#include <QByteArray>
#include <QDir>
#include <QFile>
#include <QFontInfo>
#include <QGuiApplication>
#include <QImageReader>
#include <QList>
#include <QString>

#include <cstdio>
#include <utility>

namespace {
// Reading back.

bool fail(const QString &why)
{
    std::fprintf(stderr, "velt_makeart: %s\n", qPrintable(why));
    return false;
}

bool checkBand(const QString &path, int scale)
{
    QImageReader reader(path);
    if (reader.format() != "jpeg")
        return fail(path + QStringLiteral(": not read as JPEG"));
    const QImage read = reader.read();
    if (read.size() != kBandSize * scale || read.deviceIndependentSize() != QSizeF(kBandSize))
        return fail(path + QStringLiteral(": read back at %1 x %2").arg(read.width()).arg(read.height()));
    return true;
}

bool checkIcon(const QString &path, const QList<QImage> &written)
{
    QImageReader reader(path);
    if (reader.format() != "ico")
        return fail(path + QStringLiteral(": not read as an icon"));
    if (reader.imageCount() != written.size())
        return fail(path + QStringLiteral(": %1 images read back").arg(reader.imageCount()));
    for (qsizetype i = 0; i < written.size(); ++i) {
        if (i > 0 && !reader.jumpToNextImage())
            return fail(path + QStringLiteral(": image %1 missing").arg(i));
        const QImage read = reader.read().convertToFormat(QImage::Format_ARGB32);
        const QImage want = written[i].convertToFormat(QImage::Format_ARGB32);
        if (read.size() != want.size())
            return fail(path + QStringLiteral(": image %1 is %2 x %3").arg(i).arg(read.width()).arg(read.height()));
        for (int y = 0; y < want.height(); ++y) {
            for (int x = 0; x < want.width(); ++x) {
                const QRgb a = read.pixel(x, y);
                const QRgb b = want.pixel(x, y);
                const bool same = qAlpha(b) == 0 ? qAlpha(a) == 0 : a == b;
                if (!same)
                    return fail(path + QStringLiteral(": image %1 differs at %2,%3").arg(i).arg(x).arg(y));
            }
        }
    }
    return true;
}

bool checkPng(const QString &path, const QImage &written)
{
    QImageReader reader(path);
    if (reader.format() != "png")
        return fail(path + QStringLiteral(": not read as PNG"));
    if (reader.read().convertToFormat(QImage::Format_ARGB32) != written.convertToFormat(QImage::Format_ARGB32))
        return fail(path + QStringLiteral(": does not read back as drawn"));
    return true;
}

bool writeFile(const QString &path, const QByteArray &data)
{
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly) || file.write(data) != data.size())
        return fail(path + QStringLiteral(": ") + file.errorString());
    return true;
}
} // namespace

int main(int argc, char **argv)
{
    // Nothing is shown; drawing must not need a display.
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);

    if (argc != 2) {
        std::fprintf(stderr, "usage: velt_makeart <directory>\n");
        return 2;
    }
    const QDir dir(QString::fromLocal8Bit(argv[1]));
    if (!dir.exists()) {
        fail(dir.path() + QStringLiteral(": no such directory"));
        return 1;
    }
    const QFontInfo font(bandFont(12));
    if (font.family() != QLatin1String("DejaVu Sans"))
        std::fprintf(stderr, "velt_makeart: warning: DejaVu Sans not found, drawing with %s\n",
                     qPrintable(font.family()));

    // The 2x twin's name is the one Qt reads as "device pixel ratio 2".
    const QList<std::pair<QString, int>> bands{{QStringLiteral("band.jpg"), 1},
                                               {QStringLiteral("band@2x.jpg"), 2}};
    for (const auto &[name, scale] : bands) {
        if (!drawBand(scale).save(dir.filePath(name), "JPG", 90)) {
            fail(dir.filePath(name) + QStringLiteral(": could not write"));
            return 1;
        }
    }

    const QList<std::pair<QString, QList<QImage>>> icons{
        {QStringLiteral("form1.ico"), {quantise(drawGlobeIcon()), quantise(drawGlobeIcon(64))}},
        {QStringLiteral("form2.ico"),
         {quantise(drawInfoIcon(32)), quantise(drawInfoIcon(16)), quantise(drawInfoIcon(64))}},
        {QStringLiteral("form3.ico"), {quantise(drawLandscapeIcon()), quantise(drawLandscapeIcon(64))}},
    };
    for (const auto &[name, images] : icons) {
        if (!writeFile(dir.filePath(name), icoFile(images)))
            return 1;
    }

    // The sizes a desktop's icon theme looks for.
    QList<std::pair<QString, QImage>> desktopIcons;
    if (!dir.mkpath(QStringLiteral("icons"))) {
        fail(dir.filePath(QStringLiteral("icons")) + QStringLiteral(": could not make"));
        return 1;
    }
    for (int size : {16, 22, 24, 32, 48, 64, 128, 256}) {
        desktopIcons.append({dir.filePath(QStringLiteral("icons/%1.png").arg(size)), drawGlobeIcon(size)});
        if (!desktopIcons.last().second.save(desktopIcons.last().first, "PNG")) {
            fail(desktopIcons.last().first + QStringLiteral(": could not write"));
            return 1;
        }
    }

    bool ok = true;
    for (const auto &[name, scale] : bands)
        ok = checkBand(dir.filePath(name), scale) && ok;
    for (const auto &[path, image] : desktopIcons)
        ok = checkPng(path, image) && ok;
    for (const auto &[name, images] : icons)
        ok = checkIcon(dir.filePath(name), images) && ok;
    return ok ? 0 : 1;
}
