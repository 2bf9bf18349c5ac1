#pragma once

#include "navigation.h"
#include "pageaccessibility.h"
#include "engine/seam/webbrowser.h"

#include <QTimer>
#include <QUrl>

#include <functional>

class QGridLayout;
class QLabel;
class QWebEngineProfile;
class QWebEngineView;
class EnginePage;
class NewWindows;
class PageAnswers;
class PageServices;

// The web engine behind the seam: Qt WebEngine on an off-the-record profile.
// The program makes it only after its window's first paint (see EngineHost), so
// the engine starts with the control. What pages ask (logins, downloads, ...) is
// asked of the user through `services`; without them every such question is refused.
class QtWebBrowser : public WebBrowser, private Navigation::Engine
{
    Q_OBJECT
public:
    // assistiveTechActive: whether an assistive technology is active, asked as the
    // first engine of the process starts; the desktop's answer unless a test gives its own.
    explicit QtWebBrowser(QWidget *parent = nullptr, PageServices *services = nullptr,
                          const std::function<bool()> &assistiveTechActive = desktopAssistiveTechActive);
    ~QtWebBrowser() override;

    bool Navigate(const QString &address) override;
    bool GoBack() override;
    bool GoForward() override;
    bool Stop() override;
    bool Refresh() override;
    bool GoHome() override;
    bool GoSearch() override;

    QString LocationURL(bool *ok = nullptr) const override;
    QString LocationName(bool *ok = nullptr) const override;
    bool Busy(bool *ok = nullptr) const override;
    void setOffline(bool offline) override;
    QString lastError() const override;
    void zoom(Zoom step) override;
    void findText(const QString &text, bool backward) override;

    bool isOffline() const { return m_offline; }

    // Tests point these at their own server; the browser keeps the defaults.
    void setHomePage(const QUrl &url) { m_homePage = url; }
    void setSearchPage(const QUrl &url) { m_searchPage = url; }

    // Process id of the page's renderer, 0 while none runs.
    qint64 rendererProcessId() const;

private:
    void startEngine(PageServices *services, const std::function<bool()> &assistiveTechActive);
    bool startLoad(const QUrl &url);
    // A new tab or window that a page opened with the user's click or key (see NewWindows).
    void openFromPage(const QUrl &url);
    void navigateAsUser(Navigation::Kind kind, const QUrl &url, std::function<void()> go);
    bool fail(const QString &reason);
    void rendererGone();
    bool rendererDead() const;

    // What the navigation machine asks of the engine.
    void navigate(const std::function<void()> &go) override;
    void arrived() override;
    bool asking() const override;
    void probe(int probe) override;
    bool endRenderer() override;
    void startWatch(int ms) override { m_watch.start(ms); }
    void stopWatch() override { m_watch.stop(); }
    void ended() override { emit DownloadComplete(); }

    QWebEngineProfile *m_profile = nullptr;
    EnginePage *m_page = nullptr;
    QWebEngineView *m_view = nullptr;
    PageAnswers *m_answers = nullptr;
    NewWindows *m_newWindows = nullptr;
    QLabel *m_crashNotice = nullptr;
    QGridLayout *m_fill = nullptr;
    QUrl m_homePage;
    QUrl m_searchPage;
    QString m_error;
    QString m_frameToken;
    bool m_offline = false;
    Navigation m_navigation{*this};
    QTimer m_watch;
};
