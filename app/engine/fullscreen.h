#pragma once

#include <QObject>
#include <QPointer>

class QWebEngineFullScreenRequest;
class QWebEnginePage;
class QWebEngineView;
class QWidget;

// A page that asks for full screen gets it: the page moves into a view of its own
// in a frameless window over the whole screen, and back into the browser's view
// when it leaves, by itself, by Esc or by the window being closed. The main window
// and its layout are never touched, so everything is where it was when the page
// comes back.
class FullScreen : public QObject
{
    Q_OBJECT
public:
    // `view` shows `page` when the page is not full screen.
    FullScreen(QWebEngineView *view, QWebEnginePage *page, QObject *parent);
    ~FullScreen() override;

    void request(QWebEngineFullScreenRequest request);
    QWidget *window() const { return m_window; }

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void enter();
    // Back into the browser's view, at once: a page that no longer answers must not
    // keep the screen.
    void leave();
    void userLeaves();

    QWebEngineView *m_view;
    QWebEnginePage *m_page;
    QWebEngineView *m_fullView = nullptr;
    QPointer<QWidget> m_window;
};
