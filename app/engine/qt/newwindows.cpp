#include "newwindows.h"

#include "enginepage.h"
#include "pageanswers.h"
#include "pagewindows/pagequestions.h"
#include "pagewindows/popupwindow.h"

#include <QEvent>
#include <QGridLayout>
#include <QTimer>
#include <QWebEngineCertificateError>
#include <QWebEngineFileSystemAccessRequest>
#include <QWebEngineNewWindowRequest>
#include <QWebEngineRegisterProtocolHandlerRequest>
#include <QWebEngineSettings>
#include <QWebEngineView>

#include <array>

namespace {

// What a popup's page is given as the browser's page has it.
constexpr std::array kSharedSettings{
        QWebEngineSettings::AutoLoadIconsForPage, QWebEngineSettings::LocalContentCanAccessRemoteUrls,
        QWebEngineSettings::PluginsEnabled, QWebEngineSettings::PdfViewerEnabled};

// How often an ended popup looks again whether something of its page still runs.
constexpr int kDiscardRetryMs = 50;

QUrl withoutBlob(const QUrl &url)
{
    return url.scheme() == QLatin1String("blob") ? QUrl(url.path()) : url;
}

} // namespace

struct NewWindows::Popup
{
    PopupWindow *window = nullptr;
    EnginePage *page = nullptr;
    QWebEngineView *view = nullptr;
    PageAnswers *answers = nullptr;

    ~Popup()
    {
        // The answers (with the full-screen window and the view in it) before the view,
        // the view before its page.
        delete answers;
        delete view;
        delete page;
        delete window;
    }
    // A question of the page waits in a loop inside the engine's call, and the engine
    // reports the end of printing to the page: the page must outlive both.
    bool busy() const { return page->questions()->isWaiting() || answers->printing(); }
};

NewWindows::NewWindows(Parts parts, QObject *parent) : QObject(parent), m_parts(std::move(parts))
{
    watch(m_parts.page);
}

NewWindows::~NewWindows()
{
    // The browser is going: its popup with it, before the profile.
    m_popup.reset();
    m_ended.clear();
}

PopupWindow *NewWindows::popup() const
{
    return m_popup ? m_popup->window : nullptr;
}

void NewWindows::watch(QWebEnginePage *page)
{
    // The engine's own blocker: a script's window.open() without a click or key of the
    // user's gets null at once, and nothing is made for it.
    page->settings()->setAttribute(QWebEngineSettings::JavascriptCanOpenWindows, false);
    connect(page, &QWebEnginePage::newWindowRequested, this,
            [this, page](QWebEngineNewWindowRequest &request) { requested(page, request); });
    connect(page, &QWebEnginePage::certificateError, this, [this](const QWebEngineCertificateError &error) {
        m_untrusted.insert(error.url().host());
        showWhere();
    });
}

void NewWindows::requested(QWebEnginePage *from, QWebEngineNewWindowRequest &request)
{
    // Not taken up, a request is dropped by the engine with what it made for it.
    if (!request.isUserInitiated())
        return;
    if (request.destination() == QWebEngineNewWindowRequest::InNewDialog) {
        openPopup(request);
        return;
    }
    // Loaded by the browser, an address would escape the checks the engine makes on a
    // page's own navigations (a site may not open a local file): web addresses only, or
    // one of the page's own kind.
    const QUrl url = request.requestedUrl();
    const QString scheme = url.scheme();
    if (scheme != QLatin1String("http") && scheme != QLatin1String("https") && scheme != from->url().scheme())
        return;
    // Not from inside the engine's call.
    QTimer::singleShot(0, this, [this, url] { m_parts.openInView(url); });
}

void NewWindows::openPopup(QWebEngineNewWindowRequest &request)
{
    if (m_popup) {
        m_popup->window->raise();
        m_popup->window->activateWindow();
        return;
    }
    auto popup = std::make_unique<Popup>();
    popup->window = new PopupWindow(m_parts.pageArea);
    popup->page = new EnginePage(m_parts.profile, m_parts.frameToken, nullptr);
    for (const auto attribute : kSharedSettings)
        popup->page->settings()->setAttribute(attribute, m_parts.page->settings()->testAttribute(attribute));
    connect(popup->page, &QWebEnginePage::fileSystemAccessRequested, popup->page,
            [](QWebEngineFileSystemAccessRequest request) { request.reject(); });
    connect(popup->page, &QWebEnginePage::registerProtocolHandlerRequested, popup->page,
            [](QWebEngineRegisterProtocolHandlerRequest request) { request.reject(); });
    popup->view = new QWebEngineView(popup->window->pageArea());
    popup->view->setPage(popup->page);
    popup->window->pageFill()->addWidget(popup->view, 0, 0);
    popup->page->questions()->setHost(popup->window->pageArea());
    popup->answers = new PageAnswers({popup->window->pageArea(), popup->window->pageFill(), m_parts.profile,
                                      popup->page, popup->view},
                                     m_parts.services, m_parts.offline, nullptr, m_parts.answers);
    watch(popup->page);
    connect(popup->page, &QWebEnginePage::urlChanged, this, &NewWindows::showWhere);
    connect(popup->page, &QWebEnginePage::windowCloseRequested, popup->window, &QWidget::close);
    connect(popup->window, &PopupWindow::closed, this, &NewWindows::endPopup);
    // The engine's own window for the request: the popup keeps its opener.
    request.openIn(popup->page);
    m_popup = std::move(popup);
    showWhere();
    m_popup->window->placeFor(request.requestedGeometry().size());

    if (!m_mainWindow) {
        m_mainWindow = m_parts.pageArea->window();
        m_mainWindow->installEventFilter(this);
    }
    m_popup->window->show();
    m_popup->window->activateWindow();
    m_popup->view->setFocus();
}

void NewWindows::showWhere()
{
    if (!m_popup)
        return;
    const QUrl url = m_popup->page->url();
    const QUrl inner = withoutBlob(url);
    m_popup->window->showWhere(url, inner.scheme() == QLatin1String("https")
                                            && !m_untrusted.contains(inner.host()));
}

bool NewWindows::eventFilter(QObject *watched, QEvent *event)
{
    // Closing the main window closes its popup.
    if (watched == m_mainWindow && event->type() == QEvent::Close && m_popup)
        m_popup->window->close();
    return QObject::eventFilter(watched, event);
}

void NewWindows::endPopup()
{
    if (!m_popup)
        return;
    m_popup->window->hide();
    // Its page may go on asking (an alert in a loop): answered at once from now on.
    m_popup->page->questions()->setHost(nullptr);
    m_popup->page->questions()->dismissAll();
    m_ended.push_back(std::move(m_popup));
    // Not now: the popup's close event, or the page's own call, may be what called.
    QTimer::singleShot(0, this, &NewWindows::discardEnded);
}

void NewWindows::discardEnded()
{
    std::erase_if(m_ended, [](const std::unique_ptr<Popup> &ended) { return !ended->busy(); });
    if (!m_ended.empty())
        QTimer::singleShot(kDiscardRetryMs, this, &NewWindows::discardEnded);
}
