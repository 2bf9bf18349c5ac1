#pragma once

#include "engine/seam/pageservices.h"

#include <QCoreApplication>
#include <QPrinter>
#include <QStringList>

#include <deque>

// Answers what pages ask in the user's place and writes down every question.
// Questions that wait for their answer get it from the event loop, as from a dialog.
class FakePageServices : public PageServices
{
public:
    QStringList asked; // "login host|realm|failed", "save <proposed path>", ...
    std::deque<std::optional<Login>> logins; // answered in turn; none left is Cancel
    QString saveTo;                          // "" is Cancel
    bool proceed = false;                    // the certificate answer
    bool allow = false;                      // the permission answer
    QString pdfFile;                         // "" cancels the print dialog
    QStringList notifications;

    std::optional<Login> askLogin(QWidget *, const LoginQuestion &q) override
    {
        asked << QStringLiteral("login %1|%2|%3").arg(q.host, q.realm).arg(q.lastFailed);
        std::optional<Login> answer;
        if (!logins.empty())
            answer = logins.front(), logins.pop_front();
        return answer;
    }
    QString askSaveFile(QWidget *, const QString &proposed) override
    {
        asked << QStringLiteral("save ") + proposed;
        return saveTo;
    }
    void askCertificate(QWidget *, const CertificateQuestion &q, std::function<void(bool)> answer) override
    {
        asked << QStringLiteral("certificate %1|%2|%3").arg(q.host, q.problem).arg(q.overridable);
        later(answer, proceed);
    }
    void askPermission(QWidget *, const QString &origin, const QString &what,
                       std::function<void(bool)> answer) override
    {
        asked << QStringLiteral("permission %1 %2").arg(origin, what);
        later(answer, allow);
    }
    void choosePrinter(QWidget *, QPrinter *printer, std::function<void(bool)> answer) override
    {
        asked << QStringLiteral("print");
        printer->setOutputFileName(pdfFile); // a file name makes the output a PDF file
        later(answer, !pdfFile.isEmpty());
    }
    void showNotification(QWidget *, const QString &origin, const QString &title, const QString &text) override
    {
        notifications << origin + u'|' + title + u'|' + text;
    }
    void openFolder(const QString &path) override { asked << QStringLiteral("open ") + path; }
    void tell(QWidget *, const QString &text) override { asked << QStringLiteral("told ") + text; }

private:
    static void later(std::function<void(bool)> answer, bool value)
    {
        QMetaObject::invokeMethod(QCoreApplication::instance(), [answer, value] { answer(value); },
                                  Qt::QueuedConnection);
    }
};
