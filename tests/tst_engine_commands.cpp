#include "clickarea.h"
#include "enginetestmain.h"
#include "engine/qtwebbrowser.h"
#include "fakes/fakeplatform.h"
#include "form1.h"
#include "httpserver.h"

#include <QComboBox>
#include <QFile>
#include <QLineEdit>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

// The command icons that reach the real engine: Open, Work online, Work offline.
class tst_EngineCommands : public QObject
{
    Q_OBJECT
private slots:
    void initTestCase();
    void init();
    void cleanup();

    void offlineSendsNoRequest_data();
    void offlineSendsNoRequest();
    void openShowsTheChosenFile_data();
    void openShowsTheChosenFile();
    void openCancelledChangesNothing();

private:
    QString address(const QString &path) const { return m_server.url(path).toString(); }
    QString writePage(const QString &name, const QByteArray &html);
    void click(const char *area);
    bool loadEnds(QSignalSpy &completed);

    HttpServer m_server;
    QTemporaryDir m_dir;
    FakePlatform m_platform;
    QtWebBrowser *m_engine = nullptr;
    Form1 *m_form = nullptr;
};

void tst_EngineCommands::initTestCase()
{
    QVERIFY(m_server.isListening());
    QVERIFY(m_dir.isValid());
    m_server.setPage("/a.html", "<html><head><title>Page A</title></head><body>a</body></html>");
    m_server.setPage("/offline.html", "<html><head><title>Net</title></head><body>n</body></html>");
    m_server.setPage("/picture.png", QByteArray(64, 'x'), "image/png");
    m_server.setPage("/frame.html", "<html><body>frame</body></html>");
    m_server.setPage("/style.css", "body { color: red; }", "text/css");
}

void tst_EngineCommands::init()
{
    m_engine = new QtWebBrowser;
    m_form = new Form1(m_engine, m_platform);
    m_form->Form_Load();
    QVERIFY(QTest::qWaitForWindowExposed(m_form));
}

void tst_EngineCommands::cleanup()
{
    delete m_form;
    m_platform.calls.clear();
}

QString tst_EngineCommands::writePage(const QString &name, const QByteArray &html)
{
    const QString path = m_dir.filePath(name);
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly) || file.write(html) != html.size())
        return {};
    return path;
}

void tst_EngineCommands::click(const char *area)
{
    const QPoint at = m_form->area(area)->geometry().center();
    QCOMPARE(m_form->childAt(at), static_cast<QWidget *>(m_form->area(area)));
    QTest::mouseClick(m_form->windowHandle(), Qt::LeftButton, {}, at);
}

// The load under way has ended. A page ends its load only after all its parts
// have come or failed, so a request that was made has reached the server by then.
bool tst_EngineCommands::loadEnds(QSignalSpy &completed)
{
    return QTest::qWaitFor([&] { return completed.count() > 0 && !m_engine->Busy(); }, 15000);
}

void tst_EngineCommands::offlineSendsNoRequest_data()
{
    QTest::addColumn<QString>("target");    // the address opened
    QTest::addColumn<QString>("requested"); // the path the server must not see while offline

    // Pages held in memory may load parts from the network (local files may not at
    // all), so they show whether the parts of a page are held back too.
    const QString base = address(QString());
    const auto inMemory = [](const QString &html) { return QStringLiteral("data:text/html,") + html; };
    QTest::newRow("page") << address("/offline.html") << "/offline.html";
    QTest::newRow("picture of a page")
            << inMemory(QStringLiteral("<img src='%1/picture.png'>").arg(base)) << "/picture.png";
    QTest::newRow("frame of a page")
            << inMemory(QStringLiteral("<iframe src='%1/frame.html'></iframe>").arg(base))
            << "/frame.html";
    QTest::newRow("style sheet of a page")
            << inMemory(QStringLiteral("<link rel='stylesheet' href='%1/style.css'>s").arg(base))
            << "/style.css";
}

void tst_EngineCommands::offlineSendsNoRequest()
{
    QFETCH(QString, target);
    QFETCH(QString, requested);
    const int before = m_server.hits(requested);

    click("Label11");
    QVERIFY(m_engine->isOffline());
    {
        QSignalSpy completed(m_engine, &WebBrowser::DownloadComplete);
        QVERIFY(m_engine->Navigate(target));
        QVERIFY(loadEnds(completed));
        QCOMPARE(m_server.hits(requested), before);
    }

    click("Label10");
    QVERIFY(!m_engine->isOffline());
    {
        QSignalSpy completed(m_engine, &WebBrowser::DownloadComplete);
        QVERIFY(m_engine->Navigate(target));
        QVERIFY(loadEnds(completed));
        QTRY_COMPARE(m_server.hits(requested), before + 1);
    }
}

void tst_EngineCommands::openShowsTheChosenFile_data()
{
    QTest::addColumn<QByteArray>("mode");
    QTest::newRow("online") << QByteArray("Label10");
    QTest::newRow("offline: local files still open") << QByteArray("Label11");
}

void tst_EngineCommands::openShowsTheChosenFile()
{
    QFETCH(QByteArray, mode);
    click(mode.constData());
    const QString path = writePage(QStringLiteral("chosen.html"),
                                   "<html><head><title>Chosen page</title></head><body>c</body></html>");
    QVERIFY(!path.isEmpty());
    m_platform.fileToOpen = path;
    m_form->cboAddress->setEditText(QStringLiteral("typed"));

    click("Label8");
    QCOMPARE(m_platform.calls, QStringList{"chooseFileToOpen"});
    // The command itself leaves the box alone; the engine's completion event fills it.
    QCOMPARE(m_form->cboAddress->currentText(), QStringLiteral("typed"));
    QTRY_COMPARE(m_form->cboAddress->currentText(), QUrl::fromLocalFile(path).toString());
    QTRY_VERIFY(!m_engine->Busy());
    QCOMPARE(m_engine->LocationName(), QStringLiteral("Chosen page"));
    QCOMPARE(m_form->cboAddress->count(), 0);
    QCOMPARE(m_form->windowTitle(), QStringLiteral("Ovo")); // the watcher was not started
}

void tst_EngineCommands::openCancelledChangesNothing()
{
    QSignalSpy completed(m_engine, &WebBrowser::DownloadComplete);
    QVERIFY(m_engine->Navigate(address("/a.html")));
    QVERIFY(loadEnds(completed));
    const int requests = m_server.totalHits();
    const int downloads = completed.count();

    m_platform.fileToOpen = QString();
    click("Label8");
    QVERIFY(!m_engine->Busy());
    QCOMPARE(m_engine->LocationURL(), address("/a.html"));

    // A reload afterwards is the only request and the only completed download.
    QVERIFY(m_engine->Refresh());
    QTRY_COMPARE(m_server.totalHits(), requests + 1);
    QTRY_VERIFY(!m_engine->Busy());
    QCOMPARE(completed.count(), downloads + 1);
    QCOMPARE(m_engine->LocationURL(), address("/a.html"));
}

VELT_ENGINE_TEST_MAIN(tst_EngineCommands)
#include "tst_engine_commands.moc"
