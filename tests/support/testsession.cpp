#include "testsession.h"

#include "xsession.h"

#include <QAccessible>
#include <QCoreApplication>
#include <QDBusConnection>
#include <QDBusConnectionInterface>
#include <QDir>
#include <QTemporaryDir>
#include <QTest>

namespace {

constexpr char kInside[] = "VELT_OWN_SESSION";
constexpr char kLauncher[] = "/usr/libexec/at-spi-bus-launcher";

// Whether the bus at `address` has its accessibility bus: the launcher started here, with
// a screen reader reported, since nothing asks the bus to start one of its own.
bool hasAccessibilityBus(const QString &address)
{
    const bool yes = QDBusConnection::connectToBus(address, QStringLiteral("velt-probe"))
                             .interface()->isServiceRegistered(QStringLiteral("org.a11y.Bus"));
    QDBusConnection::disconnectFromBus(QStringLiteral("velt-probe"));
    return yes;
}

} // namespace

bool assistiveRun()
{
    return qEnvironmentVariableIntValue("VELT_TEST_ASSISTIVE") == 1;
}

void useAsScreenReader()
{
    // On X the platform's bridge has seen the bus and is active already; off screen
    // there is no bridge, and the tree is used directly.
    if (assistiveRun())
        QAccessible::setActive(true);
}

int runInOwnSession(int argc, char *argv[], bool display)
{
    if (qEnvironmentVariableIsSet(kInside) || (!display && !assistiveRun()))
        return -1;
    QCoreApplication core(argc, argv);
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(kInside, QStringLiteral("1"));
    const auto fail = [](const QString &why) { return qCritical("%s", qPrintable(why)), 1; };

    XSession x;
    QTemporaryDir home, runtime;
    if (display) {
        QString why;
        if (!x.start(&why))
            return fail(why);
        const QProcessEnvironment shown = x.environment();
        for (const QString name : {"DISPLAY", "WAYLAND_DISPLAY", "QT_QPA_PLATFORM"})
            shown.contains(name) ? env.insert(name, shown.value(name)) : env.remove(name);
        for (const char *name : {"XDG_CONFIG_HOME", "XDG_CACHE_HOME", "XDG_DATA_HOME", "XDG_STATE_HOME"})
            env.remove(name);
        env.insert("HOME", home.path());
        env.insert("XDG_RUNTIME_DIR", runtime.path());
    }

    QProcess bus, launcher;
    if (assistiveRun()) {
        bus.start("dbus-daemon", {"--session", "--nofork", "--print-address"});
        if (!bus.waitForStarted(10000) || !QTest::qWaitFor([&] { return bus.canReadLine(); }, 10000))
            return fail("no session bus could be started (is dbus-daemon installed?)");
        const QString address = QString::fromUtf8(bus.readLine().trimmed());
        env.insert("DBUS_SESSION_BUS_ADDRESS", address);
        env.remove("AT_SPI_BUS_ADDRESS");
        launcher.setProcessEnvironment(env);
        launcher.setProcessChannelMode(QProcess::ForwardedErrorChannel);
        launcher.start(kLauncher, {"--launch-immediately", "--a11y=1", "--screen-reader=1"});
        if (!QTest::qWaitFor([&] { return hasAccessibilityBus(address); }, 20000))
            return fail(QStringLiteral("the accessibility bus did not start (%1, from at-spi2-core)").arg(kLauncher));
    }

    QProcess self;
    self.setProcessEnvironment(env);
    self.setProcessChannelMode(QProcess::ForwardedChannels);
    self.start(QCoreApplication::applicationFilePath(), QCoreApplication::arguments().mid(1));
    self.waitForFinished(-1);
    for (QProcess *process : {&launcher, &bus}) {
        process->terminate();
        process->waitForFinished(3000);
    }
    return self.exitStatus() == QProcess::NormalExit ? self.exitCode() : 1;
}
