#pragma once

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QList>
#include <QObject>
#include <QTimer>
#include <QUrl>
#include <QWidget>

#include <cstdio>
#include <functional>

// Loads one page again and again in one process and prints how long each load
// took: first a warm-up load (which also starts the engine), then `count` timed
// ones. Each load gets its own query so that none is a reload of the last.
class LoadLoop : public QObject
{
public:
    // start(url) begins a load; the owner calls finished(ok) when it has ended.
    // prepare(url), when given, runs before the pause that precedes a load and is
    // not timed: what a user does before the timed action (typing the address).
    LoadLoop(QUrl page, int count, std::function<void(const QUrl &)> start,
             std::function<void(const QUrl &)> prepare = {})
        : m_page(std::move(page)), m_count(count), m_start(std::move(start)),
          m_prepare(std::move(prepare))
    {
    }

    // The widget the page is laid out in: its size is reported with the warm-up,
    // so that the caller can check that every program compared had the same.
    void setView(const QWidget *view) { m_view = view; }

    void begin() { schedule(0); }

    void finished(bool ok)
    {
        if (!m_running)
            return;
        m_running = false;
        const double ms = m_clock.nsecsElapsed() / 1e6;
        if (!ok) {
            std::printf("error load %d failed\n", m_done);
            std::fflush(stdout);
            QCoreApplication::exit(1);
            return;
        }
        std::printf("%s %.3f\n", m_done == 0 ? "warmup-ms" : "load-ms", ms);
        if (m_done == 0 && m_view)
            std::printf("view-size %dx%d\n", m_view->width(), m_view->height());
        std::fflush(stdout);
        if (++m_done > m_count) {
            QCoreApplication::exit(0);
            return;
        }
        // Let the engine finish what it does after a load before timing the next.
        schedule(300);
    }

private:
    QUrl nextUrl() const
    {
        QUrl url = m_page;
        url.setQuery(QStringLiteral("n=%1").arg(m_done));
        return url;
    }

    void schedule(int pauseMs)
    {
        if (m_prepare)
            m_prepare(nextUrl());
        QTimer::singleShot(pauseMs, this, [this] { next(); });
    }

    void next()
    {
        m_running = true;
        m_clock.start();
        m_start(nextUrl());
    }

    QUrl m_page;
    int m_count;
    std::function<void(const QUrl &)> m_start;
    std::function<void(const QUrl &)> m_prepare;
    const QWidget *m_view = nullptr;
    QElapsedTimer m_clock;
    int m_done = 0;
    bool m_running = false;
};
