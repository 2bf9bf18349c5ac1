#include "engine/engineprocess.h"
#include "engine/pageaccessibility.h"
#include "engine/qtwebbrowser.h"
#include "fakes/fakeplatform.h"
#include "form1.h"
#include "httpserver.h"
#include "statusbar.h"

#include <QAccessible>
#include <QApplication>
#include <QComboBox>
#include <QDBusConnection>
#include <QLineEdit>
#include <QProcess>
#include <QSignalSpy>
#include <QTest>
#include <QWebEngineView>

#include <cstdio>

namespace {

// Whether the accessibility tree under `iface` holds a node of this role and name.
bool holds(QAccessibleInterface *iface, QAccessible::Role role, const QString &name, int depth = 0)
{
    if (!iface || depth > 30)
        return false;
    if (iface->role() == role && iface->text(QAccessible::Name) == name)
        return true;
    for (int i = 0; i < iface->childCount(); ++i) {
        if (holds(iface->child(i), role, name, depth + 1))
            return true;
    }
    return false;
}

// Run in a process of its own, since the engine reads its switch once per process:
// starts the engine as the desktop is said to answer, with assistive technology
// using Qt's tree, loads a page and says whether the page's link is in the tree.
int pageTreeChild(bool assistiveTechActive)
{
    QtWebBrowser engine(nullptr, [assistiveTechActive] { return assistiveTechActive; });
    engine.resize(400, 300);
    engine.show();
    QSignalSpy done(&engine, &WebBrowser::DownloadComplete);
    engine.Navigate(QStringLiteral("data:text/html,<h1>Heading</h1><a href='x.html'>Velt link</a>"));
    if (!QTest::qWaitFor([&] { return done.count() > 0 && !engine.Busy(); }, 20000))
        return 2;
    QAccessible::setActive(true);
    QAccessibleInterface *root = QAccessible::queryAccessibleInterface(&engine);
    const bool found = QTest::qWaitFor([&] { return holds(root, QAccessible::Link, QStringLiteral("Velt link")); }, 5000);
    std::printf("%s\n", found ? "exposed" : "hidden");
    return 0;
}

// The status object of an accessibility bus, as the desktop's serves it.
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

// The keys and the page's accessibility against the real engine.
class tst_EngineAccess : public QObject
{
    Q_OBJECT
    HttpServer m_server;
    FakePlatform m_platform;

private slots:
    // Keys pressed while the page has the focus reach the window's commands.
    void keysFromThePage()
    {
        for (const QString name : {"a", "b", "slow"})
            m_server.setPage("/" + name + ".html", "<html><body><p>" + name.toUtf8() + "</p></body></html>");
        auto *engine = new QtWebBrowser;
        Form1 form(engine, m_platform);
        form.Form_Load();
        QVERIFY(QTest::qWaitForWindowActive(&form));
        const auto shows = [&](const char *path) {
            return !engine->Busy() && engine->LocationURL() == m_server.url(path).toString();
        };
        const auto press = [&](const char *key) {
            QTest::keyClick(form.windowHandle(), QKeySequence(key)[0].key(), QKeySequence(key)[0].keyboardModifiers());
        };
        for (const char *path : {"/a.html", "/b.html"}) {
            QVERIFY(engine->Navigate(m_server.url(path).toString()));
            QTRY_VERIFY_WITH_TIMEOUT(shows(path), 20000);
        }
        auto *view = engine->findChild<QWebEngineView *>();
        QWidget *page = view->focusProxy();
        QVERIFY(page);
        page->setFocus();
        QTRY_COMPARE(QApplication::focusWidget(), page);

        press("Alt+Left");
        QTRY_VERIFY_WITH_TIMEOUT(shows("/a.html"), 20000);
        QCOMPARE(form.StatusBar1->panelText(1), QStringLiteral("  Back"));
        press("Alt+Right");
        QTRY_VERIFY_WITH_TIMEOUT(shows("/b.html"), 20000);
        const int hits = m_server.hits("/b.html");
        press("F5");
        QTRY_COMPARE_WITH_TIMEOUT(m_server.hits("/b.html"), hits + 1, 20000);
        QTRY_VERIFY_WITH_TIMEOUT(shows("/b.html"), 20000);

        press("Ctrl++");
        QTRY_COMPARE(view->zoomFactor(), 1.1);
        press("Ctrl+-");
        press("Ctrl+-");
        QTRY_COMPARE(view->zoomFactor(), 0.9);
        press("Ctrl+0");
        QTRY_COMPARE(view->zoomFactor(), 1.0);

        // Escape stops a load that the server holds.
        m_server.hold("/slow.html");
        QSignalSpy requested(&m_server, &HttpServer::requested);
        QVERIFY(engine->Navigate(m_server.url("/slow.html").toString()));
        QTRY_VERIFY_WITH_TIMEOUT(requested.contains({"/slow.html"}), 20000);
        QCOMPARE(QApplication::focusWidget(), page);
        press("Esc");
        QTRY_VERIFY_WITH_TIMEOUT(!engine->Busy(), 20000);
        m_server.release("/slow.html");

        press("Ctrl+L");
        QCOMPARE(QApplication::focusWidget(), form.cboAddress);
    }

    // The desktop's answer, from a session bus of the test's own.
    void desktopAnswer()
    {
        qunsetenv("DBUS_SESSION_BUS_ADDRESS");
        QVERIFY(!desktopAssistiveTechActive()); // no session bus: none is started to ask
        QProcess daemon;
        daemon.start(QStringLiteral("dbus-daemon"), {"--session", "--nofork", "--print-address"});
        QVERIFY(daemon.waitForReadyRead(10000));
        qputenv("DBUS_SESSION_BUS_ADDRESS", daemon.readLine().trimmed());
        QVERIFY(!desktopAssistiveTechActive()); // a bus, but no accessibility bus on it
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
        QTest::addColumn<QByteArray>("userSetting");
        QTest::addColumn<QString>("tree");
        QTest::newRow("assistive technology active") << true << QByteArray() << "exposed";
        QTest::newRow("none active") << false << QByteArray() << "hidden";
        QTest::newRow("none active, the user asks for it") << false << QByteArray("1") << "exposed";
    }
    void pageTreeOnlyWithAssistiveTech()
    {
        QFETCH(bool, answer);
        QFETCH(QByteArray, userSetting);
        QFETCH(QString, tree);
        QProcess child;
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.remove(QStringLiteral("QTWEBENGINE_ENABLE_LINUX_ACCESSIBILITY"));
        if (!userSetting.isEmpty())
            env.insert(QStringLiteral("QTWEBENGINE_ENABLE_LINUX_ACCESSIBILITY"), QString::fromLatin1(userSetting));
        child.setProcessEnvironment(env);
        child.start(QCoreApplication::applicationFilePath(),
                    {QStringLiteral("--page-tree"), answer ? QStringLiteral("yes") : QStringLiteral("no")});
        QVERIFY(child.waitForFinished(60000));
        QCOMPARE(child.exitCode(), 0);
        QCOMPARE(QString::fromLatin1(child.readAllStandardOutput()).trimmed(), tree);
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
