#pragma once

#include <QWebEnginePage>

class PageQuestions;

// A page of the browser (its own, or a popup's). What asks for a new window is
// answered by NewWindows, the frame watcher's console token (see engineprofile.h)
// becomes a signal, and the page's own questions are asked over the page (see pagequestions.h).
class EnginePage : public QWebEnginePage
{
    Q_OBJECT
public:
    EnginePage(QWebEngineProfile *profile, QString frameToken, QObject *parent);

    PageQuestions *questions() const { return m_questions; }

signals:
    void frameLoadFinished();
    // A new document begins in the main frame, before any script of its own runs.
    void documentStarted();
    // The engine is about to make a navigation of the main frame.
    void navigationAccepted(const QUrl &url, QWebEnginePage::NavigationType type);

protected:
    bool acceptNavigationRequest(const QUrl &url, NavigationType type, bool isMainFrame) override;
    QWebEnginePage *createWindow(WebWindowType type) override;
    void javaScriptConsoleMessage(JavaScriptConsoleMessageLevel level, const QString &message,
                                  int lineNumber, const QString &sourceId) override;
    void javaScriptAlert(const QUrl &securityOrigin, const QString &msg) override;
    bool javaScriptConfirm(const QUrl &securityOrigin, const QString &msg) override;
    bool javaScriptPrompt(const QUrl &securityOrigin, const QString &msg,
                          const QString &defaultValue, QString *result) override;

private:
    QString m_frameToken;
    PageQuestions *m_questions = nullptr;
};
