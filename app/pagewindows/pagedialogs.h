#pragma once

#include "engine/seam/pageservices.h"

#include <QDialog>
#include <QPointer>
#include <QTemporaryDir>

#include <memory>

class NotificationPopup;
class QLineEdit;


// Qt's file dialogs remember their folder, history and layout in the user's Qt
// settings (~/.config/QtProject.conf) whenever one goes, and the browser writes
// nothing but downloads: from this call on, Qt's settings of the user go to a folder
// of the session's own in the runtime folder (memory, on a desktop), removed with
// the object returned. Call it before the first dialog.
std::unique_ptr<QTemporaryDir> keepDialogStateForSession();

// The desktop's answers to what pages ask: small plain dialogs in the browser's
// look. A login and a file to save are asked in a dialog modal to the main window
// only (the engine needs those answers before it goes on); the other questions
// never block.
class PageDialogs : public PageServices
{
public:
    std::optional<Login> askLogin(QWidget *parent, const LoginQuestion &question) override;
    QString askSaveFile(QWidget *parent, const QString &proposedPath) override;
    void askCertificate(QWidget *parent, const CertificateQuestion &question,
                        std::function<void(bool proceed)> answer) override;
    void askPermission(QWidget *parent, const QString &origin, const QString &what,
                       std::function<void(bool allow)> answer) override;
    void choosePrinter(QWidget *parent, QPrinter *printer,
                       std::function<void(bool print)> answer) override;
    void showNotification(QWidget *parent, const QString &origin, const QString &title,
                          const QString &message) override;
    void openFolder(const QString &path) override;
    void tell(QWidget *parent, const QString &text) override;

private:
    QList<QPointer<NotificationPopup>> m_notifications; // open ones, oldest first
};

// "Log in": names the host and the site's realm, asks for a user name and a
// password (masked).
class LoginDialog : public QDialog
{
    Q_OBJECT
public:
    LoginDialog(QWidget *parent, const LoginQuestion &question);
    Login login() const;

private:
    QLineEdit *m_user = nullptr;
    QLineEdit *m_password = nullptr;
};

// What is wrong with a site's certificate. "Go back" is the default (rejected);
// "Continue" (accepted) is there only where the problem may be overlooked.
class CertificateDialog : public QDialog
{
    Q_OBJECT
public:
    CertificateDialog(QWidget *parent, const CertificateQuestion &question);
};

// "<origin> wants to <what>." with Allow and Deny; closing it or Escape denies.
// Calls `answer` once.
class PermissionPrompt : public QWidget
{
    Q_OBJECT
public:
    PermissionPrompt(const QString &origin, const QString &what,
                     std::function<void(bool allow)> answer, QWidget *parent = nullptr);

protected:
    void closeEvent(QCloseEvent *event) override;

private:
    void answer(bool allow);

    std::function<void(bool)> m_answer;
};

// A notification a site was allowed to show.
class NotificationPopup : public QWidget
{
    Q_OBJECT
public:
    NotificationPopup(const QString &origin, const QString &title, const QString &message,
                      QWidget *parent = nullptr);
};
