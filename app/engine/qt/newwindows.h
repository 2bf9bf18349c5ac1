#pragma once

#include <QObject>
#include <QPointer>
#include <QSet>
#include <QString>

#include <functional>
#include <memory>
#include <vector>

class EnginePage;
class PageAnswers;
class PageServices;
class PopupWindow;
class QUrl;
class QWebEngineNewWindowRequest;
class QWebEnginePage;
class QWebEngineProfile;

// The windows that pages ask for. The browser has one view: a new tab or window (a
// link with target="_blank", a middle click, window.open() without features) loads its
// address in that view as a navigation of the user's, so Back returns to the page that
// had the link, and the new page gets no opener. A popup (window.open() with a size:
// a sign-in, say) opens in a small window of its own over the page area, with its
// opener, and gets the same answers as the browser's page. Only what the user asked
// for opens: a request without a click or key of the user's behind it is refused, and
// the engine does not even pass on a script's window.open() without one. One popup at
// a time: while one is open, another is refused and the open one is brought forward,
// so a page cannot swap the popup the user is typing into for another.
class NewWindows : public QObject
{
    Q_OBJECT
public:
    struct Parts
    {
        QWidget *pageArea; // the engine control
        QWebEngineProfile *profile;
        EnginePage *page;
        const PageAnswers *answers;
        PageServices *services;
        std::function<bool()> offline;
        QString frameToken;
        std::function<void(const QUrl &)> openInView; // a navigation of the user's
    };

    NewWindows(Parts parts, QObject *parent);
    ~NewWindows() override;

    PopupWindow *popup() const;

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    struct Popup;

    void watch(QWebEnginePage *page);
    void requested(QWebEnginePage *from, QWebEngineNewWindowRequest &request);
    void openPopup(QWebEngineNewWindowRequest &request);
    void showWhere();
    void endPopup();
    void discardEnded();

    Parts m_parts;
    std::unique_ptr<Popup> m_popup;
    std::vector<std::unique_ptr<Popup>> m_ended; // closed, gone once nothing of theirs runs
    QPointer<QWidget> m_mainWindow;
    // Hosts whose certificate was found wrong this session: never "Secure", even if
    // the user chose to go on.
    QSet<QString> m_untrusted;
};
