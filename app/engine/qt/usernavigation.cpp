#include "usernavigation.h"

namespace {

QUrl comparable(const QUrl &url)
{
    return url.adjusted(QUrl::RemoveFragment);
}

} // namespace

UserNavigation::UserNavigation(QObject *parent) : QWebEngineUrlRequestInterceptor(parent)
{
    m_hold.setSingleShot(true);
    m_hold.setInterval(kHoldMs);
    // No navigation of the page's showed up, and no download: what cut the user's load
    // short may have been the page's, refused before (its error page, say). Once more.
    connect(&m_hold, &QTimer::timeout, this, [this] {
        if (m_tries >= kMaxTries)
            return end();
        ++m_tries;
        m_refused = false;
        m_go();
    });
}

void UserNavigation::begin(std::function<void()> go, const QUrl &url)
{
    m_hold.stop();
    m_go = std::move(go);
    m_at = comparable(url);
    m_tries = 0;
    m_refused = false;
    m_go();
}

void UserNavigation::end()
{
    m_hold.stop();
    m_go = nullptr;
    m_at.clear();
}

bool UserNavigation::documentStarted(const QUrl &url)
{
    if (!pending() || comparable(url) != m_at)
        return false;
    end();
    return true;
}

UserNavigation::Outcome UserNavigation::loadEnded(const QUrl &url, bool finished, bool idle)
{
    if (!pending())
        return Outcome::NotTheUsers;
    // The user's load has loaded, or failed for a reason of its own.
    if (finished && comparable(url) == m_at) {
        end();
        return Outcome::Done;
    }
    // Another load ended while the user's still runs.
    if (!idle)
        return Outcome::NotTheUsers;
    // The engine loads nothing, and not what the user asked: a navigation of the page's,
    // refused here, took the frame. The user's is made again.
    if (m_refused && m_tries < kMaxTries) {
        ++m_tries;
        m_refused = false;
        m_go();
        return Outcome::MadeAgain;
    }
    // The user's load was cut short, by a navigation of the page's or because it became a
    // download. The page's navigations stay refused a moment longer: one that shows up
    // makes the user's again (above), a download ends the hold, and otherwise the user's
    // is made again when the hold ends.
    if (!finished && comparable(url) == m_at && !m_hold.isActive() && m_tries < kMaxTries) {
        m_hold.start();
        return Outcome::Held;
    }
    end();
    return Outcome::Done;
}

void UserNavigation::interceptRequest(QWebEngineUrlRequestInfo &info)
{
    if (!pending() || info.resourceType() != QWebEngineUrlRequestInfo::ResourceTypeMainFrame)
        return;
    if (info.initiator().isEmpty()) {
        m_at = comparable(info.requestUrl());
        return;
    }
    m_refused = true;
    info.block(true);
}
