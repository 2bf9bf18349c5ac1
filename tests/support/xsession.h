#pragma once

#include <QProcess>

#include <memory>

// A virtual X server with a window manager, started by a test or the benchmark for itself.
class XSession
{
public:
    ~XSession() { stop(); }
    // A server started beside another one may lose its display to it: then it is started afresh.
    bool start(QString *why);
    void stop();
    QString display() const { return m_display; }
    QProcessEnvironment environment() const; // the system's, pointed at this server
    // Runs an X client (xdotool, xprop...) here; false when it failed.
    bool run(const QString &program, const QStringList &arguments, QByteArray *output = nullptr) const;
    QByteArray window(const QString &caption) const; // the mapped window with exactly this caption, or ""

private:
    QString m_display;
    std::unique_ptr<QProcess> m_server;
    std::unique_ptr<QProcess> m_windowManager;
};

// Processes below a given one, read from /proc; and the web engine's helpers among them.
QList<qint64> descendantsOf(qint64 root);
QList<qint64> engineProcessesOf(qint64 browser);
// Whether a process has ended, reaped or not: init reaps one whose parent went first in its own time.
bool hasEnded(qint64 pid);
