#include "engineprocess.h"

#include <QCoreApplication>
#include <QFileInfo>
#include <QLoggingCategory>

#include <cstdio>

#ifdef Q_OS_LINUX
#include <sched.h>
#include <sys/wait.h>
#include <unistd.h>
#endif

namespace {
QString g_startProblem;
}

QString sandboxProblem(bool root, bool userNamespacesAllowed)
{
    if (root || userNamespacesAllowed)
        return {};
    return QStringLiteral(
            "the web engine's sandbox cannot start, because this system does not let "
            "ordinary users create user namespaces (see the kernel settings "
            "user.max_user_namespaces and kernel.unprivileged_userns_clone); "
            "pages are not shown without the sandbox.");
}

bool userNamespacesAllowed()
{
#ifdef Q_OS_LINUX
    const pid_t child = fork();
    if (child < 0)
        return false;
    if (child == 0)
        _exit(unshare(CLONE_NEWUSER) == 0 ? 0 : 1);
    int status = 0;
    if (waitpid(child, &status, 0) != child)
        return false;
    return WIFEXITED(status) && WEXITSTATUS(status) == 0;
#else
    return true;
#endif
}

QString engineStartProblem()
{
    return g_startProblem;
}

void prepareEngineProcess()
{
#ifdef Q_OS_UNIX
    const bool root = geteuid() == 0;
    // Chromium refuses to start its sandbox as root; only then do we go without it.
    if (root) {
        qputenv("QTWEBENGINE_DISABLE_SANDBOX", "1");
        std::fputs("velt-browser: running as root, so the web engine's sandbox is off.\n", stderr);
    }
#ifdef Q_OS_LINUX
    // Without the sandbox the engine's page processes die at start and leave an
    // empty page; better to say why and not start it.
    g_startProblem = sandboxProblem(root, root || userNamespacesAllowed());
    if (!g_startProblem.isEmpty())
        std::fprintf(stderr, "velt-browser: %s\n", qPrintable(g_startProblem));
#endif
#endif
    QCoreApplication::setAttribute(Qt::AA_ShareOpenGLContexts);
    // Nothing on disk: neither Qt nor the OpenGL driver may keep compiled shaders
    // under the user's cache folder.
    QCoreApplication::setAttribute(Qt::AA_DisableShaderDiskCache);
    qputenv("MESA_SHADER_CACHE_DISABLE", "true");
    qputenv("MESA_GLSL_CACHE_DISABLE", "true");

    // The engine reports its set-up (GL type, switches) on every start; that is for
    // its developers. Logging rules the user has set decide for themselves.
    if (!qEnvironmentVariableIsSet("QT_LOGGING_RULES"))
        QLoggingCategory::setFilterRules(QStringLiteral("qt.webenginecontext.info=false"));

#ifdef Q_OS_UNIX
    // With no session bus, the D-Bus library starts one for Qt's accessibility
    // bridge (dbus-launch, which writes under ~/.dbus and outlives us). Where there
    // is none there is no assistive tool to serve either, so start none: an address
    // of no known kind makes the library give up. Programs we start inherit it.
    if (qEnvironmentVariableIsEmpty("DBUS_SESSION_BUS_ADDRESS")
        && !QFileInfo::exists(qEnvironmentVariable("XDG_RUNTIME_DIR") + QStringLiteral("/bus")))
        qputenv("DBUS_SESSION_BUS_ADDRESS", "disabled:");
#endif
}
