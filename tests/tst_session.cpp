#include "form1layout.h"
#include "httpserver.h"
#include "xsession.h"

#include <QDir>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTest>

#include <unistd.h>

// The program to run, as whom, whether the time and About windows are opened and an editor started, and how it ends.
struct Run { QString program; bool unprivileged, otherWindows, byWindowManager; };

// The real program, built and installed, on an X server of its own, used as a user would: its window comes up
// once, maximized, it shows a page, and however ended, it leaves no engine process, session bus or file behind.
class tst_Session : public QObject
{
    Q_OBJECT
    XSession m_x;
    HttpServer m_server;

    bool xdotool(const QStringList &arguments) { return m_x.run("xdotool", arguments); }
    bool click(QPoint at) { return xdotool({"mousemove", QString::number(at.x()), QString::number(at.y()), "click", "1"}); }
    bool click(const char *area) { return click(toPixels(Form1Layout::areaAt(area)).center()); }
    bool shown(const QString &caption, bool shown = true)
    {
        return QTest::qWaitFor([&] { return m_x.window(caption).isEmpty() != shown; }, 20000);
    }

private slots:
    void initTestCase()
    {
        QString why;
        QVERIFY2(m_x.start(&why), qPrintable(why));
        m_server.setPage("/page.html", "<html><head><title>Served</title></head><body>served</body></html>");
    }

    void session_data()
    {
        QTest::addColumn<Run>("run");
        const QString built = VELT_BROWSER_PATH;
        QTest::newRow("exit icon, an editor started, the time and About windows open") << Run{built, false, true, false};
        QTest::newRow("closed by the window manager") << Run{built, false, false, true};
        QTest::newRow("unprivileged user keeps the sandbox") << Run{built, true, false, false};
        // Installed (by the test set-up), started as the desktop menu starts it.
        QFile entry(VELT_INSTALLED "/share/applications/org.veltbrowser.VeltBrowser.desktop");
        QVERIFY(entry.open(QIODevice::ReadOnly));
        const QString command = QString(entry.readAll()).section("\nExec=", 1).section('\n', 0, 0);
        QTest::newRow("installed, from the desktop entry")
                << Run{QStandardPaths::findExecutable(command, {VELT_INSTALLED "/bin"}), false, false, false};
    }
    void session()
    {
        QFETCH(Run, run);
        const auto &[program, unprivileged, otherWindows, byWindowManager] = run;
        const QString root = program == VELT_BROWSER_PATH ? VELT_BUILD_DIR : VELT_INSTALLED; // where the engine comes from
        const QString setpriv = QStandardPaths::findExecutable("setpriv");
        if (unprivileged && (geteuid() != 0 || setpriv.isEmpty()))
            QSKIP("needs root and setpriv to run the browser as another user");
        QTemporaryDir home;
        QTemporaryDir runtime;
        QProcessEnvironment env = m_x.environment();
        env.insert("HOME", home.path());
        for (const char *xdg : {"XDG_CONFIG_HOME", "XDG_CACHE_HOME", "XDG_DATA_HOME", "XDG_STATE_HOME"})
            env.insert(xdg, home.filePath(QString::fromLatin1(xdg).toLower()));
        env.insert("XDG_RUNTIME_DIR", runtime.path());
        env.remove("DBUS_SESSION_BUS_ADDRESS"); // no session bus: none may be started
        // Logging rules of the user's own are left alone, so the engine's report shows; else it is kept quiet.
        const bool ownLoggingRules = root != VELT_BUILD_DIR;
        env.remove("QT_LOGGING_RULES");
        if (ownLoggingRules)
            env.insert("QT_LOGGING_RULES", "velt.none.debug=false");
        for (const QTemporaryDir *dir : {&home, &runtime})
            QVERIFY(!unprivileged || ::chown(qPrintable(dir->path()), 65534, 65534) == 0);
        // No program lies at c:\windows\notepad.exe here: the first text editor found on the PATH stands in.
        QFile editor(runtime.filePath("gnome-text-editor"));
        QVERIFY(editor.open(QIODevice::WriteOnly) && editor.write("#!/bin/sh\ntouch \"$0.started\"\n"));
        editor.close();
        QVERIFY(editor.setPermissions(editor.permissions() | QFile::ExeOwner | QFile::ExeOther));
        env.insert("PATH", runtime.path() + ':' + env.value("PATH"));

        QProcess browser;
        browser.setProcessEnvironment(env);
        const QStringList asNobody{"--reuid=65534", "--regid=65534", "--clear-groups", program};
        browser.start(unprivileged ? setpriv : program, unprivileged ? asNobody : QStringList());
        QVERIFY(shown("Ovo"));
        // The engine starts after the first paint: the window must come through that, and the session, unharmed.
        const QByteArray window = m_x.window("Ovo");
        QProcess watch;
        watch.setProcessEnvironment(m_x.environment());
        watch.start("xev", {"-id", window, "-event", "structure"});
        QVERIFY(QTest::qWaitFor([&] { return !engineProcessesOf(browser.processId()).isEmpty(); }, 20000));
        QByteArray geometry;
        QVERIFY(QTest::qWaitFor([&] { return m_x.run("xdotool", {"getwindowgeometry", window}, &geometry)
                                             && geometry.contains("Geometry: 1024x768"); }, 10000)); // maximized
        QFile maps(QStringLiteral("/proc/%1/maps").arg(browser.processId()));
        QVERIFY(maps.open(QIODevice::ReadOnly));
        const QString module = QString(maps.readAll()).section("libvelt-engine", 0, 0).section(' ', -1);
        QVERIFY2(module.startsWith(root + '/'), qPrintable(module));

        // Typed into the address box, the page is fetched: through the sandbox too.
        const int before = m_server.hits("/page.html");
        QVERIFY(click(toPixels(Form1Layout::kAddressBox).center()) && xdotool({"key", "ctrl+a"}));
        QVERIFY(xdotool({"type", "--delay", "1", m_server.url("/page.html").toString()}) && xdotool({"key", "Return"}));
        QTRY_COMPARE_WITH_TIMEOUT(m_server.hits("/page.html"), before + 1, 20000);
        if (otherWindows) {
            QVERIFY(click("Label7"));
            QTRY_VERIFY_WITH_TIMEOUT(QFile::exists(editor.fileName() + ".started"), 10000);
            QVERIFY(click("Label15") && shown("Time Zone") && click("Label16") && shown("About Velt Browser"));
        }

        QCOMPARE(m_x.window("Ovo"), window); // no second one either
        watch.terminate();
        QVERIFY(watch.waitForFinished());
        QVERIFY2(!watch.readAllStandardOutput().contains("UnmapNotify"), "the main window was unmapped");
        const QList<qint64> helpers = engineProcessesOf(browser.processId());
        // The main window is maximized over the others: a click on it raises it first.
        // Alt+F4 is the window manager closing the window that has the focus, as it was typed in.
        QVERIFY(byWindowManager ? xdotool({"key", "alt+F4"}) : click("Label14"));
        QVERIFY(browser.waitForFinished(15000) && browser.exitStatus() == QProcess::NormalExit && browser.exitCode() == 0);
        for (qint64 pid : helpers)
            QVERIFY2(QTest::qWaitFor([pid] { return hasEnded(pid); }, 10000),
                     qPrintable(QStringLiteral("engine process %1 outlived the browser").arg(pid)));
        QVERIFY(shown("Ovo", false) && shown("Time Zone", false) && shown("About Velt Browser", false));

        const QStringList written =
                QDir(home.path()).entryList(QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot);
        QVERIFY2(written.isEmpty(), qPrintable("written under HOME: " + written.join(", ")));
        QVERIFY2(QDir(runtime.path()).entryList({"velt-browser-*"}, QDir::Dirs).isEmpty(),
                 "the file dialogs' folder outlived the browser");
        QStringList onThisDisplay; // no session bus was started for the browser on this display
        for (const QString &pid : QDir("/proc").entryList(QDir::Dirs)) {
            QFile environment("/proc/" + pid + "/environ"), name("/proc/" + pid + "/comm");
            if (environment.open(QIODevice::ReadOnly) && name.open(QIODevice::ReadOnly)
                && environment.readAll().split('\0').contains("DISPLAY=" + m_x.display().toLocal8Bit()))
                onThisDisplay << QString(name.readAll().trimmed());
        }
        QVERIFY2(onThisDisplay.filter("dbus").isEmpty(), qPrintable("still running: " + onThisDisplay.join(", ")));
        const QByteArray errors = browser.readAllStandardError();
        QCOMPARE(errors.count("sandbox is off"), geteuid() == 0 && !unprivileged ? 1 : 0);
        QVERIFY2(!unprivileged || !errors.contains("Sandboxing disabled"), errors.constData());
        QVERIFY2(errors.contains("qt.webenginecontext") == ownLoggingRules, errors.constData());
    }
};

QTEST_GUILESS_MAIN(tst_Session)
#include "tst_session.moc"
