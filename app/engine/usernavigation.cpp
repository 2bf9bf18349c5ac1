#include "usernavigation.h"

namespace {

QUrl comparable(const QUrl &url)
{
    return url.adjusted(QUrl::RemoveFragment);
}

} // namespace

void UserNavigation::begin(std::function<void()> go, const QUrl &url)
{
    m_go = std::move(go);
    m_at = comparable(url);
    m_tries = 0;
    m_refused = false;
    m_go();
}

void UserNavigation::end()
{
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
    // The user's load cut short while the user did not stop it: the page's navigation
    // took its place.
    if (finished && comparable(url) == m_at) {
        end();
        return Outcome::Done;
    }
    // Another load ended while the user's still runs.
    if (!idle)
        return Outcome::NotTheUsers;
    // The engine loads nothing, and not where the user asked: the page's navigation took
    // the frame, and the user's is made again. Without a refusal there is no sign of a
    // page in the way, and a load that ended elsewhere (a download, say) is not repeated.
    if (!m_refused || m_tries >= kMaxTries) {
        end();
        return Outcome::Done;
    }
    ++m_tries;
    m_refused = false;
    m_go();
    return Outcome::MadeAgain;
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
