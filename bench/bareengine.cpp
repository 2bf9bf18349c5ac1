// A bare Qt WebEngine view window: the reference for start-up and, with --load,
// for how long a page takes from load() to loadFinished.
//
//   velt_bench_bareengine                       show a view of about:blank, screen-sized
//   velt_bench_bareengine --load URL --count N  load URL once to warm up, then N times,
//                                               timed, in a view of the main window's
//                                               page area size

#include "loadloop.h"

#include "form1layout.h"

#include <QApplication>
#include <QCommandLineParser>
#include <QScreen>
#include <QWebEngineView>

int main(int argc, char *argv[])
{
    QCoreApplication::setAttribute(Qt::AA_ShareOpenGLContexts);
    QApplication app(argc, argv);
    QCommandLineParser parser;
    const QCommandLineOption load(QStringLiteral("load"), QStringLiteral("Page to load."),
                                  QStringLiteral("url"));
    const QCommandLineOption count(QStringLiteral("count"), QStringLiteral("Timed loads."),
                                   QStringLiteral("n"), QStringLiteral("10"));
    parser.addOptions({load, count});
    parser.process(app);

    QWebEngineView view;
    view.setWindowTitle(QStringLiteral("Bare engine view"));
    if (!parser.isSet(load)) {
        // Start-up: as large as a maximized window, but not maximized: the view's
        // window is made again when the engine's surface arrives, and Qt 6.4 then
        // leaves a maximized one unmapped.
        view.setUrl(QUrl(QStringLiteral("about:blank")));
        view.resize(QGuiApplication::primaryScreen()->availableGeometry().size());
        view.show();
        return app.exec();
    }

    // Loads: a page laid out in the page area's size, like the main window's engine.
    view.resize(toPixels(Form1Layout::kEngine).size());
    view.show();
    LoadLoop loop(QUrl(parser.value(load)), parser.value(count).toInt(),
                  [&view](const QUrl &url) { view.load(url); });
    loop.setView(&view);
    QObject::connect(&view, &QWebEngineView::loadFinished, &loop,
                     [&loop](bool ok) { loop.finished(ok); });
    loop.begin();
    return app.exec();
}
