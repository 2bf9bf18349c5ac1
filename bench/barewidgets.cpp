// The floor for start-up: a bare Qt Widgets window, borderless and maximized
// like the browser's main window, with nothing in it.

#include <QApplication>
#include <QWidget>

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    QWidget window(nullptr, Qt::Window | Qt::FramelessWindowHint);
    window.setWindowTitle(QStringLiteral("Bare widgets"));
    window.showMaximized();
    return app.exec();
}
