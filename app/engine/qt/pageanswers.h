#pragma once

#include <QHash>
#include <QObject>
#include <QPointer>
#include <QSet>
#include <QWebEnginePage>

#include <functional>
#include <memory>

class Downloads;
class FullScreen;
class PageServices;
class QAuthenticator;
class QGridLayout;
class QLabel;
class QPrinter;
class QWebEngineCertificateError;
class QWebEngineProfile;
class QWebEngineView;

// The browser's parts that pages ask things of.
struct AnsweringParts
{
    QWidget *browser;   // the engine control; questions are asked over it
    QGridLayout *fill;  // the control's layout, where a notice covers the page
    QWebEngineProfile *profile;
    QWebEnginePage *page;
    QWebEngineView *view;
};

// Answers what pages ask, by asking the user through PageServices: logins,
// downloads, certificate errors, permissions, notifications, printing, full screen.
// Every answer lasts for this session only, in memory.
class PageAnswers : public QObject
{
    Q_OBJECT
public:
    // Without services every question is refused, as a user would who said no.
    // With `sharing`, the answers for another page of the same profile (a popup): the
    // profile's downloads and notifications stay with `sharing`, and a permission
    // answered for either page holds for both.
    PageAnswers(const AnsweringParts &parts, PageServices *services,
                std::function<bool()> offline, QObject *parent,
                const PageAnswers *sharing = nullptr);
    ~PageAnswers() override;

    // Going offline stops the downloads that run.
    void wentOffline();

    // Whether the engine is printing the page now. The engine reports the end to its
    // page even after that page is gone, so the page must outlive the printing.
    bool printing() const { return m_printing; }

    // The words PageServices is given for a certificate problem and a permission.
    static QString problemInWords(int certificateErrorType);
    static QString featureInWords(QWebEnginePage::Feature feature);

signals:
    void printingEnded();

private:
    void login(const QUrl &url, QAuthenticator *authenticator, const QString &proxyHost);
    void certificateError(const QWebEngineCertificateError &error);
    void permissionRequested(const QUrl &origin, QWebEnginePage::Feature feature);
    void print();
    void printed(bool success);
    void showNotice(const QString &text);
    QWidget *dialogParent() const;

    AnsweringParts m_parts;
    PageServices *m_services;
    Downloads *m_downloads = nullptr;
    FullScreen *m_fullScreen = nullptr;
    QLabel *m_notice = nullptr;
    std::unique_ptr<QPrinter> m_printer;
    bool m_printing = false;
    // Logins answered during the current load: asked again, the answer was wrong.
    QSet<QString> m_loginsTried;
    // Permission answers by origin and feature, and the questions still open.
    std::shared_ptr<QHash<QString, bool>> m_permissions;
    QSet<QString> m_permissionsAsked;
};
