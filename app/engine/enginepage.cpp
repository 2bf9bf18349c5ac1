#include "enginepage.h"

EnginePage::EnginePage(QWebEngineProfile *profile, QString frameToken, QObject *parent)
    : QWebEnginePage(profile, parent), m_frameToken(std::move(frameToken))
{
}

// The browser has one view: a link that asks for a new window opens in this one.
QWebEnginePage *EnginePage::createWindow(WebWindowType)
{
    return this;
}

void EnginePage::javaScriptConsoleMessage(JavaScriptConsoleMessageLevel, const QString &message,
                                          int, const QString &)
{
    if (message == m_frameToken)
        emit frameLoadFinished();
}
