#include "engine/engineprocess.h"
#include "engine/qtwebbrowser.h"
#include "fakes/fakepageservices.h"
#include "fakes/fakeplatform.h"
#include "form1.h"
#include "httpserver.h"
#include "xdriver.h"
#include "xsession.h"

#include <QApplication>
#include <QScreen>
#include <QSignalSpy>
#include <QWebEngineView>

// Full screen on a real X server with a window manager: a page enters it on a
// user's click and leaves by Esc or by itself; the main window is as it was.
class tst_FullScreen : public QObject
{
    Q_OBJECT
private slots:
    void initTestCase();
    void enterAndLeave_data();
    void enterAndLeave();

private:
    HttpServer m_server;
    FakePlatform m_platform;
    FakePageServices m_services;
};

void tst_FullScreen::initTestCase()
{
    m_server.setPage("/video.html",
                     "<html><head><title>normal</title></head><body style='margin:0'>"
                     "<button style='width:100%;height:100vh'"
                     " onclick='document.documentElement.requestFullscreen()'>play</button><script>"
                     "document.onfullscreenchange = () =>"
                     " document.title = document.fullscreenElement ? 'full' : 'normal';"
                     "</script></body></html>");
}

void tst_FullScreen::enterAndLeave_data()
{
    QTest::addColumn<bool>("byEsc");
    QTest::newRow("Esc") << true;
    QTest::newRow("the page's own exit") << false;
}

void tst_FullScreen::enterAndLeave()
{
    QFETCH(bool, byEsc);
    auto *engine = new QtWebBrowser(nullptr, &m_services);
    Form1 form(engine, m_platform);
    form.Form_Load();
    QVERIFY(QTest::qWaitForWindowExposed(&form));
    QSignalSpy loaded(engine, &WebBrowser::DownloadComplete);
    QVERIFY(engine->Navigate(m_server.url("/video.html").toString()));
    QVERIFY(loaded.wait(20000));
    QWebEngineView *view = engine->findChild<QWebEngineView *>();
    QWebEnginePage *page = view->page();
    const auto layout = [&form] {
        QStringList rows{QStringLiteral("Form1 %1").arg(QVariant(form.geometry()).toString())};
        for (const QWidget *w : form.findChildren<QWidget *>())
            if (!w->objectName().isEmpty())
                rows << w->objectName() + " " + QVariant(w->geometry()).toString() + " "
                                + QString::number(w->isVisible());
        return rows;
    };
    QTest::qWait(500); // the window manager's last word on the main window
    const QStringList before = layout();
    const auto fullScreen = [] {
        for (QWidget *w : QApplication::topLevelWidgets())
            if (w->objectName() == "fullScreenPage" && w->isVisible())
                return w;
        return static_cast<QWidget *>(nullptr);
    };

    XDriver x(qEnvironmentVariable("DISPLAY"));
    const QPoint button = engine->mapToGlobal(engine->rect().center());
    QVERIFY(x.click(button.x(), button.y()));
    QTRY_COMPARE_WITH_TIMEOUT(page->title(), "full", 10000);
    QTRY_VERIFY(fullScreen() && fullScreen()->geometry() == QApplication::primaryScreen()->geometry());
    QTRY_VERIFY(fullScreen()->isActiveWindow());
    QCOMPARE(QWebEngineView::forPage(page)->window(), fullScreen());

    if (byEsc)
        QVERIFY(x.key("Escape"));
    else
        page->runJavaScript("document.exitFullscreen()");
    QTRY_COMPARE(page->title(), "normal");
    QTRY_VERIFY(!fullScreen());
    QCOMPARE(QWebEngineView::forPage(page), view);
    QCOMPARE(view->geometry(), engine->rect());
    QTRY_COMPARE(layout(), before);
}

int main(int argc, char *argv[])
{
    // The test runs itself again on a virtual X server of its own.
    if (qEnvironmentVariableIsEmpty("VELT_OWN_DISPLAY")) {
        QCoreApplication core(argc, argv);
        XSession x;
        QString why;
        if (!x.start(&why)) {
            qCritical("%s", qPrintable(why));
            return 1;
        }
        QProcessEnvironment env = x.environment();
        env.insert("VELT_OWN_DISPLAY", "1");
        env.insert("QT_QPA_PLATFORM", "xcb");
        QProcess self;
        self.setProcessEnvironment(env);
        self.setProcessChannelMode(QProcess::ForwardedChannels);
        self.start(QCoreApplication::applicationFilePath(), QCoreApplication::arguments().mid(1));
        self.waitForFinished(-1);
        return self.exitStatus() == QProcess::NormalExit ? self.exitCode() : 1;
    }
    prepareEngineProcess();
    QApplication app(argc, argv);
    tst_FullScreen test;
    QTEST_SET_MAIN_SOURCE_PATH
    return QTest::qExec(&test, argc, argv);
}

#include "tst_fullscreen.moc"
