#pragma once

#include "pagewindows/downloadswindow.h"

#include <QObject>
#include <QPointer>

#include <functional>
#include <vector>

class PageServices;
class QWebEngineDownloadRequest;
class QWebEngineProfile;

// The profile's downloads, links and saved pages alike. Each one asks the user
// where to save it, in the download folder under the server's name made safe; the
// file is written only where the user chose, and a download that fails or is
// cancelled leaves nothing behind. Running and finished ones are listed in the
// Downloads window, made when the first download starts.
class Downloads : public QObject
{
    Q_OBJECT
public:
    Downloads(QWebEngineProfile *profile, PageServices *services,
              std::function<QWidget *()> dialogParent, std::function<bool()> offline,
              QObject *parent);
    ~Downloads() override;

    // A file name made from what a server suggests: no folders, no "..", no control
    // or format characters, no leading dot, not too long; "download" when nothing
    // is left.
    static QString safeFileName(const QString &suggested);

    // The folder a save is proposed in: the desktop's download folder, made when it
    // is missing under the home folder; else the home folder itself.
    static QString saveFolder();

    // Stops every running download, saying why.
    void stopAll(const QString &why);

    DownloadsWindow *window() const { return m_window; }

private:
    struct Entry
    {
        quint32 id = 0;
        bool existed = false; // a file was at the path before; it is never removed
        QPointer<QWebEngineDownloadRequest> request;
        QString stopReason;
        DownloadRow row;
    };

    void requested(QWebEngineDownloadRequest *request);
    void follow(size_t index);
    void update(size_t index);
    void ended(size_t index);
    void refuse(const QString &name, const QString &why);
    void showRow(size_t index);
    void cancel(int row);

    PageServices *m_services;
    std::function<QWidget *()> m_dialogParent;
    std::function<bool()> m_offline;
    std::vector<Entry> m_entries;
    QPointer<DownloadsWindow> m_window;
    bool m_asking = false;
    bool m_closing = false;
};
