#include "desktopplatform.h"

#include <QApplication>
#include <QFileDialog>
#include <QFileInfo>
#include <QMessageBox>
#include <QProcess>
#include <QStandardPaths>
#include <QWidget>

#ifdef Q_OS_WIN
#include <qt_windows.h>
#endif

namespace {

bool startDetached(const QString &program)
{
    QProcess process;
    process.setProgram(program);
#ifdef Q_OS_WIN
    // The editor opens maximised with the focus, as a command started from the
    // browser should.
    process.setCreateProcessArgumentsModifier([](QProcess::CreateProcessArguments *args) {
        args->startupInfo->dwFlags |= STARTF_USESHOWWINDOW;
        args->startupInfo->wShowWindow = SW_SHOWMAXIMIZED;
    });
#endif
    return process.startDetached();
}

} // namespace

QString DesktopPlatform::chooseFileToOpen(QWidget *parent)
{
    // Qt's own dialog: a desktop's dialog would keep a list of recent files.
    return QFileDialog::getOpenFileName(parent, {}, {}, {}, nullptr, QFileDialog::DontUseNativeDialog);
}

QStringList DesktopPlatform::textEditors()
{
    return {QStringLiteral("gnome-text-editor"), QStringLiteral("gedit"), QStringLiteral("kate"),
            QStringLiteral("kwrite"), QStringLiteral("mousepad"), QStringLiteral("pluma"),
            QStringLiteral("xed"), QStringLiteral("leafpad"), QStringLiteral("featherpad"),
            QStringLiteral("geany"), QStringLiteral("xedit"), QStringLiteral("notepad")};
}

bool DesktopPlatform::startProgram(const QString &path)
{
    const QFileInfo program(path);
    if (program.isFile() && program.isExecutable())
        return startDetached(program.absoluteFilePath());

    for (const QString &editor : textEditors()) {
        const QString found = QStandardPaths::findExecutable(editor);
        if (!found.isEmpty() && startDetached(found))
            return true;
    }
    return false;
}

void DesktopPlatform::endProgram()
{
    // Hiding cannot be refused the way a close can, so every window is gone at
    // once; exit() then leaves every event loop, nested ones included.
    const QWidgetList windows = QApplication::topLevelWidgets();
    for (QWidget *window : windows)
        window->hide();
    QCoreApplication::exit(0);
}

void DesktopPlatform::showMessage(QWidget *parent, const QString &text)
{
    auto *box = new QMessageBox(QMessageBox::Warning, QStringLiteral("Velt Browser"), text,
                                QMessageBox::Ok, parent);
    box->setModal(false);
    box->setAttribute(Qt::WA_DeleteOnClose);
    box->show();
}
