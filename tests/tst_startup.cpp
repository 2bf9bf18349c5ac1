#include "processtree.h"
#include "xdriver.h"
#include "xsession.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QProcess>
#include <QStandardPaths>
#include <QTest>

#include <unistd.h>

// The real program under its own virtual X server and window manager: how its
// main window comes onto the screen, from the build folder and installed.
class tst_Startup : public QObject
{
    Q_OBJECT
private slots:
    void initTestCase();
    void cleanupTestCase();
    void mainWindowIsMappedOnceAndStaysMaximized_data();
    void mainWindowIsMappedOnceAndStaysMaximized();

private:
    XSession m_x;
};


void tst_Startup::initTestCase()
{
    QString why;
    if (!m_x.start(&why))
        QFAIL(qPrintable(why));
}

void tst_Startup::cleanupTestCase()
{
    m_x.stop();
}

void tst_Startup::mainWindowIsMappedOnceAndStaysMaximized_data()
{
    QTest::addColumn<QString>("program");
    QTest::addColumn<QString>("root"); // where the engine module must come from
    QTest::newRow("build folder") << VELT_BROWSER_PATH << VELT_BUILD_DIR;
    // Installed (by the test set-up), started as the desktop menu starts it.
    QFile entry(VELT_INSTALLED "/share/applications/org.veltbrowser.VeltBrowser.desktop");
    QVERIFY(entry.open(QIODevice::ReadOnly));
    const QString command = QString(entry.readAll()).section("\nExec=", 1).section('\n', 0, 0);
    QTest::newRow("installed") << QStandardPaths::findExecutable(command, {VELT_INSTALLED "/bin"})
                               << VELT_INSTALLED;
}

void tst_Startup::mainWindowIsMappedOnceAndStaysMaximized()
{
    QFETCH(QString, program);
    QFETCH(QString, root);
    MapWatch watch(m_x.display(), "Ovo");
    QVERIFY(watch.ok());

    QProcess browser;
    QProcessEnvironment env = m_x.environment();
    // Logging rules of the user's own are left alone, so the engine's report shows.
    env.insert("QT_LOGGING_RULES", "velt.none.debug=false");
    browser.setProcessEnvironment(env);
    browser.start(program, {});
    QVERIFY(browser.waitForStarted());

    QVERIFY(QTest::qWaitFor([&] { watch.poll(); return watch.maps > 0; }, 20000));
    // The engine starts after the first paint; the window must come through that unharmed.
    QVERIFY(QTest::qWaitFor([&] { return !engineProcessesOf(browser.processId()).isEmpty(); }, 20000));
    QElapsedTimer settle;
    settle.start();
    while (settle.elapsed() < 1500) {
        watch.poll();
        QTest::qWait(20);
    }
    watch.poll();

    QCOMPARE(watch.windowsMade, 1);
    QCOMPARE(watch.maps, 1);
    QCOMPARE(watch.unmaps, 0);
    QVERIFY(watch.maximized());
    QCOMPARE(watch.size(), QSize(1024, 768));
    QCOMPARE(browser.state(), QProcess::Running);
    QFile maps(QStringLiteral("/proc/%1/maps").arg(browser.processId()));
    QVERIFY(maps.open(QIODevice::ReadOnly));
    const QString module = QString(maps.readAll()).section("libvelt-engine", 0, 0).section(' ', -1);
    QVERIFY2(module.startsWith(root + '/'), qPrintable(module));

    browser.terminate();
    QVERIFY(browser.waitForFinished(10000));
    const QByteArray errors = browser.readAllStandardError();
    QVERIFY(errors.contains("qt.webenginecontext"));
    if (geteuid() == 0)
        QCOMPARE(errors.count("web engine's sandbox is off"), 1);
    else
        QCOMPARE(errors.count("sandbox is off"), 0);
}

QTEST_GUILESS_MAIN(tst_Startup)
#include "tst_startup.moc"
