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
    // A server started beside another one may lose its display to it; it is then
    // started afresh.
    bool start(QString *why, bool withWindowManager = true)
    {
        for (int attempt = 0; attempt < 3; ++attempt) {
            if (startOnce(why, withWindowManager))
                return true;
            stop();
        }
        return false;
    }

private:
    bool startOnce(QString *why, bool withWindowManager)
    {
        const QString xvfb = QStandardPaths::findExecutable(QStringLiteral("Xvfb"));
        if (xvfb.isEmpty()) {
            *why = QStringLiteral("Xvfb is not installed");
            return false;
        }
        // The server picks a free display itself and tells its number on stdout.
        m_server = std::make_unique<QProcess>();
        m_server->setProcessChannelMode(QProcess::SeparateChannels);
        m_server->setReadChannel(QProcess::StandardOutput);
        m_server->start(xvfb, {QStringLiteral("-displayfd"), QStringLiteral("1"),
                               QStringLiteral("-screen"), QStringLiteral("0"),
                               QStringLiteral("1024x768x24"), QStringLiteral("-nolisten"),
                               QStringLiteral("tcp"), QStringLiteral("-noreset")});
        if (!QTest::qWaitFor([this] { return m_server->canReadLine()
                                              || m_server->state() == QProcess::NotRunning; },
                             10000)
            || !m_server->canReadLine()) {
            *why = QStringLiteral("no virtual X server could be started");
            return false;
        }
        bool isNumber = false;
        const int number = m_server->readLine().trimmed().toInt(&isNumber);
        if (!isNumber) {
            *why = QStringLiteral("the virtual X server named no display");
            return false;
        }
        m_display = QStringLiteral(":%1").arg(number);
        // The socket may be there before the server takes connections.
        if (!QTest::qWaitFor([this] { return serverAnswers(); }, 10000)) {
            *why = QStringLiteral("the virtual X server does not answer");
            return false;
        }
        if (withWindowManager) {
            const QString openbox = QStandardPaths::findExecutable(QStringLiteral("openbox"));
            if (openbox.isEmpty()) {
                *why = QStringLiteral("openbox is not installed");
                return false;
            }
            // Windows made before the manager has taken the screen would be seen unmanaged.
            for (int attempt = 0; attempt < 3 && !windowManagerReady(); ++attempt) {
                m_windowManager = std::make_unique<QProcess>();
                m_windowManager->setProcessEnvironment(environment());
                m_windowManager->setProcessChannelMode(QProcess::ForwardedChannels);
                m_windowManager->start(openbox, {});
                // Whether it took over is checked by the loop itself.
                (void)QTest::qWaitFor([this] { return windowManagerReady()
                                                || m_windowManager->state() == QProcess::NotRunning; },
                                10000);
            }
            if (!windowManagerReady()) {
                *why = QStringLiteral("openbox did not take over the screen %1 (%2, exit code %3;"
                                      " the X server %4 and said: %5)")
                               .arg(m_display,
                                    m_windowManager->state() == QProcess::NotRunning
                                            ? QStringLiteral("it ended")
                                            : QStringLiteral("it runs"))
                               .arg(m_windowManager->exitCode())
                               .arg(m_server->state() == QProcess::NotRunning
                                            ? QStringLiteral("ended") : QStringLiteral("runs"),
                                    QString::fromLocal8Bit(m_server->readAllStandardError().right(600)));
                return false;
            }
        }
        return true;
    }

public:
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
    bool serverAnswers() const
    {
        xcb_connection_t *c = xcb_connect(m_display.toLocal8Bit().constData(), nullptr);
        const bool answers = !xcb_connection_has_error(c);
        xcb_disconnect(c);
        return answers;
    }

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
