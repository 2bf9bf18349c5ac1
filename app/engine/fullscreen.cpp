#include "fullscreen.h"

#include "fullscreennotice.h"

#include <QAction>
#include <QEvent>
#include <QGridLayout>
#include <QWebEngineFullScreenRequest>
#include <QWebEngineView>

FullScreen::FullScreen(QWebEngineView *view, QWebEnginePage *page, QObject *parent)
    : QObject(parent), m_view(view), m_page(page)
{
}

FullScreen::~FullScreen()
{
    // The browser is going, and its window may be half gone: the page is not moved
    // back, only left without a view.
    delete m_window.data();
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
    if (m_window)
        return;
    m_window = new QWidget(nullptr, Qt::Window | Qt::FramelessWindowHint);
    m_window->setObjectName(QStringLiteral("fullScreenPage"));
    m_window->setWindowTitle(m_view->window()->windowTitle());
    m_window->installEventFilter(this);
    auto *fill = new QGridLayout(m_window);
    fill->setContentsMargins(0, 0, 0, 0);
    m_fullView = new QWebEngineView(m_window);
    fill->addWidget(m_fullView, 0, 0);
    m_fullView->setPage(m_page);

    // Esc is the user's way out, whatever the page does with its keys.
    auto *exit = new QAction(m_window);
    exit->setShortcut(Qt::Key_Escape);
    connect(exit, &QAction::triggered, this, &FullScreen::userLeaves);
    m_window->addAction(exit);

    m_window->showFullScreen();
    FullScreenNotice::showOver(m_window, m_page->url());
    m_window->raise();
    m_window->activateWindow();
    m_fullView->setFocus();
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

void FullScreen::leave()
{
    if (!m_window)
        return;
    QWidget *window = m_window;
    m_window = nullptr;
    const bool focused = window->isActiveWindow();
    // The page goes back before its full-screen view goes, so that no view is ever
    // left to make a page of its own.
    m_view->setPage(m_page);
    m_fullView = nullptr;
    window->hide();
    // Not now: Esc's action, a child of the window, may be what called.
    window->deleteLater();
    if (focused) {
        m_view->window()->activateWindow();
        m_view->setFocus();
    }
}
