#include "desktopplatform.h"
#include "engine/host/enginehost.h"
#include "engine/host/engineprocess.h"
#include "form1.h"
#include "pagewindows/pagedialogs.h"
#include "version.h"

#include <QApplication>


int main(int argc, char *argv[])
{
    prepareEngineProcess();
    // The engine draws through OpenGL. Giving the window an OpenGL surface from the
    // start spares it being destroyed and re-created (and un-maximized) when the
    // engine's view arrives after the first paint.
    qputenv("QT_WIDGETS_RHI", "1");

    QApplication app(argc, argv);
    QCoreApplication::setApplicationName(QString::fromLatin1(Version::kInternalName));
    QCoreApplication::setApplicationVersion(QString::fromLatin1(Version::kProductVersion));
    QCoreApplication::setOrganizationName(QString::fromLatin1(Version::kProductName));
    // Ties the windows to the installed desktop entry.
    QGuiApplication::setDesktopFileName(QStringLiteral("org.veltbrowser.VeltBrowser"));
    QApplication::setQuitOnLastWindowClosed(false);

    const auto dialogState = keepDialogStateForSession();
    DesktopPlatform platform;
    PageDialogs pageDialogs;
    Form1 form(new EngineHost(EngineHost::moduleFactory(EngineHost::defaultModulePath(), &pageDialogs)),
               platform);
    form.Form_Load();
    return app.exec();
}
