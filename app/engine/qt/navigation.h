#pragma once

#include <QList>
#include <QUrl>

#include <functional>

// What the browser's own navigation is doing, in one place: the user's navigation (an
// address, Back, Forward, Refresh, Home, Search) from the moment it is asked until the
// engine has ended it. The engine's events come in through one function each; what the
// machine does goes out through `Engine`, so that it runs without a real engine in tests.
//
// The engine reports the start of the user's navigation a moment after the call that made
// it (and not at all when it takes over a load already under way), reports the end of a
// load only when it goes idle, and reports a same-document navigation only as a new
// address. Until the engine has taken the user's navigation, the end of a load is the
// page's own; from then on the engine's word is final.
//
// A document of the page's that was already on its way when the engine took the user's
// navigation may still begin, and the engine then drops the user's: an address the user
// loaded is loaded again (Back or Refresh are not, as a second step would go on from the
// first).
//
// A page that never gives its renderer back (an endless script) cannot let a navigation
// in: after `kLetGoMs` without a sign of life from the renderer, and with no question of
// the page waiting for the user, the renderer is ended and the navigation made once more.
// On a slow machine this can end a renderer that was only late to answer: that page was
// being left anyway.
class Navigation
{
public:
    // The user's navigation, in the engine's words (Other: any other, such as a redirect).
    enum class Kind { Load, History, Reload, Other };
    enum class State {
        Idle,      // nothing of the user's under way (the page may load on its own)
        Asked,     // the user's navigation is made; the engine has not taken it yet
        Begun,     // the engine took it: its end is the end of the user's navigation
        Committed, // its document began: the page was left
        Ending,    // the page being left would not let go: its renderer is being ended
    };

    class Engine
    {
    public:
        virtual ~Engine() = default;
        // Runs the navigation; the page's waiting questions are answered Cancel first, and
        // from now on only the leave-page question is asked.
        virtual void navigate(const std::function<void()> &go) = 0;
        // The page was left, or the navigation ended: the page may ask again.
        virtual void arrived() = 0;
        // A question of the page waits for the user.
        virtual bool asking() const = 0;
        // Asks the renderer for a sign of life, answered through rendererAnswered(probe).
        virtual void probe(int probe) = 0;
        // Ends the page's renderer; false when none runs.
        virtual bool endRenderer() = 0;
        virtual void startWatch(int ms) = 0;
        virtual void stopWatch() = 0;
        // The load the user asked for ended (finished, failed, stopped or dropped).
        virtual void ended() = 0;
    };

    static constexpr int kLetGoMs = 3000;
    // A page that takes its new renderer down again is not followed for ever.
    static constexpr int kMaxRetries = 2;

    explicit Navigation(Engine &engine) : m_engine(engine) {}

    State state() const { return m_state; }
    bool busy() const { return m_state != State::Idle; }

    // The user asked for `go`, a navigation of `kind` to `url` (where known beforehand).
    void asked(Kind kind, const QUrl &url, std::function<void()> go);
    // The user pressed Stop.
    void stopped(bool engineLoading);

    // The engine's events.
    void accepted(const QUrl &url, Kind kind);       // a main-frame navigation it is about to make
    void documentStarted(const QUrl &url);           // a main-frame document began
    void loadEnded(const QUrl &url, bool engineLoading); // a load ended
    void sameDocument(bool engineLoading);           // the address changed within the document
    void rendererAnswered(int probe);
    void rendererEnded(); // the renderer is gone, for whatever reason
    void watchExpired();

private:
    void begin();
    // Back to idle; `tell`: the load ended here, not in a report of the engine's still to come.
    void settle(bool tell = true);
    bool ours(const QUrl &url) const;

    Engine &m_engine;
    State m_state = State::Idle;
    Kind m_kind = Kind::Load;
    QUrl m_url;
    QList<QUrl> m_taken; // what the engine took since it took the user's navigation
    std::function<void()> m_go;
    int m_probe = 0;
    int m_retries = 0;
    int m_displaced = 0;
    bool m_answered = false;
};
