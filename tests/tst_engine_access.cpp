#include "engine/engineprocess.h"
#include "engine/pageaccessibility.h"
#include "engine/qtwebbrowser.h"

#include <QAccessible>
#include <QApplication>
#include <QDBusConnection>
#include <QProcess>
#include <QSignalSpy>
#include <QTest>

namespace {

bool holdsLink(QAccessibleInterface *node, const QString &name)
{
    if (node && node->role() == QAccessible::Link && node->text(QAccessible::Name) == name)
        return true;
    for (int i = 0; node && i < node->childCount(); ++i) {
        if (holdsLink(node->child(i), name))
            return true;
    }
    return false;
}

// Run in a process of its own, as the engine reads its switch once per process: the
// engine starts with the given answer, and once a screen reader uses Qt's tree, the
// exit code says whether the page's link is in it (0) or not (1).
int pageTreeChild(bool assistiveTechActive)
{
    QtWebBrowser engine(nullptr, nullptr, [assistiveTechActive] { return assistiveTechActive; });
    engine.show();
    QSignalSpy done(&engine, &WebBrowser::DownloadComplete);
    engine.Navigate(QStringLiteral("data:text/html,<h1>Heading</h1><a href='x.html'>Velt link</a>"));
    if (!QTest::qWaitFor([&] { return done.count() > 0 && !engine.Busy(); }, 20000))
        return 2;
    QAccessible::setActive(true);
    QAccessibleInterface *tree = QAccessible::queryAccessibleInterface(&engine);
    return QTest::qWaitFor([&] { return holdsLink(tree, QStringLiteral("Velt link")); }, 5000) ? 0 : 1;
}

// The status object of an accessibility bus.
class A11yStatus : public QObject
{
    Q_OBJECT
    Q_CLASSINFO("D-Bus Interface", "org.a11y.Status")
    Q_PROPERTY(bool IsEnabled MEMBER isEnabled)
    Q_PROPERTY(bool ScreenReaderEnabled MEMBER screenReaderEnabled)
public:
    bool isEnabled = false;
    bool screenReaderEnabled = false;
};

} // namespace

// Page content for assistive technology: the desktop's answer, and the real engine's
// switch following it.
class tst_EngineAccess : public QObject
{
    Q_OBJECT

private slots:
    // The desktop's answer, from a session bus of the test's own.
    void desktopAnswer()
    {
        qunsetenv("DBUS_SESSION_BUS_ADDRESS");
        QVERIFY(!desktopAssistiveTechActive()); // no session bus, and none started to ask
        QProcess daemon;
        daemon.start(QStringLiteral("dbus-daemon"), {"--session", "--nofork", "--print-address"});
        QVERIFY(daemon.waitForReadyRead(10000));
        qputenv("DBUS_SESSION_BUS_ADDRESS", daemon.readLine().trimmed());
        QVERIFY(!desktopAssistiveTechActive()); // a bus without an accessibility bus
        A11yStatus status;
        QDBusConnection bus = QDBusConnection::sessionBus();
        QVERIFY(bus.registerObject(QStringLiteral("/org/a11y/bus"), &status, QDBusConnection::ExportAllProperties));
        QVERIFY(bus.registerService(QStringLiteral("org.a11y.Bus")));
        for (const auto &[enabled, screenReader] : {std::pair(false, false), {true, false}, {false, true}}) {
            status.isEnabled = enabled;
            status.screenReaderEnabled = screenReader;
            QCOMPARE(desktopAssistiveTechActive(), enabled || screenReader);
        }
        qunsetenv("DBUS_SESSION_BUS_ADDRESS");
    }

    void pageTreeOnlyWithAssistiveTech_data()
    {
        QTest::addColumn<bool>("answer");
        QTest::addColumn<QString>("userSetting");
        QTest::addColumn<int>("linkInTree"); // 0 yes, 1 no
        QTest::newRow("assistive technology active") << true << QString() << 0;
        QTest::newRow("none active") << false << QString() << 1;
        QTest::newRow("none active, the user asks for it") << false << "1" << 0;
    }
    void pageTreeOnlyWithAssistiveTech()
    {
        QFETCH(bool, answer);
        QFETCH(QString, userSetting);
        QFETCH(int, linkInTree);
        qunsetenv("QTWEBENGINE_ENABLE_LINUX_ACCESSIBILITY"); // the child takes this process's
        if (!userSetting.isEmpty())
            qputenv("QTWEBENGINE_ENABLE_LINUX_ACCESSIBILITY", userSetting.toLatin1());
        QProcess child;
        child.start(QCoreApplication::applicationFilePath(), {"--page-tree", answer ? "yes" : "no"});
        QVERIFY(child.waitForFinished(60000));
        QCOMPARE(child.exitCode(), linkInTree);
    }
};

int main(int argc, char *argv[])
{
    prepareEngineProcess();
    QApplication app(argc, argv);
    if (argc == 3 && qstrcmp(argv[1], "--page-tree") == 0)
        return pageTreeChild(qstrcmp(argv[2], "yes") == 0);
    tst_EngineAccess test;
    QTEST_SET_MAIN_SOURCE_PATH
    return QTest::qExec(&test, argc, argv);
}

#include "tst_engine_access.moc"
