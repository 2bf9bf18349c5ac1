#include "pageanswers.h"

#include "downloads.h"
#include "fullscreen.h"
#include "engine/seam/pageservices.h"
#include "untrustedtext.h"

#include <QAuthenticator>
#include <QGridLayout>
#include <QLabel>
#include <QPrinter>
#include <QWebEngineCertificateError>
#include <QWebEngineFullScreenRequest>
#include <QWebEngineLoadingInfo>
#include <QWebEngineNotification>
#include <QWebEngineProfile>
#include <QWebEngineSettings>
#include <QWebEngineView>

namespace {

// Stands in where no services were given: every question is answered no.
class RefusingServices : public PageServices
{
public:
    std::optional<Login> askLogin(QWidget *, const LoginQuestion &) override { return {}; }
    QString askSaveFile(QWidget *, const QString &) override { return {}; }
    void askCertificate(QWidget *, const CertificateQuestion &,
                        std::function<void(bool)> answer) override { answer(false); }
    void askPermission(QWidget *, const QString &, const QString &,
                       std::function<void(bool)> answer) override { answer(false); }
    void choosePrinter(QWidget *, QPrinter *, std::function<void(bool)> answer) override
    {
        answer(false);
    }
    void showNotification(QWidget *, const QString &, const QString &, const QString &) override {}
    void openFolder(const QString &) override {}
    void tell(QWidget *, const QString &) override {}
};

RefusingServices g_refusing;

// The host and, where it is not the scheme's own, the port; never user names.
QString hostOf(const QUrl &url)
{
    return url.adjusted(QUrl::RemoveUserInfo).authority();
}

} // namespace

PageAnswers::PageAnswers(const AnsweringParts &parts, PageServices *services,
                         std::function<bool()> offline, QObject *parent, const PageAnswers *sharing)
    : QObject(parent), m_parts(parts), m_services(services ? services : &g_refusing),
      m_permissions(sharing ? sharing->m_permissions : std::make_shared<QHash<QString, bool>>())
{
    QWebEnginePage *page = parts.page;
    if (!sharing)
        m_downloads = new Downloads(parts.profile, m_services, [this] { return dialogParent(); },
                                    std::move(offline), this);
    m_fullScreen = new FullScreen(parts.view, parts.fill, page, this);
    page->settings()->setAttribute(QWebEngineSettings::FullScreenSupportEnabled, true);
    connect(page, &QWebEnginePage::fullScreenRequested, m_fullScreen, &FullScreen::request);

    connect(page, &QWebEnginePage::authenticationRequired, this,
            [this](const QUrl &url, QAuthenticator *authenticator) {
                login(url, authenticator, QString());
            });
    connect(page, &QWebEnginePage::proxyAuthenticationRequired, this, &PageAnswers::login);
    connect(page, &QWebEnginePage::certificateError, this, &PageAnswers::certificateError);
    connect(page, &QWebEnginePage::featurePermissionRequested, this,
            &PageAnswers::permissionRequested);
    connect(page, &QWebEnginePage::printRequested, this, &PageAnswers::print);
    connect(page, &QWebEnginePage::pdfPrintingFinished, this,
            [this](const QString &, bool success) { printed(success); });
    connect(page, &QWebEnginePage::loadingChanged, this, [this](const QWebEngineLoadingInfo &info) {
        if (info.status() == QWebEngineLoadingInfo::LoadStartedStatus) {
            if (m_notice)
                m_notice->hide();
            return;
        }
        m_loginsTried.clear();
        // Instead of the engine's "can't be reached": what is wrong, in words.
        if (info.status() == QWebEngineLoadingInfo::LoadFailedStatus
            && info.errorDomain() == QWebEngineLoadingInfo::CertificateErrorDomain)
            showNotice(QStringLiteral("Velt Browser did not open %1, because its certificate "
                                      "cannot be trusted: %2.")
                               .arg(shortText(hostOf(info.url())), problemInWords(info.errorCode())));
    });

    if (sharing)
        return;
    QPointer<PageAnswers> guard(this);
    parts.profile->setNotificationPresenter(
            [this, guard](std::unique_ptr<QWebEngineNotification> notification) {
                if (!guard)
                    return;
                m_services->showNotification(
                        dialogParent(), notification->origin().toString(QUrl::RemovePath),
                        notification->title(), notification->message());
                notification->show();
            });
}

PageAnswers::~PageAnswers()
{
    // The full-screen window, with its view of the page, goes before the page.
    delete m_fullScreen;
}

QWidget *PageAnswers::dialogParent() const
{
    // The page area: what asks is shown over it, owned by its window.
    return m_parts.browser;
}

void PageAnswers::wentOffline()
{
    if (m_downloads)
        m_downloads->stopAll(QStringLiteral("the browser went offline"));
}

void PageAnswers::login(const QUrl &url, QAuthenticator *authenticator, const QString &proxyHost)
{
    // The engine wants the answer before this returns.
    LoginQuestion question;
    question.proxy = !proxyHost.isEmpty();
    question.host = question.proxy ? proxyHost : hostOf(url);
    question.realm = authenticator->realm();
    const QString key = question.host + u'\n' + question.realm;
    question.lastFailed = m_loginsTried.contains(key);
    const std::optional<Login> answer = m_services->askLogin(dialogParent(), question);
    if (!answer) {
        // A null authenticator cancels: the server's own refusal page is shown.
        *authenticator = QAuthenticator();
        m_loginsTried.remove(key);
        return;
    }
    authenticator->setUser(answer->user);
    authenticator->setPassword(answer->password);
    m_loginsTried.insert(key);
}

QString PageAnswers::problemInWords(int type)
{
    using E = QWebEngineCertificateError;
    switch (type) {
    case E::CertificateCommonNameInvalid:
        return QStringLiteral("it was issued for another name");
    case E::CertificateDateInvalid:
        return QStringLiteral("it has expired or is not yet valid");
    case E::CertificateAuthorityInvalid:
        return QStringLiteral("it is not issued by anyone this computer trusts");
    case E::CertificateRevoked:
        return QStringLiteral("it has been revoked");
    case E::CertificateNoRevocationMechanism:
    case E::CertificateUnableToCheckRevocation:
        return QStringLiteral("whether it was revoked cannot be checked");
    case E::CertificateWeakSignatureAlgorithm:
    case E::CertificateWeakKey:
        return QStringLiteral("it is protected by weak cryptography");
    case E::CertificateNonUniqueName:
    case E::CertificateNameConstraintViolation:
        return QStringLiteral("it names a host it may not name");
    case E::CertificateValidityTooLong:
        return QStringLiteral("it is valid for too long");
    case E::CertificateTransparencyRequired:
        return QStringLiteral("it was not publicly logged");
    case E::CertificateSymantecLegacy:
    case E::CertificateKnownInterceptionBlocked:
        return QStringLiteral("it comes from an issuer that is no longer trusted");
    case E::SslPinnedKeyNotInCertificateChain:
        return QStringLiteral("it is not the one this site is known to use");
    case E::SslObsoleteVersion:
        return QStringLiteral("the connection uses an obsolete security protocol");
    case E::CertificateContainsErrors:
    case E::CertificateInvalid:
        return QStringLiteral("it is not valid");
    }
    return QStringLiteral("it has a problem (error %1)").arg(type);
}

void PageAnswers::certificateError(const QWebEngineCertificateError &error)
{
    // Decided later, when the user has answered; the page waits, the program does not.
    // A certificate accepted here is accepted by the engine for its (off-the-record)
    // profile, so for this session only, and is not asked about again.
    QWebEngineCertificateError pending = error;
    pending.defer();
    const CertificateQuestion question{hostOf(error.url()), problemInWords(int(error.type())),
                                       error.isOverridable()};
    QPointer<PageAnswers> guard(this);
    m_services->askCertificate(dialogParent(), question, [guard, pending](bool proceed) mutable {
        if (!guard)
            return;
        if (proceed && pending.isOverridable())
            pending.acceptCertificate();
        else
            pending.rejectCertificate();
    });
}

void PageAnswers::showNotice(const QString &text)
{
    if (!m_notice) {
        m_notice = new QLabel(m_parts.browser);
        m_notice->setObjectName(QStringLiteral("certificateNotice"));
        m_notice->setTextFormat(Qt::PlainText);
        m_notice->setAlignment(Qt::AlignCenter);
        m_notice->setWordWrap(true);
        m_notice->setMargin(24);
        m_notice->setAutoFillBackground(true);
        m_parts.fill->addWidget(m_notice, 0, 0);
    }
    m_notice->setText(text);
    m_notice->show();
    m_notice->raise();
}

QString PageAnswers::featureInWords(QWebEnginePage::Feature feature)
{
    switch (feature) {
    case QWebEnginePage::Notifications:
        return QStringLiteral("show notifications");
    case QWebEnginePage::Geolocation:
        return QStringLiteral("know your location");
    case QWebEnginePage::MediaAudioCapture:
        return QStringLiteral("use your microphone");
    case QWebEnginePage::MediaVideoCapture:
        return QStringLiteral("use your camera");
    case QWebEnginePage::MediaAudioVideoCapture:
        return QStringLiteral("use your camera and microphone");
    case QWebEnginePage::MouseLock:
        return QStringLiteral("hide and hold the mouse pointer");
    case QWebEnginePage::DesktopVideoCapture:
        return QStringLiteral("see your screen");
    case QWebEnginePage::DesktopAudioVideoCapture:
        return QStringLiteral("see your screen and hear its sound");
    }
    return {};
}

void PageAnswers::permissionRequested(const QUrl &origin, QWebEnginePage::Feature feature)
{
    QWebEnginePage *page = m_parts.page;
    const QString what = featureInWords(feature);
    const QString key = origin.toString() + u'\n' + QString::number(int(feature));
    const auto answer = [page, origin, feature](bool allow) {
        page->setFeaturePermission(origin, feature,
                                   allow ? QWebEnginePage::PermissionGrantedByUser
                                         : QWebEnginePage::PermissionDeniedByUser);
    };
    if (what.isEmpty()) {
        answer(false);
        return;
    }
    const auto known = m_permissions->constFind(key);
    if (known != m_permissions->cend()) {
        answer(*known);
        return;
    }
    // One question for the same site and feature; its answer serves every request.
    if (m_permissionsAsked.contains(key))
        return;
    m_permissionsAsked.insert(key);
    QPointer<PageAnswers> guard(this);
    m_services->askPermission(dialogParent(), origin.toString(QUrl::RemovePath), what,
                              [this, guard, key, answer](bool allow) {
                                  if (!guard)
                                      return;
                                  m_permissionsAsked.remove(key);
                                  m_permissions->insert(key, allow);
                                  answer(allow);
                              });
}

void PageAnswers::print()
{
    if (m_printer)
        return; // one at a time
    m_printer = std::make_unique<QPrinter>(QPrinter::HighResolution);
    // The print dialog proposes a PDF file named after it.
    m_printer->setDocName(Downloads::safeFileName(m_parts.page->title()));
    QPointer<PageAnswers> guard(this);
    m_services->choosePrinter(dialogParent(), m_printer.get(), [this, guard](bool go) {
        if (!guard || !m_printer)
            return;
        if (!go) {
            m_printer.reset();
            return;
        }
        QWebEnginePage *page = m_parts.page;
        m_printing = true;
        // A PDF file is written by the engine itself, with the page's text as text;
        // a printer gets the pages drawn.
        if (m_printer->outputFormat() == QPrinter::PdfFormat && !m_printer->outputFileName().isEmpty()) {
            page->printToPdf(m_printer->outputFileName(), m_printer->pageLayout(),
                             m_printer->pageRanges());
            return;
        }
        QWebEngineView *view = QWebEngineView::forPage(page);
        connect(view, &QWebEngineView::printFinished, this, &PageAnswers::printed,
                Qt::SingleShotConnection);
        view->print(m_printer.get());
    });
}

void PageAnswers::printed(bool success)
{
    if (!m_printer)
        return;
    m_printer.reset();
    m_printing = false;
    emit printingEnded();
    if (!success)
        m_services->tell(dialogParent(), QStringLiteral("The page could not be printed."));
}
