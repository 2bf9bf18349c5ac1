// Opens the time window on its own, beside a stand-in for the main window, so
// it can be looked at and its hand timed before the main window opens it.
//
//   velt_timewin_demo [--rate] [--back-after S] [--quit-after S] [--screenshot FILE]
//
// --rate prints, once a second, how many hand ticks were delivered in that second
// and whether the time window was visible; --back-after presses Back after S seconds;
// --screenshot saves the screen a second and a half after start.

#include "timewin/form3.h"

#include <QApplication>
#include <QCommandLineParser>
#include <QElapsedTimer>
#include <QPushButton>
#include <QScreen>
#include <QTimer>
#include <QVBoxLayout>

#include <cstdio>

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    QCommandLineParser parser;
    const QCommandLineOption rate(QStringLiteral("rate"), QStringLiteral("Print hand ticks per second."));
    const QCommandLineOption backAfter(QStringLiteral("back-after"),
                                       QStringLiteral("Press Back after <s> seconds."),
                                       QStringLiteral("s"));
    const QCommandLineOption quitAfter(QStringLiteral("quit-after"),
                                       QStringLiteral("Quit after <s> seconds."), QStringLiteral("s"));
    const QCommandLineOption screenshot(QStringLiteral("screenshot"),
                                        QStringLiteral("Save the screen to <file>."),
                                        QStringLiteral("file"));
    parser.addOptions({rate, backAfter, quitAfter, screenshot});
    parser.addHelpOption();
    parser.process(app);

    QWidget mainWindow;
    mainWindow.setWindowTitle(QStringLiteral("Main window stand-in"));
    auto *open = new QPushButton(QStringLiteral("Time Zone"), &mainWindow);
    auto *layout = new QVBoxLayout(&mainWindow);
    layout->addWidget(open);
    mainWindow.resize(240, 80);

    QPointer<Form3> timeWindow;
    long ticks = 0;
    auto openTimeWindow = [&] {
        const bool fresh = timeWindow.isNull();
        showTimeWindow(timeWindow, &mainWindow);
        if (fresh) {
            auto *timer2 = timeWindow->findChild<QTimer *>(QStringLiteral("Timer2"));
            QObject::connect(timer2, &QTimer::timeout, &app, [&ticks] { ++ticks; });
        }
    };
    QObject::connect(open, &QPushButton::clicked, &app, openTimeWindow);

    QTimer report;
    QElapsedTimer sinceReport;
    if (parser.isSet(rate)) {
        QObject::connect(&report, &QTimer::timeout, &app, [&] {
            const double seconds = sinceReport.restart() / 1000.0;
            std::printf("%.0f ticks/s, window %s\n", ticks / seconds,
                        timeWindow && timeWindow->isVisible() ? "shown" : "hidden");
            std::fflush(stdout);
            ticks = 0;
        });
        sinceReport.start();
        report.start(1000);
    }
    if (parser.isSet(backAfter)) {
        QTimer::singleShot(int(parser.value(backAfter).toDouble() * 1000), &app, [&] {
            if (timeWindow)
                timeWindow->Command1_Click();
        });
    }
    if (parser.isSet(quitAfter))
        QTimer::singleShot(int(parser.value(quitAfter).toDouble() * 1000), &app, &QApplication::quit);

    if (parser.isSet(screenshot)) {
        QTimer::singleShot(1500, &app, [&] {
            QGuiApplication::primaryScreen()->grabWindow(0).save(parser.value(screenshot));
        });
    }

    mainWindow.show();
    openTimeWindow();
    return app.exec();
}
