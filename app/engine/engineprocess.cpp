#include "engineprocess.h"

#include <QCoreApplication>

#include <cstdio>

#ifdef Q_OS_UNIX
#include <unistd.h>
#endif

void prepareEngineProcess()
{
#ifdef Q_OS_UNIX
    // Chromium refuses to start its sandbox as root; only then do we go without it.
    if (geteuid() == 0) {
        qputenv("QTWEBENGINE_DISABLE_SANDBOX", "1");
        std::fputs("velt-browser: running as root, so the web engine's sandbox is off.\n", stderr);
    }
#endif
    QCoreApplication::setAttribute(Qt::AA_ShareOpenGLContexts);
    // Nothing on disk: neither Qt nor the OpenGL driver may keep compiled shaders
    // under the user's cache folder.
    QCoreApplication::setAttribute(Qt::AA_DisableShaderDiskCache);
    qputenv("MESA_SHADER_CACHE_DISABLE", "true");
    qputenv("MESA_GLSL_CACHE_DISABLE", "true");
}
