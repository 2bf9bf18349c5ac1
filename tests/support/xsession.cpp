#include "xsession.h"

#include <QDir>
#include <QFile>
#include <QRegularExpression>
#include <QTest>

bool XSession::start(QString *why)
{
    for (int attempt = 0; attempt < 3; ++attempt) {
        stop();
        // The server picks a free display itself and tells its number on stdout.
        m_server = std::make_unique<QProcess>();
        m_server->start("Xvfb", {"-displayfd", "1", "-screen", "0", "1024x768x24", "-nolisten", "tcp", "-noreset"});
        if (!QTest::qWaitFor([this] { return m_server->canReadLine() || m_server->state() == QProcess::NotRunning; },
                             10000) || !m_server->canReadLine()) {
            *why = QStringLiteral("no virtual X server could be started (is Xvfb installed?)");
            continue;
        }
        m_display = QStringLiteral(":%1").arg(m_server->readLine().trimmed().toInt());
        if (!QTest::qWaitFor([this] { return run("xprop", {"-root", "-len", "0"}); }, 10000)) {
            *why = QStringLiteral("the virtual X server on %1 does not answer").arg(m_display);
            continue;
        }
        // Windows made before the manager has taken the screen would be seen unmanaged.
        m_windowManager = std::make_unique<QProcess>();
        m_windowManager->setProcessEnvironment(environment());
        m_windowManager->start("openbox", {});
        QByteArray check, said;
        if (QTest::qWaitFor([&] {
                if (m_windowManager->state() == QProcess::NotRunning) { // gave up on the display: again
                    said = m_windowManager->readAllStandardError();
                    m_windowManager->start("openbox", {});
                }
                return run("xprop", {"-root", "_NET_SUPPORTING_WM_CHECK"}, &check) && check.contains("window id");
            }, 10000))
            return true;
        *why = QStringLiteral("openbox did not take over the screen %1 (it said: %2; the X server %3 and said: %4)")
                       .arg(m_display, QString::fromLocal8Bit((said + m_windowManager->readAllStandardError()).right(300)),
                            m_server->state() == QProcess::NotRunning ? "ended" : "runs",
                            QString::fromLocal8Bit(m_server->readAllStandardError().right(600)));
    }
    return false;
}

void XSession::stop()
{
    for (auto *process : {m_windowManager.get(), m_server.get()}) {
        if (process && process->state() != QProcess::NotRunning) {
            process->terminate();
            if (!process->waitForFinished(3000))
                process->kill();
            process->waitForFinished(1000);
        }
    }
    m_windowManager.reset();
    m_server.reset();
}

QProcessEnvironment XSession::environment() const
{
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(QStringLiteral("DISPLAY"), m_display);
    env.remove(QStringLiteral("WAYLAND_DISPLAY"));
    env.remove(QStringLiteral("QT_QPA_PLATFORM"));
    return env;
}

bool XSession::run(const QString &program, const QStringList &arguments, QByteArray *output) const
{
    QProcess process;
    process.setProcessEnvironment(environment());
    process.start(program, arguments);
    const bool done = process.waitForFinished(10000) && process.exitCode() == 0;
    if (output)
        *output = process.readAllStandardOutput();
    return done;
}

QByteArray XSession::window(const QString &caption) const
{
    QByteArray found;
    run("xdotool", {"search", "--onlyvisible", "--name", '^' + QRegularExpression::escape(caption) + '$'}, &found);
    return found.split('\n').constFirst();
}

// A process's fields after its command name (which may hold blanks): its state, its parent...
static QList<QByteArray> statusOf(qint64 pid)
{
    QFile stat(QStringLiteral("/proc/%1/stat").arg(pid));
    const QByteArray line = stat.open(QIODevice::ReadOnly) ? stat.readAll() : QByteArray();
    return line.mid(line.lastIndexOf(')') + 2).split(' ');
}

bool hasEnded(qint64 pid)
{
    return QList<QByteArray>{"", "Z", "X"}.contains(statusOf(pid).value(0)); // gone, dead and not yet reaped
}

QList<qint64> descendantsOf(qint64 root)
{
    QMultiHash<qint64, qint64> children;
    for (const QString &entry : QDir(QStringLiteral("/proc")).entryList(QDir::Dirs))
        if (const qint64 pid = entry.toLongLong())
            children.insert(statusOf(pid).value(1).toLongLong(), pid);
    QList<qint64> found = children.values(root);
    for (qsizetype i = 0; i < found.size(); ++i)
        found += children.values(found[i]);
    return found;
}

QList<qint64> engineProcessesOf(qint64 browser)
{
    QList<qint64> helpers = descendantsOf(browser);
    helpers.removeIf([](qint64 pid) {
        QFile comm(QStringLiteral("/proc/%1/comm").arg(pid));
        return !comm.open(QIODevice::ReadOnly) || !comm.readAll().startsWith("QtWebEngineProc");
    });
    return helpers;
}
