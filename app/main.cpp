#include "desktopplatform.h"
#include "engine/qtwebbrowser.h"
#include "form1.h"
#include "version.h"

#include <QApplication>

#include <cstdio>

#ifdef Q_OS_UNIX
#include <unistd.h>
#endif

int main(int argc, char *argv[])
{
#ifdef Q_OS_UNIX
    // Chromium will not start its sandbox for root; only then do we go without it.
    if (geteuid() == 0) {
        qputenv("QTWEBENGINE_DISABLE_SANDBOX", "1");
        std::fputs("velt-browser: running as root, so the web engine's sandbox is off.\n", stderr);
    }
#endif
    // The engine draws through OpenGL. Giving the window an OpenGL surface from the
    // start spares it being destroyed and re-created (and un-maximized) when the
    // engine's view arrives after the first paint.
    qputenv("QT_WIDGETS_RHI", "1");
    QCoreApplication::setAttribute(Qt::AA_ShareOpenGLContexts);

    QApplication app(argc, argv);
    QCoreApplication::setApplicationName(QString::fromLatin1(Version::kInternalName));
    QCoreApplication::setApplicationVersion(QString::fromLatin1(Version::kProductVersion));
    QCoreApplication::setOrganizationName(QString::fromLatin1(Version::kProductName));
    QApplication::setQuitOnLastWindowClosed(false);

    DesktopPlatform platform;
    Form1 form(new QtWebBrowser, platform);
    form.Form_Load();
    return app.exec();
}
