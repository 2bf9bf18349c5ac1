#include "qtwebbrowser.h"

#include "addressinput.h"
#include "enginepage.h"
#include "engineprofile.h"
#include "newwindows.h"
#include "pageaccessibility.h"
#include "pageanswers.h"
#include "pagequestions.h"
#include "pageleaving.h"
#include "usernavigation.h"

#include <QEventLoop>
#include <QGridLayout>
#include <QLabel>
#include <QUuid>
#include <QWebEngineFileSystemAccessRequest>
#include <QWebEngineFindTextResult>
#include <QWebEngineHistory>
#include <QWebEngineLoadingInfo>
#include <QWebEngineProfile>
#include <QWebEngineRegisterProtocolHandlerRequest>
#include <QWebEngineSettings>
#include <QWebEngineView>

#include <algorithm>
#include <array>

namespace {

const QString kCrashNotice = QStringLiteral(
        "<p><b>This page stopped working.</b></p>"
        "<p>The engine's page process ended unexpectedly. "
        "Type an address or press Refresh to load a page again.</p>");

// How long a navigation may take to be seen by the engine before it counts as
// one the engine dropped (a same-document jump, for instance).
constexpr int kStartGraceMs = 3000;

// Whether a load was stopped or aborted (net::ERR_ABORTED), not loaded or failed.
bool cutShort(const QWebEngineLoadingInfo &info)
{
    constexpr int kAborted = -3;
    return info.status() == QWebEngineLoadingInfo::LoadStoppedStatus
            || (info.status() == QWebEngineLoadingInfo::LoadFailedStatus && info.errorCode() == kAborted);
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
    m_startWatch.setSingleShot(true);
    m_startWatch.setInterval(kStartGraceMs);
    connect(&m_startWatch, &QTimer::timeout, this, [this] {
        if (m_awaitingStart && !(m_page && m_page->isLoading())
            && m_user->loadEnded(m_page->url(), false, true) != UserNavigation::Outcome::MadeAgain)
            loadEnded();
    });
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
    m_leaving = new PageLeaving(m_page, this);
    m_user = new UserNavigation(this);
    m_page->setUrlRequestInterceptor(m_user);
    // The user's document began: its load is under way, whether or not the engine reports
    // a start (it does not when the load took over one of the page's).
    // The user's navigation became a download: it ended there, and is not made again.
    connect(m_profile, &QWebEngineProfile::downloadRequested, m_user, &UserNavigation::end);
    connect(m_page, &EnginePage::documentStarted, this, [this] {
        if (m_user->documentStarted(m_page->url()))
            m_awaitingStart = false;
    });
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

    connect(m_page, &QWebEnginePage::loadingChanged, this,
            [this](const QWebEngineLoadingInfo &info) {
                if (info.status() == QWebEngineLoadingInfo::LoadStartedStatus) {
                    m_awaitingStart = false;
                    emit loadStarted();
                    return;
                }
                const auto outcome = m_user->loadEnded(info.url(), !cutShort(info), !m_page->isLoading());
                if (outcome == UserNavigation::Outcome::MadeAgain)
                    return;
                // The end of a load that began before our latest call leaves that
                // call still pending. The user's own load may end without the engine
                // having reported its start: it took over a load of the page's.
                if (outcome == UserNavigation::Outcome::Done || outcome == UserNavigation::Outcome::Held
                    || (!m_awaitingStart && !m_user->pending()))
                    settle();
                emit DownloadComplete();
            });
    connect(m_page, &EnginePage::frameLoadFinished, this, &WebBrowser::DownloadComplete);
    connect(m_page, &QWebEnginePage::renderProcessTerminated, this,
            [this](QWebEnginePage::RenderProcessTerminationStatus status, int) {
                if (m_leaving->takeEnded()) {
                    markNavigating(); // the navigation is made again
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
    if (m_crashNotice)
        m_crashNotice->hide();
    navigateAsUser([this, url] { m_page->load(url); }, url);
    return true;
}

void QtWebBrowser::openFromPage(const QUrl &url)
{
    startLoad(url);
}

void QtWebBrowser::navigateAsUser(const std::function<void()> &navigate, const QUrl &url)
{
    m_user->begin([this, navigate] {
        m_leaving->leave(navigate);
        markNavigating();
    }, url);
}

void QtWebBrowser::markNavigating()
{
    m_pending = true;
    m_awaitingStart = true;
    m_startWatch.start();
}

void QtWebBrowser::settle()
{
    m_pending = false;
    m_awaitingStart = false;
    m_leaving->settled();
}

void QtWebBrowser::loadEnded()
{
    settle();
    emit DownloadComplete();
}

void QtWebBrowser::rendererGone()
{
    const bool wasLoading = Busy();
    m_user->end();
    settle();
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
    if (wasLoading)
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
    navigateAsUser([this] { m_page->triggerAction(QWebEnginePage::Back); });
    return true;
}

bool QtWebBrowser::GoForward()
{
    if (!m_page->history()->canGoForward())
        return fail(QStringLiteral("there is no later page."));
    navigateAsUser([this] { m_page->triggerAction(QWebEnginePage::Forward); });
    return true;
}

bool QtWebBrowser::Stop()
{
    if (!m_page)
        return true;
    m_user->end(); // the page may navigate again
    m_page->triggerAction(QWebEnginePage::Stop);
    // A load that the engine had not yet begun ends here too.
    if (m_awaitingStart && !m_page->isLoading())
        loadEnded();
    return true;
}

bool QtWebBrowser::Refresh()
{
    if (!m_page || m_page->url().isEmpty())
        return fail(QStringLiteral("no page is shown."));
    if (m_crashNotice)
        m_crashNotice->hide();
    navigateAsUser([this] { m_page->triggerAction(QWebEnginePage::Reload); });
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
    // A page whose renderer died stays "loading" in the engine's eyes.
    const bool rendererDead = m_crashNotice && !m_crashNotice->isHidden();
    return m_pending || (m_page && m_page->isLoading() && !rendererDead);
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
