#pragma once

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QStandardPaths>
#include <QString>
#include <QTest>

#include <xcb/xcb.h>

#include <cstdlib>
#include <memory>

// A virtual X server with a window manager, started by a test for itself.
class XSession
{
public:
    XSession() = default;
    XSession(const XSession &) = delete;
    XSession &operator=(const XSession &) = delete;
    ~XSession() { stop(); }

    // Starts Xvfb (and openbox unless told otherwise); false with a reason when it cannot.
    bool start(QString *why, bool withWindowManager = true)
    {
        const QString xvfb = QStandardPaths::findExecutable(QStringLiteral("Xvfb"));
        if (xvfb.isEmpty()) {
            *why = QStringLiteral("Xvfb is not installed");
            return false;
        }
        for (int n = 100 + QCoreApplication::applicationPid() % 300; n < 1000; ++n) {
            if (QFile::exists(QStringLiteral("/tmp/.X11-unix/X%1").arg(n))
                || QFile::exists(QStringLiteral("/tmp/.X%1-lock").arg(n)))
                continue;
            m_display = QStringLiteral(":%1").arg(n);
            m_server = std::make_unique<QProcess>();
            m_server->setProcessChannelMode(QProcess::ForwardedErrorChannel);
            m_server->start(xvfb, {m_display, QStringLiteral("-screen"), QStringLiteral("0"),
                                   QStringLiteral("1024x768x24"), QStringLiteral("-nolisten"),
                                   QStringLiteral("tcp")});
            const QString socket = QStringLiteral("/tmp/.X11-unix/X%1").arg(n);
            if (QTest::qWaitFor([&] { return QFile::exists(socket)
                                              || m_server->state() == QProcess::NotRunning; },
                                10000)
                && m_server->state() == QProcess::Running)
                break;
            m_server.reset();
        }
        if (!m_server) {
            *why = QStringLiteral("no virtual X server could be started");
            return false;
        }
        if (withWindowManager) {
            const QString openbox = QStandardPaths::findExecutable(QStringLiteral("openbox"));
            if (openbox.isEmpty()) {
                *why = QStringLiteral("openbox is not installed");
                return false;
            }
            m_windowManager = std::make_unique<QProcess>();
            m_windowManager->setProcessEnvironment(environment());
            m_windowManager->start(openbox, {});
            if (!m_windowManager->waitForStarted()) {
                *why = QStringLiteral("openbox did not start");
                return false;
            }
            // Windows made before the manager has taken the screen would be seen unmanaged.
            if (!QTest::qWaitFor([this] { return windowManagerReady(); }, 10000)) {
                *why = QStringLiteral("openbox did not take over the screen");
                return false;
            }
        }
        return true;
    }

    QString display() const { return m_display; }

    QProcessEnvironment environment() const
    {
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert(QStringLiteral("DISPLAY"), m_display);
        env.remove(QStringLiteral("WAYLAND_DISPLAY"));
        env.remove(QStringLiteral("QT_QPA_PLATFORM"));
        return env;
    }

    void stop()
    {
        for (auto *process : {m_windowManager.get(), m_server.get()}) {
            if (process && process->state() != QProcess::NotRunning) {
                process->terminate();
                if (!process->waitForFinished(3000))
                    process->kill();
                process->waitForFinished(1000);
            }
        }
        m_windowManager.reset();
        m_server.reset();
    }

private:
    bool windowManagerReady() const
    {
        xcb_connection_t *c = xcb_connect(m_display.toLocal8Bit().constData(), nullptr);
        bool ready = false;
        if (!xcb_connection_has_error(c)) {
            const char name[] = "_NET_SUPPORTING_WM_CHECK";
            xcb_intern_atom_reply_t *atom = xcb_intern_atom_reply(
                    c, xcb_intern_atom(c, 1, sizeof name - 1, name), nullptr);
            if (atom && atom->atom != XCB_ATOM_NONE) {
                xcb_window_t root = xcb_setup_roots_iterator(xcb_get_setup(c)).data->root;
                xcb_get_property_reply_t *prop = xcb_get_property_reply(
                        c, xcb_get_property(c, 0, root, atom->atom, XCB_ATOM_WINDOW, 0, 1), nullptr);
                ready = prop && xcb_get_property_value_length(prop) > 0;
                std::free(prop);
            }
            std::free(atom);
        }
        xcb_disconnect(c);
        return ready;
    }

    QString m_display;
    std::unique_ptr<QProcess> m_server;
    std::unique_ptr<QProcess> m_windowManager;
};
