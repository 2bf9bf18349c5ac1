#pragma once

#include <QString>

#include <functional>
#include <optional>

class QPrinter;
class QWidget;

// Questions that pages ask the user: a login, where to save a download, whether to
// trust a certificate, a permission, a printer. The engine asks them through this
// interface, so that tests answer in the user's place. Everything handed in is plain
// data as the page or server sent it, untrusted (shortText() in ui/ makes it fit
// for a label); answers come back as plain data. A question the engine needs
// answered on the spot returns its answer; the others take a callback, called
// once, later.
struct LoginQuestion
{
    QString host;  // host:port of the site, or the proxy's host
    QString realm; // the server's own words
    bool proxy = false;
    bool lastFailed = false; // the answer given to the same question was refused
};

struct Login
{
    QString user;
    QString password;
};

struct CertificateQuestion
{
    QString host;
    QString problem; // what is wrong, in words: "it has expired or is not yet valid"
    bool overridable = false; // false: going back is the only answer
};

// `parent`, where a question takes one, is the page area (the engine control): the
// window that asks is owned by the main window and shown over the page, never over
// the picture band, the address box or the status bar.
class PageServices
{
public:
    virtual ~PageServices() = default;

    // Credentials for the host; nothing when the user cancelled.
    virtual std::optional<Login> askLogin(QWidget *parent, const LoginQuestion &question) = 0;
    // Where to save a download, proposed as a full path; "" when the user cancelled.
    // An existing file is only chosen after the user confirmed replacing it.
    virtual QString askSaveFile(QWidget *parent, const QString &proposedPath) = 0;
    virtual void askCertificate(QWidget *parent, const CertificateQuestion &question,
                                std::function<void(bool proceed)> answer) = 0;
    // `what` says what the site wants, as words that follow "wants to".
    virtual void askPermission(QWidget *parent, const QString &origin, const QString &what,
                               std::function<void(bool allow)> answer) = 0;
    // Lets the user set the printer up (a printer, or a PDF file as output).
    virtual void choosePrinter(QWidget *parent, QPrinter *printer,
                               std::function<void(bool print)> answer) = 0;
    virtual void showNotification(QWidget *parent, const QString &origin, const QString &title,
                                  const QString &message) = 0;
    virtual void openFolder(const QString &path) = 0;
    // Tells the user something without blocking.
    virtual void tell(QWidget *parent, const QString &text) = 0;
};
