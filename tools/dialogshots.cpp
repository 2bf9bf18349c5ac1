// Saves a picture of each dialog that pages can bring up into a folder:
// dialogshots <folder>. Used for the pictures in docs/.
#include "pagewindows/downloadswindow.h"
#include "pagewindows/pagedialogs.h"

#include <QApplication>
#include <QDir>
#include <QFileDialog>
#include <QPrintDialog>
#include <QPrinter>
#include <QTest>

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    if (argc != 2)
        return 2;
    const QDir folder(QString::fromLocal8Bit(argv[1]));
    const QString home = QDir::homePath();
    bool saved = true;
    const auto shoot = [&](QWidget *window, const char *name) {
        window->show();
        QTest::qWait(200);
        saved &= window->grab().save(folder.filePath(QStringLiteral("dialog-%1.png").arg(QLatin1String(name))));
        delete window;
    };

    shoot(new LoginDialog(nullptr, {QStringLiteral("intranet.example:8080"),
                                    QStringLiteral("Staff area <b>only</b>"), false, true}),
          "login");
    shoot(new CertificateDialog(nullptr, {QStringLiteral("shop.example"),
                                          QStringLiteral("it is not issued by anyone this computer trusts"),
                                          true}),
          "certificate");
    shoot(new CertificateDialog(nullptr, {QStringLiteral("bank.example"),
                                          QStringLiteral("it has been revoked"), false}),
          "certificate-refused");
    shoot(new PermissionPrompt(QStringLiteral("https://maps.example"), QStringLiteral("know your location"),
                               [](bool) {}),
          "permission");
    shoot(new NotificationPopup(QStringLiteral("https://mail.example"), QStringLiteral("New message"),
                                QStringLiteral("Lunch at noon? The usual place.")),
          "notification");

    auto *downloads = new DownloadsWindow;
    downloads->setRow(0, {home + QStringLiteral("/Downloads/report.pdf"), 2400000, 2400000,
                          QStringLiteral("Done"), false});
    downloads->setRow(1, {home + QStringLiteral("/Downloads/backup.tar"), 300000, 1048576,
                          QStringLiteral("Failed: the server broke off the transfer"), false});
    downloads->setRow(2, {home + QStringLiteral("/Downloads/video.webm"), 12500000, 48000000,
                          QStringLiteral("Running"), true});
    shoot(downloads, "downloads");

    auto *save = new QFileDialog(nullptr, QStringLiteral("Save As"), home);
    save->setAcceptMode(QFileDialog::AcceptSave);
    save->selectFile(QStringLiteral("report.pdf"));
    shoot(save, "save");
    QPrinter printer;
    shoot(new QPrintDialog(&printer), "print");
    return saved ? 0 : 1;
}
