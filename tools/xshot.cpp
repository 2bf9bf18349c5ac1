// Saves a picture of the X screen, or of a rectangle of it:
//     xshot <file.png> [x y width height]
// Used to take the README's screenshots under a virtual display (scripts/screenshots.sh).
#include <QGuiApplication>
#include <QPixmap>
#include <QScreen>

int main(int argc, char *argv[])
{
    QGuiApplication app(argc, argv);
    if (argc != 2 && argc != 6)
        return 2;
    int rect[4] = {0, 0, -1, -1};
    for (int i = 0; i < 4 && argc == 6; ++i)
        rect[i] = QByteArray(argv[i + 2]).toInt();
    const QPixmap shot = QGuiApplication::primaryScreen()->grabWindow(0, rect[0], rect[1], rect[2], rect[3]);
    return shot.save(QString::fromLocal8Bit(argv[1])) ? 0 : 1;
}
