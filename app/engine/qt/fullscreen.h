#pragma once

#include <QObject>
#include <QPointer>

class QGridLayout;
class QWebEngineFullScreenRequest;
class QWebEnginePage;
class QWebEngineView;
class QWidget;

// A page that asks for full screen gets it: the browser's view of the page moves
// into a frameless window over the whole screen, and back into its place in the
// browser when the page leaves, by itself, by Esc or by the window being closed.
// The page keeps its one view throughout: the engine ties the page's accessibility
// tree to the view it was shown in, and a second view that came and went would leave
// that tree pointing at a view that is gone. The main window and its layout are never
// touched, so everything is where it was when the page comes back.
class FullScreen : public QObject
{
    Q_OBJECT
public:
    // `view` shows `page` in cell (0, 0) of `home` when the page is not full screen.
    FullScreen(QWebEngineView *view, QGridLayout *home, QWebEnginePage *page, QObject *parent);
    ~FullScreen() override;

    void request(QWebEngineFullScreenRequest request);
    QWidget *window() const { return m_window; }

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void enter();
    // Back into the browser, at once: a page that no longer answers must not keep
    // the screen.
    void leave();
    void userLeaves();
    void bringViewHome();

    QPointer<QWebEngineView> m_view;
    QPointer<QGridLayout> m_home;
    QWebEnginePage *m_page;
    QPointer<QWidget> m_window;
};
