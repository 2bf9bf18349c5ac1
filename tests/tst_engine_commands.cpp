#include "clickarea.h"
#include "enginetestmain.h"
#include "engine/qtwebbrowser.h"
#include "fakes/fakeplatform.h"
#include "form1.h"
#include "httpserver.h"

#include <QComboBox>
#include <QFile>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>

// The command icons that reach the real engine: Open, Work online, Work offline.
class tst_EngineCommands : public QObject
{
    Q_OBJECT
    HttpServer m_server;
    FakePlatform m_platform;
    QtWebBrowser *m_engine = nullptr;
    Form1 *m_form = nullptr;

    void click(const char *area) { emit m_form->area(area)->clicked(); }

private slots:
    void initTestCase()
    {
        QVERIFY(m_server.isListening());
        m_server.setPage("/page.html", "<html><head><title>Net</title></head><body>n</body></html>");
        m_server.setPage("/picture.png", QByteArray(64, 'x'), "image/png");
        m_server.setPage("/frame.html", "<html><body>frame</body></html>");
        m_server.setPage("/style.css", "body { color: red; }", "text/css");
    }
    void init()
    {
        m_platform.calls.clear();
        m_engine = new QtWebBrowser;
        m_form = new Form1(m_engine, m_platform);
        m_form->Form_Load();
        QVERIFY(QTest::qWaitForWindowExposed(m_form));
    }
    void cleanup() { delete m_form; }

    void offlineSendsNoRequest_data()
    {
        QTest::addColumn<QString>("html"); // "" opens the page itself, else a page in memory asking for it
        QTest::addColumn<QString>("requested");
        QTest::newRow("page") << "" << "/page.html";
        QTest::newRow("picture of a page") << "<img src='%1'>" << "/picture.png";
        QTest::newRow("frame of a page") << "<iframe src='%1'></iframe>" << "/frame.html";
        QTest::newRow("style sheet of a page") << "<link rel='stylesheet' href='%1'>s" << "/style.css";
    }
    void offlineSendsNoRequest()
    {
        QFETCH(QString, html);
        QFETCH(QString, requested);
        const QString url = m_server.url(requested).toString();
        const QString target = html.isEmpty() ? url : "data:text/html," + html.arg(url);
        const int before = m_server.hits(requested);
        for (const bool offline : {true, false}) {
            click(offline ? "Label11" : "Label10");
            QCOMPARE(m_engine->isOffline(), offline);
            QSignalSpy completed(m_engine, &WebBrowser::DownloadComplete);
            QVERIFY(m_engine->Navigate(target));
            // A load ends only after all its parts came or failed, so any request has reached the server.
            QVERIFY(QTest::qWaitFor([&] { return completed.count() > 0 && !m_engine->Busy(); }, 15000));
            QTRY_COMPARE(m_server.hits(requested), before + (offline ? 0 : 1));
        }
    }

    void openShowsTheChosenFile_data()
    {
        QTest::addColumn<QByteArray>("mode");
        QTest::newRow("online") << QByteArray("Label10");
        QTest::newRow("offline: local files still open") << QByteArray("Label11");
    }
    void openShowsTheChosenFile()
    {
        QFETCH(QByteArray, mode);
        QTemporaryDir dir;
        QFile file(dir.filePath(QStringLiteral("chosen.html")));
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write("<html><head><title>Chosen page</title></head><body>c</body></html>");
        file.close();
        m_platform.fileToOpen = file.fileName();
        click(mode.constData());
        m_form->cboAddress->setEditText(QStringLiteral("typed"));

        click("Label8");
        QCOMPARE(m_platform.calls, QStringList{"chooseFileToOpen"});
        // The command itself leaves the box alone; the engine's completion event fills it.
        QCOMPARE(m_form->cboAddress->currentText(), QStringLiteral("typed"));
        QTRY_COMPARE(m_form->cboAddress->currentText(), QUrl::fromLocalFile(file.fileName()).toString());
        QTRY_VERIFY(!m_engine->Busy());
        QCOMPARE(m_engine->LocationName(), QStringLiteral("Chosen page"));
        QCOMPARE(m_form->windowTitle(), QStringLiteral("Ovo")); // the watcher was not started
    }
};

VELT_ENGINE_TEST_MAIN(tst_EngineCommands)
#include "tst_engine_commands.moc"
