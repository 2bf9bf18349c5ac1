#pragma once

#include <QObject>
#include <QTimer>

#include <functional>

class EnginePage;

// Gets the user off a page that does not want to let go. The page's waiting
// questions are answered Cancel and its further ones go unasked until the next
// page starts; a page whose script never gives its renderer back (an endless loop,
// question after question) cannot let the navigation in, so its renderer is ended
// and the navigation made again.
class PageLeaving : public QObject
{
    Q_OBJECT
public:
    // How long a page being left may keep its renderer busy.
    static constexpr int kLetGoMs = 3000;

    PageLeaving(EnginePage *page, QObject *parent);

    // navigate runs now, or once the loops of the page's waiting questions have ended.
    void leave(std::function<void()> navigate);
    // The navigation ended, or the next page started.
    void settled();
    // The page's renderer ended. True when it was ended here: the navigation is
    // made again, and there is no crash to report.
    bool takeEnded();

private:
    void check();

    EnginePage *m_page;
    std::function<void()> m_navigate;
    // The navigation to make again once the renderer ended here is gone.
    std::function<void()> m_retry;
    QTimer m_watch;
    int m_probe = 0;
    bool m_answered = false;
};
