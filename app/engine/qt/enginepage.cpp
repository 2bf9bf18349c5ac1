#include "enginepage.h"

#include "pagewindows/pagequestions.h"

#include <QCoreApplication>
#include <QWebEngineScript>
#include <QWebEngineScriptCollection>

namespace {

// Marks the start of each main-frame document on the console, in our own world;
// the engine reports it before anything that document's own scripts ask.
QString documentStartToken(const QString &frameToken)
{
    return frameToken + QStringLiteral(":document");
}

} // namespace

EnginePage::EnginePage(QWebEngineProfile *profile, QString frameToken, QObject *parent)
    : QWebEnginePage(profile, parent), m_frameToken(std::move(frameToken)),
      m_questions(new PageQuestions(this))
{
    QWebEngineScript documentStart;
    documentStart.setName(QStringLiteral("document-start-watch"));
    documentStart.setSourceCode(
            QStringLiteral("console.debug('%1');").arg(documentStartToken(m_frameToken)));
    documentStart.setInjectionPoint(QWebEngineScript::DocumentCreation);
    documentStart.setWorldId(QWebEngineScript::ApplicationWorld);
    documentStart.setRunsOnSubFrames(false);
    scripts().insert(documentStart);
    connect(this, &EnginePage::documentStarted, m_questions, &PageQuestions::newPage);
}

bool EnginePage::acceptNavigationRequest(const QUrl &url, NavigationType type, bool isMainFrame)
{
    if (isMainFrame)
        emit navigationAccepted(url, type);
    return true;
}

// None: the engine then asks through newWindowRequested, which tells whether the
// user asked (see NewWindows). Given a page here, it would not.
QWebEnginePage *EnginePage::createWindow(WebWindowType)
{
    return nullptr;
}

void EnginePage::javaScriptConsoleMessage(JavaScriptConsoleMessageLevel, const QString &message,
                                          int, const QString &)
{
    if (message == m_frameToken)
        emit frameLoadFinished();
    else if (message == documentStartToken(m_frameToken))
        emit documentStarted();
}

void EnginePage::javaScriptAlert(const QUrl &securityOrigin, const QString &msg)
{
    m_questions->ask(PageQuestion::Alert, securityOrigin, msg);
}

bool EnginePage::javaScriptConfirm(const QUrl &securityOrigin, const QString &msg)
{
    // The engine asks the leave-page question through here, in these words.
    static const QString leavePage = QCoreApplication::translate(
            "QWebEnginePage",
            "Are you sure you want to leave this page? Changes that you made may not be saved.");
    return m_questions->ask(msg == leavePage ? PageQuestion::LeavePage : PageQuestion::Confirm,
                          securityOrigin, msg);
}

bool EnginePage::javaScriptPrompt(const QUrl &securityOrigin, const QString &msg,
                                  const QString &defaultValue, QString *result)
{
    *result = defaultValue;
    return m_questions->ask(PageQuestion::Prompt, securityOrigin, msg, result);
}
