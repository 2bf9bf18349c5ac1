#include "pageleaving.h"

#include "enginepage.h"
#include "pagewindows/pagequestions.h"

#include <QPointer>
#include <QWebEngineScript>

#ifdef Q_OS_WIN
#include <qt_windows.h>
#else
#include <csignal>
#endif

namespace {

void endProcess(qint64 pid)
{
#ifdef Q_OS_WIN
    if (HANDLE process = OpenProcess(PROCESS_TERMINATE, FALSE, DWORD(pid))) {
        TerminateProcess(process, 1);
        CloseHandle(process);
    }
#else
    ::kill(pid_t(pid), SIGKILL);
#endif
}

} // namespace

PageLeaving::PageLeaving(EnginePage *page, QObject *parent) : QObject(parent), m_page(page)
{
    m_watch.setSingleShot(true);
    m_watch.setInterval(kLetGoMs);
    connect(&m_watch, &QTimer::timeout, this, &PageLeaving::check);
    connect(page, &EnginePage::documentStarted, this, &PageLeaving::settled);
}

void PageLeaving::leave(std::function<void()> navigate)
{
    PageQuestions *dialogs = m_page->questions();
    dialogs->setLeaving(true);
    m_navigate = navigate;
    m_retry = nullptr;
    if (dialogs->isWaiting()) {
        // The question's loop lies further down the stack: the engine is asked to
        // navigate once that loop has ended, not from within it.
        dialogs->dismissAll();
        QTimer::singleShot(0, m_page, std::move(navigate));
    } else {
        navigate();
    }
    // A sign of life: the renderer runs this only once the page's script yields.
    const int probe = ++m_probe;
    m_answered = false;
    m_page->runJavaScript(QStringLiteral("0"), QWebEngineScript::ApplicationWorld,
                          [self = QPointer(this), probe](const QVariant &) {
                              if (self && self->m_probe == probe)
                                  self->m_answered = true;
                          });
    m_watch.start();
}

void PageLeaving::settled()
{
    m_watch.stop();
    m_navigate = nullptr;
    m_page->questions()->setLeaving(false);
}

void PageLeaving::check()
{
    if (m_answered || !m_navigate)
        return;
    // The page asks whether the user wants to leave it: the user decides.
    if (m_page->questions()->isWaiting()) {
        m_watch.start();
        return;
    }
    const qint64 pid = m_page->renderProcessPid();
    if (pid <= 0)
        return;
    m_retry = m_navigate;
    endProcess(pid);
}

bool PageLeaving::takeEnded()
{
    if (!m_retry)
        return false;
    m_page->questions()->dismissAll();
    QTimer::singleShot(0, m_page, std::exchange(m_retry, nullptr));
    return true;
}
