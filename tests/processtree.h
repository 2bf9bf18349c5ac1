#pragma once

#include <QDir>
#include <QFile>
#include <QList>

// Processes below a given one, read from /proc.
inline QList<qint64> descendantsOf(qint64 root)
{
    QHash<qint64, qint64> parentOf;
    const QStringList entries = QDir(QStringLiteral("/proc")).entryList(QDir::Dirs);
    for (const QString &entry : entries) {
        bool isPid = false;
        const qint64 pid = entry.toLongLong(&isPid);
        if (!isPid)
            continue;
        QFile stat(QStringLiteral("/proc/%1/stat").arg(pid));
        if (!stat.open(QIODevice::ReadOnly))
            continue;
        const QByteArray line = stat.readAll();
        // The command name may hold blanks; the fields after it start past ')'.
        const QList<QByteArray> fields = line.mid(line.lastIndexOf(')') + 2).split(' ');
        if (fields.size() > 1)
            parentOf.insert(pid, fields[1].toLongLong());
    }
    QList<qint64> found;
    QList<qint64> frontier{root};
    while (!frontier.isEmpty()) {
        const qint64 parent = frontier.takeFirst();
        for (auto it = parentOf.cbegin(); it != parentOf.cend(); ++it) {
            if (it.value() == parent) {
                found << it.key();
                frontier << it.key();
            }
        }
    }
    return found;
}

// The web engine's helper processes below a browser process.
inline QList<qint64> engineProcessesOf(qint64 browser)
{
    QList<qint64> helpers;
    for (qint64 pid : descendantsOf(browser)) {
        QFile comm(QStringLiteral("/proc/%1/comm").arg(pid));
        if (comm.open(QIODevice::ReadOnly) && comm.readAll().startsWith("QtWebEngineProc"))
            helpers << pid;
    }
    return helpers;
}
