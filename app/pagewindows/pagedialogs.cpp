#include "pagedialogs.h"

#include "pageplacement.h"
#include "plainwindow.h"
#include "untrustedtext.h"

#include <QCloseEvent>
#include <QDesktopServices>
#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPointer>
#include <QPrintDialog>
#include <QPushButton>
#include <QSettings>
#include <QShortcut>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QUrl>
#include <QVBoxLayout>

namespace {

// The browser's look: button face behind, a fixed size that fits the contents.
QVBoxLayout *plainLook(QWidget *window, const QString &title)
{
    window->setWindowTitle(title);
    window->setBackgroundRole(QPalette::Button);
    window->setAutoFillBackground(true);
    auto *column = new QVBoxLayout(window);
    column->setSizeConstraint(QLayout::SetFixedSize);
    return column;
}

// A line of text that may hold what a page or server sent: never rich text.
QLabel *line(const QString &text, QWidget *parent)
{
    auto *label = new QLabel(text, parent);
    label->setTextFormat(Qt::PlainText);
    return label;
}

QHBoxLayout *buttonRow(QVBoxLayout *column)
{
    auto *row = new QHBoxLayout;
    row->addStretch();
    column->addSpacing(6);
    column->addLayout(row);
    return row;
}

QPushButton *addButton(QHBoxLayout *row, const QString &text, QWidget *parent, bool isDefault = false)
{
    auto *button = new QPushButton(text, parent);
    button->setDefault(isDefault);
    row->addWidget(button);
    return button;
}

} // namespace

std::unique_ptr<QTemporaryDir> keepDialogStateForSession()
{
    const QDir runtime(QStandardPaths::writableLocation(QStandardPaths::RuntimeLocation));
    auto folder = std::make_unique<QTemporaryDir>(runtime.filePath(QStringLiteral("velt-browser-XXXXXX")));
    if (!folder->isValid())
        folder = std::make_unique<QTemporaryDir>();
    for (const QSettings::Format format : {QSettings::NativeFormat, QSettings::IniFormat})
        QSettings::setPath(format, QSettings::UserScope, folder->path());
    return folder;
}

LoginDialog::LoginDialog(QWidget *parent, const LoginQuestion &question)
    : QDialog(parent, kPlainWindow)
{
    setObjectName(QStringLiteral("loginDialog"));
    QVBoxLayout *column = plainLook(this, QStringLiteral("Log in"));
    const QString host = shortText(question.host);
    column->addWidget(line(question.proxy
                                   ? QStringLiteral("The proxy %1 asks for a user name and password.").arg(host)
                                   : QStringLiteral("%1 asks for a user name and password.").arg(host),
                           this));
    if (!shortText(question.realm).isEmpty())
        column->addWidget(line(QStringLiteral("The site says: \u201c%1\u201d").arg(shortText(question.realm)), this));
    if (question.lastFailed) {
        QLabel *failed = line(QStringLiteral("The user name or password was not accepted. Try again."), this);
        failed->setObjectName(QStringLiteral("loginFailed"));
        column->addWidget(failed);
    }
    auto *form = new QFormLayout;
    m_user = new QLineEdit(this);
    m_password = new QLineEdit(this);
    m_password->setEchoMode(QLineEdit::Password);
    form->addRow(line(QStringLiteral("User name:"), this), m_user);
    form->addRow(line(QStringLiteral("Password:"), this), m_password);
    column->addLayout(form);
    QHBoxLayout *buttons = buttonRow(column);
    auto *ok = addButton(buttons, QStringLiteral("OK"), this, true);
    auto *cancel = addButton(buttons, QStringLiteral("Cancel"), this);
    connect(ok, &QPushButton::clicked, this, &QDialog::accept);
    connect(cancel, &QPushButton::clicked, this, &QDialog::reject);
    m_user->setFocus();
}

Login LoginDialog::login() const
{
    return {m_user->text(), m_password->text()};
}

CertificateDialog::CertificateDialog(QWidget *parent, const CertificateQuestion &question)
    : QDialog(parent, kPlainWindow)
{
    setObjectName(QStringLiteral("certificateDialog"));
    QVBoxLayout *column = plainLook(this, QStringLiteral("Certificate problem"));
    const QString host = shortText(question.host);
    column->addWidget(line(QStringLiteral("Velt Browser cannot confirm that this is really %1.").arg(host), this));
    column->addWidget(line(QStringLiteral("The site's certificate cannot be trusted: %1.").arg(question.problem), this));
    column->addWidget(line(question.overridable
                                   ? QStringLiteral("Someone may be pretending to be this site. "
                                                    "Continue only if you know why.")
                                   : QStringLiteral("This problem cannot be overlooked: the site is not opened."),
                           this));
    QHBoxLayout *buttons = buttonRow(column);
    auto *back = addButton(buttons, QStringLiteral("Go back"), this, true);
    connect(back, &QPushButton::clicked, this, &QDialog::reject);
    if (question.overridable) {
        auto *proceed = addButton(buttons, QStringLiteral("Continue to %1").arg(shortText(question.host, 30)), this);
        proceed->setAutoDefault(false);
        connect(proceed, &QPushButton::clicked, this, &QDialog::accept);
    }
    back->setFocus();
}

PermissionPrompt::PermissionPrompt(const QString &origin, const QString &what,
                                   std::function<void(bool)> onAnswer, QWidget *parent)
    : QWidget(parent, kPlainWindow), m_answer(std::move(onAnswer))
{
    setObjectName(QStringLiteral("permissionPrompt"));
    setAttribute(Qt::WA_DeleteOnClose);
    QVBoxLayout *column = plainLook(this, QStringLiteral("Permission"));
    column->addWidget(line(QStringLiteral("%1 wants to %2.").arg(shortText(origin), what), this));
    column->addWidget(line(QStringLiteral("Velt Browser remembers your answer until it ends."), this));
    QHBoxLayout *buttons = buttonRow(column);
    auto *allow = addButton(buttons, QStringLiteral("Allow"), this);
    auto *deny = addButton(buttons, QStringLiteral("Deny"), this, true);
    connect(allow, &QPushButton::clicked, this, [this] {
        answer(true);
        close();
    });
    connect(deny, &QPushButton::clicked, this, &QWidget::close);
    // Escape is Deny, as the dialogs' Cancel is.
    connect(new QShortcut(Qt::Key_Escape, this), &QShortcut::activated, this, &QWidget::close);
}

void PermissionPrompt::answer(bool allow)
{
    if (const auto answer = std::exchange(m_answer, nullptr))
        answer(allow);
}

void PermissionPrompt::closeEvent(QCloseEvent *event)
{
    answer(false); // dismissed: denied
    event->accept();
}

NotificationPopup::NotificationPopup(const QString &origin, const QString &title,
                                     const QString &message, QWidget *parent)
    : QWidget(parent, kPlainWindow)
{
    setObjectName(QStringLiteral("notificationPopup"));
    setAttribute(Qt::WA_DeleteOnClose);
    QVBoxLayout *column = plainLook(this, QStringLiteral("Notification"));
    column->addWidget(line(QStringLiteral("From %1:").arg(shortText(origin)), this));
    QLabel *heading = line(shortText(title), this);
    QFont bold = heading->font();
    bold.setBold(true);
    heading->setFont(bold);
    column->addWidget(heading);
    column->addWidget(line(shortText(message, 120), this));
    QHBoxLayout *buttons = buttonRow(column);
    auto *close = addButton(buttons, QStringLiteral("Close"), this);
    connect(close, &QPushButton::clicked, this, &QWidget::close);
}

std::optional<Login> PageDialogs::askLogin(QWidget *parent, const LoginQuestion &question)
{
    // Held by a guard: the main window, and this dialog with it, may go while it waits.
    QPointer<LoginDialog> dialog = new LoginDialog(parent, question);
    dialog->setWindowModality(Qt::WindowModal);
    placeOverPage(dialog, parent);
    const bool accepted = dialog->exec() == QDialog::Accepted;
    if (!dialog)
        return std::nullopt;
    const Login login = dialog->login();
    delete dialog;
    if (!accepted)
        return std::nullopt;
    return login;
}

QString PageDialogs::askSaveFile(QWidget *parent, const QString &proposedPath)
{
    QPointer<QFileDialog> dialog = new QFileDialog(parent, QStringLiteral("Save As"));
    dialog->setAcceptMode(QFileDialog::AcceptSave);
    dialog->setFileMode(QFileDialog::AnyFile);
    dialog->setWindowModality(Qt::WindowModal);
    // Qt's own dialog, which can be placed and keeps its state where the program
    // says (keepDialogStateInMemory()); a desktop's dialog would do neither.
    dialog->setOption(QFileDialog::DontUseNativeDialog);
    const QFileInfo proposed(proposedPath);
    dialog->setDirectory(proposed.absolutePath());
    dialog->selectFile(proposed.fileName());
    placeOverPage(dialog, parent);
    // Replacing a file is confirmed in the dialog itself.
    const bool accepted = dialog->exec() == QDialog::Accepted;
    if (!dialog)
        return {};
    const QString chosen = accepted ? dialog->selectedFiles().value(0) : QString();
    delete dialog;
    return chosen;
}

void PageDialogs::askCertificate(QWidget *parent, const CertificateQuestion &question,
                                 std::function<void(bool)> answer)
{
    auto *dialog = new CertificateDialog(parent, question);
    dialog->setAttribute(Qt::WA_DeleteOnClose);
    placeOverPage(dialog, parent);
    QObject::connect(dialog, &QDialog::finished, dialog,
                     [answer](int result) { answer(result == QDialog::Accepted); });
    dialog->open();
}

void PageDialogs::askPermission(QWidget *parent, const QString &origin, const QString &what,
                                std::function<void(bool)> answer)
{
    auto *prompt = new PermissionPrompt(origin, what, std::move(answer), parent);
    placeOverPage(prompt, parent);
    prompt->show();
}

void PageDialogs::choosePrinter(QWidget *parent, QPrinter *printer, std::function<void(bool)> answer)
{
    auto *dialog = new QPrintDialog(printer, parent);
    dialog->setAttribute(Qt::WA_DeleteOnClose);
    placeOverPage(dialog, parent);
    QObject::connect(dialog, &QDialog::finished, dialog,
                     [answer](int result) { answer(result == QDialog::Accepted); });
    dialog->open();
}

void PageDialogs::showNotification(QWidget *parent, const QString &origin, const QString &title,
                                   const QString &message)
{
    // Stacked upwards from the page's bottom-right corner over the ones still open;
    // once the page is full, from the bottom again.
    int raise = 0;
    m_notifications.removeAll(nullptr);
    for (const QPointer<NotificationPopup> &shown : std::as_const(m_notifications))
        raise += shown->height() + kFrameAllowance.height() + kPageInset;
    auto *popup = new NotificationPopup(origin, title, message, parent);
    const int room = pageRoom(parent).height() - kFrameAllowance.height() - popup->sizeHint().height();
    placeOverPage(popup, parent, PageCorner::BottomRight, raise <= room ? raise : 0);
    popup->show();
    m_notifications << popup;
}

void PageDialogs::openFolder(const QString &path)
{
    QDesktopServices::openUrl(QUrl::fromLocalFile(path));
}

void PageDialogs::tell(QWidget *parent, const QString &text)
{
    // Not a message box: that sizes itself anew as it is shown, after it was placed.
    auto *box = new QDialog(parent, kPlainWindow);
    box->setObjectName(QStringLiteral("toldBox"));
    box->setAttribute(Qt::WA_DeleteOnClose);
    QVBoxLayout *column = plainLook(box, QStringLiteral("Velt Browser"));
    column->addWidget(line(text, box));
    auto *ok = addButton(buttonRow(column), QStringLiteral("OK"), box, true);
    QObject::connect(ok, &QPushButton::clicked, box, &QDialog::accept);
    placeOverPage(box, parent);
    box->show();
}
