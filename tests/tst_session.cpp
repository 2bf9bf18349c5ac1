#include "httpserver.h"
#include "processtree.h"
#include "xdriver.h"
#include "xsession.h"

#include <QDirIterator>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>

#include <unistd.h>

// The real program on a virtual X server of the test's own, used as a user would:
// it ends cleanly, leaves no engine process behind and writes nothing to disk.
class tst_Session : public QObject
{
    Q_OBJECT
private slots:
    void initTestCase();
    void cleanupTestCase();
    void init();
    void cleanup();

    void exitEndsEverything_data();
    void exitEndsEverything();
    void closingTheMainWindowEndsEverything();
    void nothingIsWrittenUnderHome();
    void unprivilegedUserKeepsTheSandbox();

private:
    // Starts the browser and waits until its window is up and its engine runs.
    bool startBrowser(const QProcessEnvironment &env, const QStringList &wrapper = {});
    QList<qint64> engineHelpers() const;
    void expectGone(const QList<qint64> &helpers);

    // Where the band's click areas are, in pixels of the maximized main window.
    static QPoint centre(int left, int top, int width, int height)
    {
        return QPoint((left + width / 2) / 15, (top + height / 2) / 15);
    }
    const QPoint m_timeZone = centre(5400, 840, 375, 255);
    const QPoint m_about = centre(8520, 880, 780, 255);
    const QPoint m_exit = centre(8040, 840, 255, 255);
    const QPoint m_addressBox = centre(240, 480, 9195, 315);

    XSession m_x;
    std::unique_ptr<XDriver> m_driver;
    std::unique_ptr<QProcess> m_browser;
    HttpServer m_server;
};

void tst_Session::initTestCase()
{
    QString why;
    if (!m_x.start(&why))
        QFAIL(qPrintable(why));
    m_driver = std::make_unique<XDriver>(m_x.display());
    QVERIFY(m_driver->ok());
    QVERIFY(m_server.isListening());
    m_server.setPage("/page.html", "<html><head><title>Served</title></head><body>served</body></html>");
}

void tst_Session::cleanupTestCase()
{
    m_driver.reset();
    m_x.stop();
}

void tst_Session::init()
{
    m_browser = std::make_unique<QProcess>();
}

void tst_Session::cleanup()
{
    if (m_browser->state() != QProcess::NotRunning) {
        m_browser->kill();
        m_browser->waitForFinished(5000);
    }
    m_browser.reset();
}

bool tst_Session::startBrowser(const QProcessEnvironment &env, const QStringList &wrapper)
{
    m_browser->setProcessEnvironment(env);
    if (wrapper.isEmpty())
        m_browser->start(QStringLiteral(VELT_BROWSER_PATH), {});
    else
        m_browser->start(wrapper.first(), wrapper.mid(1) << QStringLiteral(VELT_BROWSER_PATH));
    return m_browser->waitForStarted() && m_driver->waitFor("Ovo")
            && QTest::qWaitFor([this] { return !engineHelpers().isEmpty(); }, 20000);
}

QList<qint64> tst_Session::engineHelpers() const
{
    return engineProcessesOf(m_browser->processId());
}

void tst_Session::expectGone(const QList<qint64> &helpers)
{
    QVERIFY(m_browser->waitForFinished(15000));
    QCOMPARE(m_browser->exitStatus(), QProcess::NormalExit);
    for (qint64 pid : helpers) {
        QVERIFY2(QTest::qWaitFor([pid] { return !QFile::exists(QStringLiteral("/proc/%1").arg(pid)); },
                                 10000),
                 qPrintable(QStringLiteral("engine process %1 outlived the browser").arg(pid)));
    }
}

void tst_Session::exitEndsEverything_data()
{
    QTest::addColumn<bool>("secondaryWindows");
    QTest::newRow("main window alone") << false;
    QTest::newRow("with the time and About windows open") << true;
}

void tst_Session::exitEndsEverything()
{
    QFETCH(bool, secondaryWindows);
    QVERIFY(startBrowser(m_x.environment()));
    if (secondaryWindows) {
        QVERIFY(m_driver->click(m_timeZone.x(), m_timeZone.y()));
        QVERIFY(m_driver->waitFor("Time Zone"));
        QVERIFY(m_driver->click(m_about.x(), m_about.y()));
        QVERIFY(m_driver->waitFor("About Velt Browser"));
    }
    const QList<qint64> helpers = engineHelpers();
    // The main window is maximized over the others; a click on it raises it first.
    QVERIFY(m_driver->click(m_exit.x(), m_exit.y()));
    expectGone(helpers);
    QCOMPARE(m_browser->exitCode(), 0);
    QVERIFY(m_driver->waitGone("Time Zone"));
    QVERIFY(m_driver->waitGone("About Velt Browser"));
}

void tst_Session::closingTheMainWindowEndsEverything()
{
    QVERIFY(startBrowser(m_x.environment()));
    const QList<qint64> helpers = engineHelpers();
    m_driver->close(m_driver->find("Ovo"));
    expectGone(helpers);
    QVERIFY(m_driver->waitGone("Ovo"));
}

void tst_Session::nothingIsWrittenUnderHome()
{
    QTemporaryDir home;
    QTemporaryDir runtime;
    QTemporaryDir pages;
    QVERIFY(home.isValid() && runtime.isValid() && pages.isValid());
    QFile::setPermissions(runtime.path(), QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    QFile page(pages.filePath("local.html"));
    QVERIFY(page.open(QIODevice::WriteOnly));
    page.write("<html><head><title>Local</title></head><body>local page</body></html>");
    page.close();

    QProcessEnvironment env = m_x.environment();
    env.insert("HOME", home.path());
    env.insert("XDG_CONFIG_HOME", home.filePath(".config"));
    env.insert("XDG_CACHE_HOME", home.filePath(".cache"));
    env.insert("XDG_DATA_HOME", home.filePath(".local/share"));
    env.insert("XDG_STATE_HOME", home.filePath(".local/state"));
    env.insert("XDG_RUNTIME_DIR", runtime.path());
    env.remove("DBUS_SESSION_BUS_ADDRESS"); // no session bus: none may be started
    env.remove("QT_LOGGING_RULES");
    QVERIFY(startBrowser(env));

    const int before = m_server.hits("/page.html");
    for (const QString &address : {page.fileName(), m_server.url("/page.html").toString()}) {
        QVERIFY(m_driver->click(m_addressBox.x(), m_addressBox.y()));
        QVERIFY(m_driver->key("ctrl+a"));
        QVERIFY(m_driver->type(address));
        QVERIFY(m_driver->key("Return"));
    }
    QTRY_COMPARE_WITH_TIMEOUT(m_server.hits("/page.html"), before + 1, 20000);

    for (const auto &[point, caption] : {std::pair{m_timeZone, QByteArray("Time Zone")},
                                         std::pair{m_about, QByteArray("About Velt Browser")}}) {
        QVERIFY(m_driver->click(point.x(), point.y()));
        QVERIFY(m_driver->waitFor(caption));
        m_driver->close(m_driver->find(caption));
        QVERIFY(m_driver->waitGone(caption));
    }
    const QList<qint64> helpers = engineHelpers();
    QVERIFY(m_driver->click(m_exit.x(), m_exit.y()));
    expectGone(helpers);

    QStringList written;
    QDirIterator files(home.path(), QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot,
                       QDirIterator::Subdirectories);
    while (files.hasNext())
        written << files.next().mid(home.path().size());
    QVERIFY2(written.isEmpty(), qPrintable("written under HOME: " + written.join(", ")));
    // No session bus was started for any browser on this display.
    QStringList onThisDisplay;
    for (const QString &pid : QDir("/proc").entryList(QDir::Dirs)) {
        QFile environment("/proc/" + pid + "/environ"), name("/proc/" + pid + "/comm");
        if (environment.open(QIODevice::ReadOnly) && name.open(QIODevice::ReadOnly)
            && environment.readAll().split('\0').contains("DISPLAY=" + m_x.display().toLocal8Bit()))
            onThisDisplay << QString(name.readAll().trimmed());
    }
    const QStringList buses = onThisDisplay.filter("dbus");
    QVERIFY2(buses.isEmpty(), qPrintable("still running: " + buses.join(", ")));
    const QByteArray errors = m_browser->readAllStandardError();
    QVERIFY2(!errors.contains("qt.webenginecontext"), errors.constData());
}

void tst_Session::unprivilegedUserKeepsTheSandbox()
{
    if (geteuid() != 0)
        QSKIP("needs root to run the browser as another user");
    const QString setpriv = QStandardPaths::findExecutable("setpriv");
    if (setpriv.isEmpty())
        QSKIP("setpriv is not installed");

    QTemporaryDir home;
    QVERIFY(home.isValid());
    QVERIFY(::chown(home.path().toLocal8Bit().constData(), 65534, 65534) == 0);
    QProcessEnvironment env = m_x.environment();
    env.insert("HOME", home.path());
    env.remove("XDG_RUNTIME_DIR");
    QVERIFY(startBrowser(env, {setpriv, "--reuid=65534", "--regid=65534", "--clear-groups"}));

    // The sandboxed engine still shows pages.
    const int before = m_server.hits("/page.html");
    QVERIFY(m_driver->click(m_addressBox.x(), m_addressBox.y()));
    QVERIFY(m_driver->key("ctrl+a"));
    QVERIFY(m_driver->type(m_server.url("/page.html").toString()));
    QVERIFY(m_driver->key("Return"));
    QTRY_COMPARE_WITH_TIMEOUT(m_server.hits("/page.html"), before + 1, 20000);

    const QList<qint64> helpers = engineHelpers();
    QVERIFY(m_driver->click(m_exit.x(), m_exit.y()));
    expectGone(helpers);
    const QByteArray errors = m_browser->readAllStandardError();
    QVERIFY2(!errors.contains("sandbox is off"), errors.constData());
    QVERIFY2(!errors.contains("--no-sandbox") && !errors.contains("Sandboxing disabled"),
             errors.constData());
}

QTEST_GUILESS_MAIN(tst_Session)
#include "tst_session.moc"
