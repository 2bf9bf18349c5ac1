#pragma once

#include <QByteArray>
#include <QElapsedTimer>
#include <QProcess>
#include <QProcessEnvironment>
#include <QStandardPaths>
#include <QTest>

#include <xcb/xcb.h>

#include <cstdlib>
#include <cstring>

#include <poll.h>

// Small X helpers shared by the drivers below.
inline xcb_atom_t xAtom(xcb_connection_t *c, const char *name)
{
    xcb_intern_atom_reply_t *reply =
            xcb_intern_atom_reply(c, xcb_intern_atom(c, 0, uint16_t(std::strlen(name)), name), nullptr);
    const xcb_atom_t result = reply ? reply->atom : xcb_atom_t(XCB_ATOM_NONE);
    std::free(reply);
    return result;
}

inline QByteArray xWindowName(xcb_connection_t *c, xcb_window_t window)
{
    QByteArray result;
    if (xcb_get_property_reply_t *reply = xcb_get_property_reply(
                c, xcb_get_property(c, 0, window, XCB_ATOM_WM_NAME, XCB_GET_PROPERTY_TYPE_ANY, 0, 64),
                nullptr)) {
        result = QByteArray(static_cast<const char *>(xcb_get_property_value(reply)),
                            xcb_get_property_value_length(reply));
        std::free(reply);
    }
    return result;
}

// Drives programs on a test's own X server the way a user would: finds windows by
// caption, clicks and types through xdotool, closes windows as the window manager does.
class XDriver
{
public:
    explicit XDriver(const QString &display) : m_display(display)
    {
        m_c = xcb_connect(display.toLocal8Bit().constData(), nullptr);
        m_root = xcb_setup_roots_iterator(xcb_get_setup(m_c)).data->root;
    }
    ~XDriver() { xcb_disconnect(m_c); }
    XDriver(const XDriver &) = delete;
    XDriver &operator=(const XDriver &) = delete;

    bool ok() const { return !xcb_connection_has_error(m_c); }

    // A mapped window with this exact caption, or XCB_WINDOW_NONE.
    xcb_window_t find(const QByteArray &caption) { return find(m_root, caption); }

    bool waitFor(const QByteArray &caption, int ms = 20000)
    {
        return QTest::qWaitFor([&] { return find(caption) != XCB_WINDOW_NONE; }, ms);
    }
    bool waitGone(const QByteArray &caption, int ms = 20000)
    {
        return QTest::qWaitFor([&] { return find(caption) == XCB_WINDOW_NONE; }, ms);
    }

    // What the window manager sends when the user closes a window from its frame.
    void close(xcb_window_t window)
    {
        xcb_client_message_event_t event;
        std::memset(&event, 0, sizeof event);
        event.response_type = XCB_CLIENT_MESSAGE;
        event.format = 32;
        event.window = window;
        event.type = xAtom(m_c, "WM_PROTOCOLS");
        event.data.data32[0] = xAtom(m_c, "WM_DELETE_WINDOW");
        event.data.data32[1] = XCB_CURRENT_TIME;
        xcb_send_event(m_c, 0, window, XCB_EVENT_MASK_NO_EVENT, reinterpret_cast<const char *>(&event));
        xcb_flush(m_c);
    }

    // Clicks at a point of the screen, given in pixels.
    bool click(int x, int y)
    {
        return xdotool({"mousemove", QString::number(x), QString::number(y), "click", "1"});
    }
    bool type(const QString &text)
    {
        return xdotool({"type", "--delay", "1", text});
    }
    bool key(const QString &name) { return xdotool({"key", name}); }

private:
    bool xdotool(const QStringList &arguments)
    {
        QProcess process;
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert(QStringLiteral("DISPLAY"), m_display);
        process.setProcessEnvironment(env);
        process.start(QStandardPaths::findExecutable(QStringLiteral("xdotool")), arguments);
        return process.waitForFinished(10000) && process.exitCode() == 0;
    }

    xcb_window_t find(xcb_window_t parent, const QByteArray &caption)
    {
        xcb_query_tree_reply_t *tree = xcb_query_tree_reply(m_c, xcb_query_tree(m_c, parent), nullptr);
        if (!tree)
            return XCB_WINDOW_NONE;
        xcb_window_t found = XCB_WINDOW_NONE;
        const xcb_window_t *children = xcb_query_tree_children(tree);
        for (int i = 0; i < xcb_query_tree_children_length(tree) && found == XCB_WINDOW_NONE; ++i) {
            if (mapped(children[i]) && xWindowName(m_c, children[i]) == caption)
                found = children[i];
            else
                found = find(children[i], caption);
        }
        std::free(tree);
        return found;
    }

    bool mapped(xcb_window_t window)
    {
        xcb_get_window_attributes_reply_t *a = xcb_get_window_attributes_reply(
                m_c, xcb_get_window_attributes(m_c, window), nullptr);
        const bool result = a && a->map_state == XCB_MAP_STATE_VIEWABLE;
        std::free(a);
        return result;
    }

    QString m_display;
    xcb_connection_t *m_c = nullptr;
    xcb_window_t m_root = XCB_WINDOW_NONE;
};

// Watches the X server for the maps and unmaps of windows captioned `caption`.
class MapWatch
{
public:
    MapWatch(const QString &display, QByteArray caption) : m_caption(std::move(caption))
    {
        m_c = xcb_connect(display.toLocal8Bit().constData(), nullptr);
        m_root = xcb_setup_roots_iterator(xcb_get_setup(m_c)).data->root;
        const uint32_t mask = XCB_EVENT_MASK_SUBSTRUCTURE_NOTIFY;
        xcb_change_window_attributes(m_c, m_root, XCB_CW_EVENT_MASK, &mask);
        xcb_flush(m_c);
        m_state = xAtom(m_c, "_NET_WM_STATE");
        m_maxHorz = xAtom(m_c, "_NET_WM_STATE_MAXIMIZED_HORZ");
        m_maxVert = xAtom(m_c, "_NET_WM_STATE_MAXIMIZED_VERT");
    }
    ~MapWatch() { xcb_disconnect(m_c); }
    MapWatch(const MapWatch &) = delete;
    MapWatch &operator=(const MapWatch &) = delete;

    bool ok() const { return !xcb_connection_has_error(m_c); }
    int maps = 0;
    int unmaps = 0;
    int windowsMade = 0;
    xcb_window_t window = XCB_WINDOW_NONE;

    // Handles the events that have come; with a clock, the first map is timed on it.
    void poll(const QElapsedTimer *clock = nullptr)
    {
        while (xcb_generic_event_t *event = xcb_poll_for_event(m_c)) {
            switch (event->response_type & 0x7f) {
            case XCB_CREATE_NOTIFY: {
                const auto *created = reinterpret_cast<xcb_create_notify_event_t *>(event);
                const uint32_t mask = XCB_EVENT_MASK_STRUCTURE_NOTIFY;
                xcb_change_window_attributes(m_c, created->window, XCB_CW_EVENT_MASK, &mask);
                xcb_flush(m_c);
                // A fast program may have its window mapped before we listen to it:
                // then the map is taken as seen now.
                if (xcb_get_window_attributes_reply_t *attributes = xcb_get_window_attributes_reply(
                            m_c, xcb_get_window_attributes(m_c, created->window), nullptr)) {
                    const bool mapped = attributes->map_state != XCB_MAP_STATE_UNMAPPED;
                    std::free(attributes);
                    if (mapped)
                        seenMapped(created->window, clock);
                }
                break;
            }
            case XCB_MAP_NOTIFY: {
                const auto *mapped = reinterpret_cast<xcb_map_notify_event_t *>(event);
                if (mapped->event == mapped->window)
                    seenMapped(mapped->window, clock);
                break;
            }
            case XCB_UNMAP_NOTIFY: {
                const auto *unmapped = reinterpret_cast<xcb_unmap_notify_event_t *>(event);
                if (unmapped->event == unmapped->window && unmapped->window == window) {
                    ++unmaps;
                    m_mappedNow = false;
                }
                break;
            }
            default:
                break;
            }
            std::free(event);
        }
    }

    // Waits up to `ms` for events and handles them.
    void pump(const QElapsedTimer &clock, int ms)
    {
        pollfd fd{xcb_get_file_descriptor(m_c), POLLIN, 0};
        ::poll(&fd, 1, ms);
        poll(&clock);
    }

    void pumpFor(const QElapsedTimer &clock, int ms)
    {
        QElapsedTimer spent;
        spent.start();
        while (spent.elapsed() < ms)
            pump(clock, 10);
    }

    qint64 firstMapNs = -1;

    bool maximized()
    {
        bool horz = false;
        bool vert = false;
        xcb_get_property_reply_t *reply = xcb_get_property_reply(
                m_c, xcb_get_property(m_c, 0, window, m_state, XCB_ATOM_ATOM, 0, 32), nullptr);
        if (reply) {
            const auto *atoms = static_cast<const xcb_atom_t *>(xcb_get_property_value(reply));
            for (int i = 0; i < xcb_get_property_value_length(reply) / 4; ++i) {
                horz |= atoms[i] == m_maxHorz;
                vert |= atoms[i] == m_maxVert;
            }
            std::free(reply);
        }
        return horz && vert;
    }

    QSize size()
    {
        QSize result;
        if (xcb_get_geometry_reply_t *g = xcb_get_geometry_reply(
                    m_c, xcb_get_geometry(m_c, window), nullptr)) {
            result = QSize(g->width, g->height);
            std::free(g);
        }
        return result;
    }

private:
    void seenMapped(xcb_window_t w, const QElapsedTimer *clock)
    {
        // The same map can be seen twice: as already mapped when first met, and as
        // the event itself if it came just after we listened.
        if ((w == window && m_mappedNow) || xWindowName(m_c, w) != m_caption)
            return;
        if (window != w)
            ++windowsMade;
        window = w;
        m_mappedNow = true;
        if (maps++ == 0 && clock)
            firstMapNs = clock->nsecsElapsed();
    }

    xcb_connection_t *m_c = nullptr;
    xcb_window_t m_root = XCB_WINDOW_NONE;
    QByteArray m_caption;
    bool m_mappedNow = false;
    xcb_atom_t m_state = XCB_ATOM_NONE;
    xcb_atom_t m_maxHorz = XCB_ATOM_NONE;
    xcb_atom_t m_maxVert = XCB_ATOM_NONE;
};
