#pragma once

#include <QTimer>
#include <QUrl>
#include <QWebEngineUrlRequestInterceptor>

#include <functional>

// The user's navigation comes first. While one the user asked for (an address, Back,
// Forward, Refresh, Home, Search) is on its way, until its document begins, the page
// cannot start one of its own in the main frame: a script's location.replace() would otherwise take the frame from the
// user's load, again and again. The engine's requests tell the two apart: the user's,
// and its server's redirects, have no initiating document; the page's carry its origin.
// Should a navigation of the page's still have taken the frame, the user's is made again.
class UserNavigation : public QWebEngineUrlRequestInterceptor
{
public:
    explicit UserNavigation(QObject *parent);

    // The user asked for `go` (to `url`, where known beforehand); `go` runs now.
    void begin(std::function<void()> go, const QUrl &url = QUrl());
    // The user's navigation ended, or the user turned away from it (Stop).
    void end();
    bool pending() const { return bool(m_go); }

    // A main-frame document began at `url`. True when it is the user's: from now on the
    // page is the user's page, and what it does is its own affair (a script of its own
    // may send the user on, as sites do).
    bool documentStarted(const QUrl &url);

    // Held: the user's load ended, cut short, and the page is held back a moment longer.
    enum class Outcome { NotTheUsers, Done, MadeAgain, Held };
    // A load ended at `url`: `finished` (it loaded, or failed for a reason of its own) or
    // cut short; the engine now loads nothing (`idle`) or goes on.
    Outcome loadEnded(const QUrl &url, bool finished, bool idle);

    void interceptRequest(QWebEngineUrlRequestInfo &info) override;

private:
    static constexpr int kMaxTries = 3;
    static constexpr int kHoldMs = 2000;

    std::function<void()> m_go;
    QUrl m_at; // where the user's load is, after its server's redirects
    int m_tries = 0;
    bool m_refused = false; // a navigation of the page's was refused meanwhile
    QTimer m_hold;
};
