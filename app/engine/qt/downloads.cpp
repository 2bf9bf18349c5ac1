#include "downloads.h"

#include "engine/seam/pageservices.h"
#include "untrustedtext.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QStandardPaths>
#include <QWebEngineDownloadRequest>
#include <QWebEngineProfile>

namespace {

constexpr qsizetype kMaxNameLength = 120;
constexpr qsizetype kMaxNameBytes = 240;
constexpr qsizetype kMaxSuffixLength = 12;

// Chromium writes a download here first and renames it when it is complete.
QString partialPath(const QString &path)
{
    return path + QStringLiteral(".download");
}

QString interruptionInWords(QWebEngineDownloadRequest::DownloadInterruptReason reason)
{
    using R = QWebEngineDownloadRequest;
    switch (int(reason)) {
    case R::FileAccessDenied:
        return QStringLiteral("there is no permission to write the file");
    case R::FileNoSpace:
    case R::FileTooLarge:
        return QStringLiteral("the disk is full");
    case R::FileNameTooLong:
        return QStringLiteral("the file name is too long");
    case R::FileFailed:
    case R::FileTransientError:
    case R::FileTooShort:
    case R::FileHashMismatch:
        return QStringLiteral("the file could not be written");
    case R::FileBlocked:
    case R::FileVirusInfected:
    case R::FileSecurityCheckFailed:
        return QStringLiteral("the file was blocked");
    case R::NetworkFailed:
    case R::NetworkDisconnected:
        return QStringLiteral("the network connection was lost");
    case R::NetworkTimeout:
    case R::NetworkServerDown:
        return QStringLiteral("the server stopped answering");
    case R::NetworkInvalidRequest:
    case R::ServerUnauthorized:
    case R::ServerForbidden:
        return QStringLiteral("the server refused the file");
    case R::ServerCertProblem:
        return QStringLiteral("the server's certificate is not trusted");
    case R::ServerUnreachable:
        return QStringLiteral("the server could not be reached");
    case R::ServerFailed:
    case R::ServerBadContent:
    case 38: // the server sent less than it announced
        return QStringLiteral("the server broke off the transfer");
    case R::UserCanceled:
        return QStringLiteral("it was cancelled");
    }
    return QStringLiteral("the transfer failed (reason %1)").arg(int(reason));
}

} // namespace

Downloads::Downloads(QWebEngineProfile *profile, PageServices *services,
                     std::function<QWidget *()> dialogParent, std::function<bool()> offline,
                     QObject *parent)
    : QObject(parent), m_services(services), m_dialogParent(std::move(dialogParent)),
      m_offline(std::move(offline))
{
    connect(profile, &QWebEngineProfile::downloadRequested, this, &Downloads::requested);
}

Downloads::~Downloads()
{
    // What was not finished is not left half-written.
    m_closing = true;
    for (size_t i = 0; i < m_entries.size(); ++i) {
        if (m_entries[i].row.running && m_entries[i].request) {
            m_entries[i].request->cancel();
            ended(i);
        }
    }
    delete m_window.data(); // a window of its own, though owned by the page area
}

QString Downloads::safeFileName(const QString &suggested)
{
    QString name = suggested;
    name.replace(u'\\', u'/');
    name = name.mid(name.lastIndexOf(u'/') + 1);
    QString kept;
    for (const QChar c : std::as_const(name)) {
        if (isControlCharacter(c))
            continue;
        // Characters other systems forbid in names; a file may travel.
        kept += QStringLiteral("<>:\"|?*").contains(c) ? QChar(u'_') : c;
    }
    // No hidden file, no "." or "..": leading dots and spaces go, as do trailing ones.
    qsizetype start = 0;
    while (start < kept.size() && (kept.at(start) == u'.' || kept.at(start).isSpace()))
        ++start;
    qsizetype end = kept.size();
    while (end > start && (kept.at(end - 1) == u'.' || kept.at(end - 1).isSpace()))
        --end;
    kept = kept.mid(start, end - start);
    // Short enough for any file system (255 bytes), keeping the type's suffix.
    const qsizetype dot = kept.lastIndexOf(u'.');
    const QString suffix = dot > 0 && kept.size() - dot <= kMaxSuffixLength ? kept.mid(dot) : QString();
    QString stem = kept.left(qMin(kept.size() - suffix.size(), kMaxNameLength));
    while (!stem.isEmpty()
           && ((stem + suffix).size() > kMaxNameLength || (stem + suffix).toUtf8().size() > kMaxNameBytes))
        stem.chop(stem.size() > 1 && stem.back().isLowSurrogate() ? 2 : 1);
    kept = stem.isEmpty() ? QString() : stem + suffix;
    return kept.isEmpty() ? QStringLiteral("download") : kept;
}

QString Downloads::saveFolder()
{
    const QString home = QDir::homePath();
    const QString folder = QStandardPaths::writableLocation(QStandardPaths::DownloadLocation);
    if (folder.isEmpty())
        return home;
    if (QFileInfo(folder).isDir())
        return folder; // the desktop's own, wherever the user put it
    // Missing, as on a fresh account: made, as other browsers do, so that every
    // download lands where the user will look for it; but only under the home folder.
    const bool inHome = QDir::cleanPath(folder).startsWith(QDir::cleanPath(home) + u'/');
    return inHome && QDir().mkpath(folder) ? folder : home;
}

void Downloads::requested(QWebEngineDownloadRequest *request)
{
    // The engine picks a download up again after a broken connection, under the same
    // id: it goes on into the file the user chose for it, without asking again.
    for (size_t i = 0; i < m_entries.size(); ++i) {
        Entry &entry = m_entries[i];
        if (entry.id != request->id() || !entry.row.running)
            continue;
        const QFileInfo target(entry.row.path);
        request->setDownloadDirectory(target.absolutePath());
        request->setDownloadFileName(target.fileName());
        entry.request = request;
        request->accept();
        follow(i);
        return;
    }

    const QString name = safeFileName(request->suggestedFileName());
    if (m_asking) {
        // The engine wants the answer before this returns, and the user is still
        // answering for another download.
        request->cancel();
        refuse(name, QStringLiteral("Not saved: another download was waiting for an answer"));
        return;
    }
    const QString proposed = QDir(saveFolder()).filePath(name);
    const QPointer<QWebEngineDownloadRequest> guard(request);
    m_asking = true;
    const QString chosen = m_services->askSaveFile(m_dialogParent(), proposed);
    m_asking = false;
    if (!guard)
        return;
    if (chosen.isEmpty()) {
        request->cancel();
        return;
    }
    if (m_offline()) {
        request->cancel();
        refuse(QFileInfo(chosen).fileName(), QStringLiteral("Not saved: the browser is offline"));
        return;
    }

    const QFileInfo target(chosen);
    Entry entry;
    entry.id = request->id();
    entry.existed = target.exists();
    entry.request = request;
    entry.row.path = target.absoluteFilePath();
    entry.row.running = true;
    entry.row.state = QStringLiteral("Running");
    request->setDownloadDirectory(target.absolutePath());
    request->setDownloadFileName(target.fileName());
    request->accept();
    m_entries.push_back(entry);
    follow(m_entries.size() - 1);
    update(m_entries.size() - 1);
}

void Downloads::follow(size_t index)
{
    QWebEngineDownloadRequest *request = m_entries[index].request;
    const auto changed = [this, index] { update(index); };
    connect(request, &QWebEngineDownloadRequest::receivedBytesChanged, this, changed);
    connect(request, &QWebEngineDownloadRequest::totalBytesChanged, this, changed);
    connect(request, &QWebEngineDownloadRequest::stateChanged, this, changed);
}

void Downloads::update(size_t index)
{
    Entry &entry = m_entries[index];
    if (!entry.row.running || !entry.request)
        return;
    QWebEngineDownloadRequest *request = entry.request;
    entry.row.received = request->receivedBytes();
    entry.row.total = request->totalBytes();
    switch (request->state()) {
    case QWebEngineDownloadRequest::DownloadRequested:
    case QWebEngineDownloadRequest::DownloadInProgress:
        break;
    case QWebEngineDownloadRequest::DownloadCompleted:
        entry.row.running = false;
        entry.row.state = QStringLiteral("Done");
        break;
    case QWebEngineDownloadRequest::DownloadCancelled:
        entry.row.running = false;
        entry.row.state = entry.stopReason.isEmpty()
                ? QStringLiteral("Cancelled")
                : QStringLiteral("Cancelled: %1").arg(entry.stopReason);
        ended(index);
        break;
    case QWebEngineDownloadRequest::DownloadInterrupted:
        entry.row.running = false;
        entry.row.state = QStringLiteral("Failed: %1").arg(interruptionInWords(request->interruptReason()));
        // The engine keeps the partial file of an interrupted download, to resume it;
        // it is not resumed here.
        ended(index);
        break;
    }
    showRow(index);
}

void Downloads::ended(size_t index)
{
    const Entry &entry = m_entries[index];
    QFile::remove(partialPath(entry.row.path));
    if (!entry.existed)
        QFile::remove(entry.row.path);
}

void Downloads::refuse(const QString &name, const QString &why)
{
    Entry entry;
    entry.row.path = name;
    entry.row.state = why;
    m_entries.push_back(entry);
    showRow(m_entries.size() - 1);
}

void Downloads::showRow(size_t index)
{
    if (m_closing)
        return;
    if (!m_window) {
        m_window = new DownloadsWindow(m_dialogParent());
        connect(m_window, &DownloadsWindow::cancelRequested, this, &Downloads::cancel);
        connect(m_window, &DownloadsWindow::openFolderRequested, this, [this](int row) {
            if (row >= 0 && size_t(row) < m_entries.size())
                m_services->openFolder(QFileInfo(m_entries[size_t(row)].row.path).absolutePath());
        });
        for (size_t i = 0; i < m_entries.size(); ++i)
            m_window->setRow(int(i), m_entries[i].row);
        m_window->show();
    }
    m_window->setRow(int(index), m_entries[index].row);
    if (m_window->isHidden())
        m_window->show();
}

void Downloads::cancel(int row)
{
    if (row < 0 || size_t(row) >= m_entries.size())
        return;
    Entry &entry = m_entries[size_t(row)];
    if (entry.row.running && entry.request)
        entry.request->cancel();
}

void Downloads::stopAll(const QString &why)
{
    for (Entry &entry : m_entries) {
        if (entry.row.running && entry.request) {
            entry.stopReason = why;
            entry.request->cancel();
        }
    }
}
