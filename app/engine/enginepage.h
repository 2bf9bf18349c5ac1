#pragma once

#include <QWebEnginePage>

// The one page of the browser. Links that ask for a new window open in it, and
// the frame watcher's console token (see engineprofile.h) becomes a signal.
class EnginePage : public QWebEnginePage
{
    Q_OBJECT
public:
    EnginePage(QWebEngineProfile *profile, QString frameToken, QObject *parent);

signals:
    void frameLoadFinished();

protected:
    QWebEnginePage *createWindow(WebWindowType type) override;
    void javaScriptConsoleMessage(JavaScriptConsoleMessageLevel level, const QString &message,
                                  int lineNumber, const QString &sourceId) override;

private:
    QString m_frameToken;
};
