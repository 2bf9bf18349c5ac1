#include "navigation.h"

void Navigation::asked(Kind kind, const QUrl &url, std::function<void()> go)
{
    m_kind = kind;
    m_url = url.adjusted(QUrl::RemoveFragment);
    m_go = std::move(go);
    m_retries = 0;
    m_displaced = 0;
    begin();
}

void Navigation::begin()
{
    m_state = State::Asked;
    m_engine.navigate(m_go);
    m_answered = false;
    m_engine.probe(++m_probe);
    m_engine.startWatch(kLetGoMs);
}

void Navigation::settle(bool tell)
{
    m_state = State::Idle;
    m_go = nullptr;
    m_engine.stopWatch();
    m_engine.arrived();
    if (tell)
        m_engine.ended();
}

bool Navigation::ours(const QUrl &url) const
{
    return !m_url.isEmpty() && url.adjusted(QUrl::RemoveFragment) == m_url;
}

void Navigation::stopped(bool engineLoading)
{
    if (m_state == State::Idle)
        return;
    // A load under way reports its own end; one the engine had not begun ends here.
    settle(!engineLoading || m_state == State::Asked);
}

void Navigation::accepted(const QUrl &url, Kind kind)
{
    if (m_state == State::Asked && (kind == m_kind || ours(url))) {
        m_state = State::Begun;
        m_taken = {url.adjusted(QUrl::RemoveFragment)};
    } else if (m_state == State::Begun) {
        m_taken << url.adjusted(QUrl::RemoveFragment); // a redirect of the user's, say
    }
}

void Navigation::documentStarted(const QUrl &url)
{
    // Before the engine took the user's navigation, a new document is one of the page's own.
    if (m_state != State::Begun)
        return;
    if (!m_taken.contains(url.adjusted(QUrl::RemoveFragment))) {
        if (m_kind == Kind::Load && m_displaced < kMaxRetries) {
            ++m_displaced;
            begin();
        }
        return;
    }
    m_state = State::Committed;
    m_engine.stopWatch();
    m_engine.arrived();
}

void Navigation::loadEnded(const QUrl &url, bool engineLoading)
{
    switch (m_state) {
    case State::Idle:
        m_engine.ended(); // the page's own load
        return;
    case State::Asked:
        // The engine may end the user's load without having reported taking it: it took
        // over a load already under way, or it was no navigation at all (a bad scheme).
        if (ours(url) && !engineLoading)
            return settle();
        return m_engine.ended(); // a load of the page's, before the user's
    case State::Begun:
    case State::Committed:
        if (!engineLoading)
            settle();
        return;
    case State::Ending:
        return; // the renderer being ended takes its loads with it
    }
}

void Navigation::sameDocument(bool engineLoading)
{
    // A navigation within the document is taken and made at once, without a start or an end.
    if (m_state == State::Asked && !engineLoading)
        settle();
}

void Navigation::rendererAnswered(int probe)
{
    if (probe == m_probe)
        m_answered = true;
}

void Navigation::rendererEnded()
{
    if (m_state == State::Ending && m_retries < kMaxRetries) {
        ++m_retries;
        return begin();
    }
    if (m_state != State::Idle)
        settle();
}

void Navigation::watchExpired()
{
    if (m_state != State::Asked && m_state != State::Begun)
        return;
    // The page asks whether the user wants to leave it: the user decides.
    if (m_engine.asking())
        return m_engine.startWatch(kLetGoMs);
    if (!m_answered && m_engine.endRenderer()) {
        m_state = State::Ending;
        return;
    }
    // The renderer is alive. The engine loads the user's page, or it let the navigation go
    // without a word (a history step within the document, say).
    if (m_state == State::Asked)
        settle();
}
