#include "fullscreen.h"

#include "pagewindows/fullscreennotice.h"

#include <QAction>
#include <QEvent>
#include <QGridLayout>
#include <QWebEngineFullScreenRequest>
#include <QWebEngineView>

FullScreen::FullScreen(QWebEngineView *view, QGridLayout *home, QWebEnginePage *page, QObject *parent)
    : QObject(parent), m_view(view), m_home(home), m_page(page)
{
}

FullScreen::~FullScreen()
{
    // The browser is going, and its window may be half gone: the view is only taken
    // out of the full-screen window, unseen, for the browser to delete it before its page.
    if (m_window) {
        if (m_view)
            m_view->setParent(nullptr);
        delete m_window.data();
    }
}

void FullScreen::request(QWebEngineFullScreenRequest request)
{
    request.accept();
    if (request.toggleOn())
        enter();
    else
        leave();
}

void FullScreen::enter()
{
    if (m_window || !m_view || !m_home)
        return;
    m_window = new QWidget(nullptr, Qt::Window | Qt::FramelessWindowHint);
    m_window->setObjectName(QStringLiteral("fullScreenPage"));
    m_window->setWindowTitle(m_view->window()->windowTitle());
    m_window->installEventFilter(this);
    auto *fill = new QGridLayout(m_window);
    fill->setContentsMargins(0, 0, 0, 0);
    fill->addWidget(m_view, 0, 0);

    // Esc is the user's way out, whatever the page does with its keys.
    auto *exit = new QAction(m_window);
    exit->setShortcut(Qt::Key_Escape);
    connect(exit, &QAction::triggered, this, &FullScreen::userLeaves);
    m_window->addAction(exit);

    m_window->showFullScreen();
    FullScreenNotice::showOver(m_window, m_page->url());
    m_window->raise();
    m_window->activateWindow();
    m_view->setFocus();
}

void FullScreen::userLeaves()
{
    if (!m_window)
        return;
    leave();
    m_page->triggerAction(QWebEnginePage::ExitFullScreen);
}

bool FullScreen::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == m_window && event->type() == QEvent::Close) {
        event->ignore();
        userLeaves();
        return true;
    }
    return QObject::eventFilter(watched, event);
}

void FullScreen::bringViewHome()
{
    if (!m_view || !m_home)
        return;
    m_home->addWidget(m_view, 0, 0);
    // Under whatever notice now covers the page, as it was before it left.
    m_view->lower();
}

void FullScreen::leave()
{
    if (!m_window)
        return;
    QWidget *window = m_window;
    m_window = nullptr;
    const bool focused = window->isActiveWindow();
    bringViewHome();
    if (m_view)
        m_view->show();
    window->hide();
    // Not now: Esc's action, a child of the window, may be what called.
    window->deleteLater();
    if (focused && m_view) {
        m_view->window()->activateWindow();
        m_view->setFocus();
    }
}
