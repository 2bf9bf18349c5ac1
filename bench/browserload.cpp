// How long a typed address takes through the main window with the real engine:
// from the Enter key in the address box to the engine's DownloadComplete.
//
//   velt_bench_browserload --load URL --count N [--action enter|click|navigate]
//       enter: the address box has the focus, Enter is pressed (the clock starts)
//              and let go 100 ms later, as a finger does
//       click: Enter pressed and let go at once
//       navigate: no key; the main window's engine is told to Navigate directly
//   velt_bench_browserload --load URL --count N --engine-only [--maximized]
//       the engine control alone in a window of the page area's size, Navigate() to
//       DownloadComplete: what the main window adds to the engine, and what the
//       engine adds to a bare view; with --maximized, in a maximized window at the
//       page area's place, as large as the main window but with nothing else in it

#include "loadloop.h"

#include "engine/qt/qtwebbrowser.h"
#include "form1.h"
#include "form1layout.h"
#include "platform.h"

#include <QApplication>
#include <QComboBox>
#include <QLineEdit>
#include <QWebEngineView>

#include <memory>
#include <QCommandLineParser>
#include <QTest>
#include <QTimer>

namespace {

// No dialogs, no programs, no exit: nothing the loads would reach.
class QuietPlatform : public Platform
{
public:
    QString chooseFileToOpen(QWidget *) override { return {}; }
    bool startProgram(const QString &) override { return false; }
    void endProgram() override {}
    void showMessage(QWidget *, const QString &text) override
    {
        std::fprintf(stderr, "message: %s\n", qPrintable(text));
    }
};

// How long a finger holds Enter down.
constexpr int kKeyHoldMs = 100;

} // namespace

int main(int argc, char *argv[])
{
    // What the program's own start does for the engine (sandbox aside, which the
    // benchmark sets in the environment when it runs as root).
    QCoreApplication::setAttribute(Qt::AA_ShareOpenGLContexts);
    qputenv("QT_WIDGETS_RHI", "1");
    QApplication app(argc, argv);
    QCommandLineParser parser;
    const QCommandLineOption load(QStringLiteral("load"), QStringLiteral("Page to load."),
                                  QStringLiteral("url"));
    const QCommandLineOption count(QStringLiteral("count"), QStringLiteral("Timed loads."),
                                   QStringLiteral("n"), QStringLiteral("10"));
    const QCommandLineOption engineOnly(QStringLiteral("engine-only"),
                                        QStringLiteral("Time the engine control alone."));
    const QCommandLineOption action(QStringLiteral("action"),
                                    QStringLiteral("enter (the default), click or navigate."),
                                    QStringLiteral("how"), QStringLiteral("enter"));
    const QCommandLineOption maximized(QStringLiteral("maximized"),
                                       QStringLiteral("With --engine-only: a maximized window."));
    parser.addOptions({load, count, engineOnly, action, maximized});
    parser.process(app);
    if (!parser.isSet(load))
        parser.showHelp(2);

    QUrl expected;
    QuietPlatform platform;
    std::unique_ptr<QWidget> window;
    WebBrowser *engine = nullptr;
    std::function<void(const QUrl &)> start;
    std::function<void(const QUrl &)> prepare;
    if (parser.isSet(engineOnly)) {
        window = std::make_unique<QWidget>();
        engine = new QtWebBrowser(window.get());
        if (parser.isSet(maximized)) {
            engine->setGeometry(toPixels(Form1Layout::kEngine));
            window->showMaximized();
        } else {
            window->resize(toPixels(Form1Layout::kEngine).size());
            engine->setGeometry(window->rect());
            window->show();
        }
        start = [engine](const QUrl &url) { engine->Navigate(url.toString()); };
    } else {
        auto *form = new Form1(new QtWebBrowser, platform);
        window.reset(form);
        form->Form_Load();
        engine = form->brwWebBrowser;
        // The user has clicked into the address box and typed the address, before
        // the pause; the timed part starts with Enter.
        form->activateWindow();
        form->cboAddress->setFocus();
        prepare = [form](const QUrl &url) { form->cboAddress->setEditText(url.toString()); };
        const QString how = parser.value(action);
        if (how == u"click") {
            start = [form](const QUrl &) { QTest::keyClick(form->cboAddress, Qt::Key_Return); };
        } else if (how == u"navigate") {
            start = [form](const QUrl &url) { form->brwWebBrowser->Navigate(url.toString()); };
        } else {
            start = [form](const QUrl &) {
                QTest::keyPress(form->cboAddress, Qt::Key_Return);
                QTimer::singleShot(kKeyHoldMs, form, [form] {
                    QTest::keyRelease(form->cboAddress, Qt::Key_Return);
                });
            };
        }
    }

    LoadLoop loop(QUrl(parser.value(load)), parser.value(count).toInt(),
                  [&start, &expected](const QUrl &url) {
                      expected = url;
                      start(url);
                  },
                  prepare);
    // The engine's view exists by the end of the warm-up load, which is not timed.
    QObject::connect(
            engine, &WebBrowser::DownloadComplete, &loop,
            [&] { loop.setView(engine->findChild<QWebEngineView *>()); },
            Qt::SingleShotConnection);
    QObject::connect(engine, &WebBrowser::DownloadComplete, &loop,
                     [&] { loop.finished(engine->LocationURL() == expected.toString()); });
    loop.begin();
    return app.exec();
}
