#include "qtwebbrowser.h"

#include "engine/address/addressinput.h"
#include "enginepage.h"
#include "engineprofile.h"
#include "newwindows.h"
#include "pageaccessibility.h"
#include "pageanswers.h"
#include "pagewindows/pagequestions.h"

#include <QEventLoop>
#include <QGridLayout>
#include <QLabel>
#include <QPointer>
#include <QUuid>
#include <QWebEngineFileSystemAccessRequest>
#include <QWebEngineFindTextResult>
#include <QWebEngineHistory>
#include <QWebEngineLoadingInfo>
#include <QWebEngineProfile>
#include <QWebEngineRegisterProtocolHandlerRequest>
#include <QWebEngineScript>
#include <QWebEngineSettings>
#include <QWebEngineView>

#include <algorithm>
#include <array>

#ifdef Q_OS_WIN
#include <qt_windows.h>
#else
#include <csignal>
#endif

namespace {

const QString kCrashNotice = QStringLiteral(
        "<p><b>This page stopped working.</b></p>"
        "<p>The engine's page process ended unexpectedly. "
        "Type an address or press Refresh to load a page again.</p>");

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

// How long the control waits, when it goes, for the engine to finish printing.
constexpr int kPrintEndWaitMs = 10000;

// The steps of page zoom, as browsers commonly take them, within the 0.25 to 5 that
// the engine allows.
constexpr std::array kZoomFactors{0.25, 1.0 / 3, 0.5, 2.0 / 3, 0.75, 0.8, 0.9, 1.0, 1.1,
                                  1.25, 1.5,     1.75, 2.0,     2.5,  3.0, 4.0, 5.0};

} // namespace

QtWebBrowser::QtWebBrowser(QWidget *parent, PageServices *services,
                           const std::function<bool()> &assistiveTechActive)
    : WebBrowser(parent), m_homePage(QString::fromLatin1(kHomePage)),
      m_searchPage(QString::fromLatin1(kSearchPage))
{
    m_watch.setSingleShot(true);
    connect(&m_watch, &QTimer::timeout, this, [this] { m_navigation.watchExpired(); });
    startEngine(services, assistiveTechActive);
}

QtWebBrowser::~QtWebBrowser()
{
    // A page deleted while the engine prints it would be told of the end after it
    // is gone; the engine gets a bounded time to finish first.
    if (m_answers && m_answers->printing()) {
        QEventLoop wait;
        connect(m_answers, &PageAnswers::printingEnded, &wait, &QEventLoop::quit);
        QTimer::singleShot(kPrintEndWaitMs, &wait, &QEventLoop::quit);
        wait.exec();
    }
    // Every view of the page goes before the page, and the page before its profile.
    delete m_newWindows;
    delete m_answers;
    delete m_view;
    delete m_page;
}

void QtWebBrowser::startEngine(PageServices *services, const std::function<bool()> &assistiveTechActive)
{
    preparePageAccessibility(assistiveTechActive);
    m_frameToken = QUuid::createUuid().toString(QUuid::WithoutBraces);
    m_profile = makeEngineProfile([this] { return m_offline; }, m_frameToken, this);

    m_page = new EnginePage(m_profile, m_frameToken, nullptr);
    connect(m_page, &EnginePage::navigationAccepted, this,
            [this](const QUrl &url, QWebEnginePage::NavigationType type) {
                if (type == QWebEnginePage::NavigationTypeTyped)
                    m_navigation.accepted(url, Navigation::Kind::Load);
                else if (type == QWebEnginePage::NavigationTypeBackForward)
                    m_navigation.accepted(url, Navigation::Kind::History);
                else if (type == QWebEnginePage::NavigationTypeReload)
                    m_navigation.accepted(url, Navigation::Kind::Reload);
                else
                    m_navigation.accepted(url, Navigation::Kind::Other);
            });
    connect(m_page, &EnginePage::documentStarted, this, [this] { m_navigation.documentStarted(m_page->url()); });
    connect(m_page, &QWebEnginePage::urlChanged, this,
            [this] { m_navigation.sameDocument(m_page->isLoading()); });
    // Nothing in the window shows a page's icon, so it is not fetched.
    m_page->settings()->setAttribute(QWebEngineSettings::AutoLoadIconsForPage, false);
    m_page->settings()->setAttribute(QWebEngineSettings::LocalContentCanAccessRemoteUrls, false);
    // A PDF sent to be shown opens in the engine's own viewer, in the page; one sent
    // as an attachment is still a download. The viewer here has no save or print
    // button of its own: the page's "Save page" saves the PDF as a download like any.
    m_page->settings()->setAttribute(QWebEngineSettings::PluginsEnabled, true);
    m_page->settings()->setAttribute(QWebEngineSettings::PdfViewerEnabled, true);

    connect(m_page, &QWebEnginePage::fileSystemAccessRequested, m_page,
            [](QWebEngineFileSystemAccessRequest request) { request.reject(); });
    connect(m_page, &QWebEnginePage::registerProtocolHandlerRequested, m_page,
            [](QWebEngineRegisterProtocolHandlerRequest request) { request.reject(); });

    connect(m_page, &QWebEnginePage::loadingChanged, this, [this](const QWebEngineLoadingInfo &info) {
        if (info.status() == QWebEngineLoadingInfo::LoadStartedStatus)
            emit loadStarted();
        else
            m_navigation.loadEnded(info.url(), m_page->isLoading());
    });
    connect(m_page, &EnginePage::frameLoadFinished, this, &WebBrowser::DownloadComplete);
    connect(m_page, &QWebEnginePage::renderProcessTerminated, this,
            [this](QWebEnginePage::RenderProcessTerminationStatus status, int) {
                // Ended here: the navigation is made again once the engine is done with it.
                if (m_navigation.state() == Navigation::State::Ending) {
                    QTimer::singleShot(0, this, [this] { m_navigation.rendererEnded(); });
                    return;
                }
                if (status != QWebEnginePage::NormalTerminationStatus)
                    rendererGone();
            });

    connect(m_page, &QWebEnginePage::findTextFinished, this, [this](const QWebEngineFindTextResult &result) {
        emit findFinished(result.activeMatch(), result.numberOfMatches());
    });

    m_view = new QWebEngineView(this);
    m_view->setPage(m_page);
    m_page->questions()->setHost(this);
    m_view->setFocusPolicy(focusPolicy());
    // The focus given to the control goes to the page, so that its keys reach it.
    setFocusProxy(m_view);
    // The view, and the crash notice when there is one, fill the control.
    m_fill = new QGridLayout(this);
    m_fill->setContentsMargins(0, 0, 0, 0);
    m_fill->addWidget(m_view, 0, 0);
    m_answers = new PageAnswers({this, m_fill, m_profile, m_page, m_view}, services,
                                [this] { return m_offline; }, this);
    m_newWindows = new NewWindows({this, m_profile, m_page, m_answers, services, [this] { return m_offline; },
                                   m_frameToken, [this](const QUrl &url) { openFromPage(url); }},
                                  this);
}

bool QtWebBrowser::fail(const QString &reason)
{
    m_error = reason;
    return false;
}

bool QtWebBrowser::startLoad(const QUrl &url)
{
    navigateAsUser(Navigation::Kind::Load, url, [this, url] { m_page->load(url); });
    return true;
}

void QtWebBrowser::openFromPage(const QUrl &url)
{
    startLoad(url);
}

void QtWebBrowser::navigateAsUser(Navigation::Kind kind, const QUrl &url, std::function<void()> go)
{
    if (m_crashNotice)
        m_crashNotice->hide();
    m_navigation.asked(kind, url, std::move(go));
}

void QtWebBrowser::navigate(const std::function<void()> &go)
{
    PageQuestions *questions = m_page->questions();
    questions->setLeaving(true);
    if (!questions->dismissAll())
        return go();
    // The question's loop lies further down the stack: the engine is asked to navigate
    // once that loop has ended, not from within it.
    QTimer::singleShot(0, m_page, go);
}

void QtWebBrowser::arrived()
{
    m_page->questions()->setLeaving(false);
}

bool QtWebBrowser::asking() const
{
    return m_page->questions()->isWaiting();
}

void QtWebBrowser::probe(int probe)
{
    // The renderer runs this only once the page's script yields.
    m_page->runJavaScript(QStringLiteral("0"), QWebEngineScript::ApplicationWorld,
                          [self = QPointer(this), probe](const QVariant &) {
                              if (self)
                                  self->m_navigation.rendererAnswered(probe);
                          });
}

bool QtWebBrowser::endRenderer()
{
    const qint64 pid = m_page->renderProcessPid();
    if (pid <= 0)
        return false;
    endProcess(pid);
    return true;
}

bool QtWebBrowser::rendererDead() const
{
    // A page whose renderer died stays "loading" in the engine's eyes.
    return m_crashNotice && !m_crashNotice->isHidden();
}

void QtWebBrowser::rendererGone()
{
    const bool pageLoading = m_page->isLoading() && !rendererDead();
    if (!m_crashNotice) {
        m_crashNotice = new QLabel(kCrashNotice, this);
        m_crashNotice->setObjectName(QStringLiteral("crashNotice"));
        m_crashNotice->setAlignment(Qt::AlignCenter);
        m_crashNotice->setWordWrap(true);
        m_crashNotice->setAutoFillBackground(true);
        m_fill->addWidget(m_crashNotice, 0, 0);
    }
    m_crashNotice->show();
    m_crashNotice->raise();
    if (m_navigation.busy())
        m_navigation.rendererEnded();
    else if (pageLoading)
        emit DownloadComplete();
}

bool QtWebBrowser::Navigate(const QString &address)
{
    const AddressInput input = AddressInput::interpret(address);
    switch (input.kind) {
    case AddressInput::Nothing:
        return true;
    case AddressInput::Refused:
        return fail(input.reason);
    case AddressInput::Load:
        break;
    }
    return startLoad(input.url);
}

bool QtWebBrowser::GoBack()
{
    if (!m_page->history()->canGoBack())
        return fail(QStringLiteral("there is no earlier page."));
    navigateAsUser(Navigation::Kind::History, m_page->history()->backItem().url(),
                   [this] { m_page->triggerAction(QWebEnginePage::Back); });
    return true;
}

bool QtWebBrowser::GoForward()
{
    if (!m_page->history()->canGoForward())
        return fail(QStringLiteral("there is no later page."));
    navigateAsUser(Navigation::Kind::History, m_page->history()->forwardItem().url(),
                   [this] { m_page->triggerAction(QWebEnginePage::Forward); });
    return true;
}

bool QtWebBrowser::Stop()
{
    if (!m_page)
        return true;
    m_page->triggerAction(QWebEnginePage::Stop);
    m_navigation.stopped(m_page->isLoading());
    return true;
}

bool QtWebBrowser::Refresh()
{
    if (!m_page || m_page->url().isEmpty())
        return fail(QStringLiteral("no page is shown."));
    navigateAsUser(Navigation::Kind::Reload, m_page->url(),
                   [this] { m_page->triggerAction(QWebEnginePage::Reload); });
    return true;
}

bool QtWebBrowser::GoHome()
{
    return startLoad(m_homePage);
}

bool QtWebBrowser::GoSearch()
{
    return startLoad(m_searchPage);
}

QString QtWebBrowser::LocationURL(bool *ok) const
{
    if (ok)
        *ok = true;
    return m_page ? m_page->url().toString() : QString();
}

QString QtWebBrowser::LocationName(bool *ok) const
{
    if (ok)
        *ok = true;
    // QWebEnginePage::title() falls back to the address when a page has no title;
    // the history entry holds the page's own.
    return m_page ? m_page->history()->currentItem().title() : QString();
}

bool QtWebBrowser::Busy(bool *ok) const
{
    if (ok)
        *ok = true;
    return m_navigation.busy() || (m_page && m_page->isLoading() && !rendererDead());
}

void QtWebBrowser::setOffline(bool offline)
{
    m_offline = offline;
    if (offline)
        m_answers->wentOffline();
}

QString QtWebBrowser::lastError() const
{
    return m_error;
}

void QtWebBrowser::zoom(Zoom step)
{
    // The engine keeps a zoom level, not the factor it was given, and may hand back a
    // factor a little off a step; well under the smallest step apart, it counts as that step.
    constexpr double kTolerance = 0.01;
    const double now = m_page->zoomFactor();
    double next = 1.0;
    if (step == Zoom::In) {
        const auto above = std::upper_bound(kZoomFactors.begin(), kZoomFactors.end(), now + kTolerance);
        next = above == kZoomFactors.end() ? kZoomFactors.back() : *above;
    } else if (step == Zoom::Out) {
        const auto below = std::lower_bound(kZoomFactors.begin(), kZoomFactors.end(), now - kTolerance);
        next = below == kZoomFactors.begin() ? kZoomFactors.front() : *(below - 1);
    }
    m_page->setZoomFactor(next);
}

void QtWebBrowser::findText(const QString &text, bool backward)
{
    // The engine goes on from the current match when given the same text again, and
    // an empty text ends the search with its marks.
    m_page->findText(text, backward ? QWebEnginePage::FindBackward : QWebEnginePage::FindFlags());
}

qint64 QtWebBrowser::rendererProcessId() const
{
    return m_page ? m_page->renderProcessPid() : 0;
}
