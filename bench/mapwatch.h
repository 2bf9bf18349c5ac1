#pragma once

#include <QByteArray>
#include <QElapsedTimer>
#include <QString>

struct xcb_connection_t;

// Watches an X server for the maps and unmaps of windows with one caption.
class MapWatch
{
public:
    MapWatch(const QString &display, QByteArray caption);
    ~MapWatch();
    MapWatch(const MapWatch &) = delete;
    MapWatch &operator=(const MapWatch &) = delete;

    bool ok() const;
    // Handles the events that have come; with a clock, the first map is timed on it.
    void poll(const QElapsedTimer *clock = nullptr);
    // Waits up to `ms` for events and handles them; pumpFor goes on for all of `ms`.
    void pump(const QElapsedTimer &clock, int ms);
    void pumpFor(const QElapsedTimer &clock, int ms);

    int maps = 0;
    int unmaps = 0;
    int windowsMade = 0;
    qint64 firstMapNs = -1;

private:
    void seenMapped(quint32 window, const QElapsedTimer *clock);

    xcb_connection_t *m_c = nullptr;
    QByteArray m_caption;
    quint32 m_window = 0;
    bool m_mappedNow = false;
};
