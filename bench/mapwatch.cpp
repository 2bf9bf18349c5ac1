#include "mapwatch.h"

#include <xcb/xcb.h>

#include <cstdlib>

#include <poll.h>

MapWatch::MapWatch(const QString &display, QByteArray caption) : m_caption(std::move(caption))
{
    m_c = xcb_connect(qPrintable(display), nullptr);
    const uint32_t mask = XCB_EVENT_MASK_SUBSTRUCTURE_NOTIFY;
    xcb_change_window_attributes(m_c, xcb_setup_roots_iterator(xcb_get_setup(m_c)).data->root,
                                 XCB_CW_EVENT_MASK, &mask);
    xcb_flush(m_c);
}

MapWatch::~MapWatch()
{
    xcb_disconnect(m_c);
}

bool MapWatch::ok() const
{
    return !xcb_connection_has_error(m_c);
}

void MapWatch::poll(const QElapsedTimer *clock)
{
    while (xcb_generic_event_t *event = xcb_poll_for_event(m_c)) {
        const auto type = event->response_type & 0x7f;
        if (type == XCB_CREATE_NOTIFY) {
            // The window manager takes each window into a frame of its own, so the
            // maps are heard from the window itself, not from the screen.
            const xcb_window_t created = reinterpret_cast<xcb_create_notify_event_t *>(event)->window;
            const uint32_t mask = XCB_EVENT_MASK_STRUCTURE_NOTIFY;
            xcb_change_window_attributes(m_c, created, XCB_CW_EVENT_MASK, &mask);
            // A fast program may have mapped it before we listened: that map counts as seen now.
            if (auto *a = xcb_get_window_attributes_reply(m_c, xcb_get_window_attributes(m_c, created), nullptr)) {
                if (a->map_state != XCB_MAP_STATE_UNMAPPED)
                    seenMapped(created, clock);
                std::free(a);
            }
        } else if (type == XCB_MAP_NOTIFY) {
            const auto *mapped = reinterpret_cast<xcb_map_notify_event_t *>(event);
            if (mapped->event == mapped->window)
                seenMapped(mapped->window, clock);
        } else if (type == XCB_UNMAP_NOTIFY) {
            const auto *unmapped = reinterpret_cast<xcb_unmap_notify_event_t *>(event);
            if (unmapped->event == unmapped->window && unmapped->window == m_window) {
                ++unmaps;
                m_mappedNow = false;
            }
        }
        std::free(event);
    }
}

void MapWatch::seenMapped(quint32 window, const QElapsedTimer *clock)
{
    QByteArray caption;
    if (auto *reply = xcb_get_property_reply(
                m_c, xcb_get_property(m_c, 0, window, XCB_ATOM_WM_NAME, XCB_GET_PROPERTY_TYPE_ANY, 0, 64), nullptr)) {
        caption = QByteArray(static_cast<const char *>(xcb_get_property_value(reply)),
                             xcb_get_property_value_length(reply));
        std::free(reply);
    }
    // The same map can be seen twice: as already mapped when first met, and as
    // the event itself if it came just after we listened.
    if ((window == m_window && m_mappedNow) || caption != m_caption)
        return;
    windowsMade += window != m_window;
    m_window = window;
    m_mappedNow = true;
    if (maps++ == 0 && clock)
        firstMapNs = clock->nsecsElapsed();
}

void MapWatch::pump(const QElapsedTimer &clock, int ms)
{
    pollfd fd{xcb_get_file_descriptor(m_c), POLLIN, 0};
    ::poll(&fd, 1, ms);
    poll(&clock);
}

void MapWatch::pumpFor(const QElapsedTimer &clock, int ms)
{
    QElapsedTimer spent;
    spent.start();
    while (spent.elapsed() < ms)
        pump(clock, 10);
}
