// The time window's hand against a bare 1 ms precise timer, and the soak run.
//
//   velt_bench_dial --form3|--bare [--hidden] [--warmup S] [--seconds S]
//       prints: ticks-per-s, cpu-percent, paints, and for --form3 whether the hand's
//       tip is where the dial arithmetic puts it after the ticks delivered
//   velt_bench_dial --soak S [--sample S]
//       keeps the time window open S seconds; prints its memory every sample
//       ("memory-mib <s> <private dirty> <private clean> <rss> <pss> <ticks>")
//       and, at the end, the ticks delivered and the tip check
//
// Ticks are counted on Timer2's own timeout signal, so the count is exactly the
// number of times the window's tick handler ran.

#include "timewin/form3.h"
#include "timewin/handsweep.h"

#include <QApplication>
#include <QCommandLineParser>
#include <QElapsedTimer>
#include <QFile>
#include <QPainter>
#include <QTimer>

#include <cmath>
#include <cstdio>
#include <ctime>

namespace {

double cpuSeconds()
{
    timespec t{};
    clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &t);
    return double(t.tv_sec) + double(t.tv_nsec) / 1e9;
}

// The process's memory, in MiB, from /proc/self/smaps_rollup. Private dirty
// pages are the ones the process itself has written (heap, stacks, its copies of
// the libraries' data): its own. Private clean pages are mostly library code and
// read-only data that no other process maps at that moment: they become shared,
// and leave this figure, whenever another program using the same libraries runs.
// PSS moves for the same reason; RSS does not.
struct Memory
{
    double pss = -1;
    double dirty = -1;
    double clean = -1;
    double rss = -1;
};

Memory memory()
{
    QFile rollup(QStringLiteral("/proc/self/smaps_rollup"));
    if (!rollup.open(QIODevice::ReadOnly))
        return {};
    Memory m;
    for (const QByteArray &line : rollup.readAll().split('\n')) {
        const double mib = line.mid(line.indexOf(':') + 1).trimmed().split(' ').first().toDouble() / 1024.0;
        if (line.startsWith("Pss:"))
            m.pss = mib;
        else if (line.startsWith("Private_Dirty:"))
            m.dirty = mib;
        else if (line.startsWith("Private_Clean:"))
            m.clean = mib;
        else if (line.startsWith("Rss:"))
            m.rss = mib;
    }
    return m;
}

// Counts the paints of one window and everything in it.
class PaintCounter : public QObject
{
public:
    explicit PaintCounter(QWidget *window) : m_window(window) {}
    long paints = 0;

protected:
    bool eventFilter(QObject *watched, QEvent *event) override
    {
        if (event->type() == QEvent::Paint && watched->isWidgetType()
            && static_cast<QWidget *>(watched)->window() == m_window)
            ++paints;
        return false;
    }

private:
    QWidget *m_window;
};

// What a plain Qt program would do for a sweeping hand: a 1 ms precise timer that
// turns a line by 0.4 degrees and asks for a repaint.
class BareDial : public QWidget
{
public:
    BareDial()
    {
        setWindowTitle(QStringLiteral("Bare dial"));
        resize(200, 200);
        m_timer.setTimerType(Qt::PreciseTimer);
        m_timer.setInterval(1);
        connect(&m_timer, &QTimer::timeout, this, [this] {
            m_angle += 0.4;
            update();
        });
        m_timer.start();
    }
    QTimer *timer() { return &m_timer; }

protected:
    void paintEvent(QPaintEvent *) override
    {
        QPainter painter(this);
        painter.setRenderHint(QPainter::Antialiasing);
        const double a = m_angle * M_PI / 180.0;
        const QPointF pivot(100, 100);
        painter.drawLine(pivot, pivot + QPointF(80 * std::sin(a), -80 * std::cos(a)));
    }

private:
    QTimer m_timer;
    double m_angle = 0;
};

// The tip after n ticks, by the dial's own arithmetic from the line as designed.
bool tipMatches(const LineCoords &designed, long ticks, const LineCoords &shown)
{
    HandSweep sweep;
    sweep.load(designed);
    LineCoords line = designed;
    for (long i = 0; i < ticks; ++i)
        sweep.tick(line);
    return line.x2 == shown.x2 && line.y2 == shown.y2 && line.x1 == shown.x1
            && line.y1 == shown.y1;
}

} // namespace

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    QCommandLineParser parser;
    const QCommandLineOption form3(QStringLiteral("form3"), QStringLiteral("Time the time window."));
    const QCommandLineOption bare(QStringLiteral("bare"), QStringLiteral("Time a bare 1 ms timer."));
    const QCommandLineOption hidden(QStringLiteral("hidden"), QStringLiteral("Hide the window first."));
    const QCommandLineOption warmup(QStringLiteral("warmup"), QStringLiteral("Seconds before timing."),
                                    QStringLiteral("s"), QStringLiteral("2"));
    const QCommandLineOption seconds(QStringLiteral("seconds"), QStringLiteral("Seconds timed."),
                                     QStringLiteral("s"), QStringLiteral("10"));
    const QCommandLineOption soak(QStringLiteral("soak"), QStringLiteral("Soak for <s> seconds."),
                                  QStringLiteral("s"));
    const QCommandLineOption sample(QStringLiteral("sample"), QStringLiteral("Soak sample period."),
                                    QStringLiteral("s"), QStringLiteral("10"));
    parser.addOptions({form3, bare, hidden, warmup, seconds, soak, sample});
    parser.process(app);

    QWidget *window = nullptr;
    QTimer *ticker = nullptr;
    Form3 *timeWindow = nullptr;
    LineCoords designed{};
    if (parser.isSet(bare)) {
        auto *dial = new BareDial;
        window = dial;
        ticker = dial->timer();
    } else {
        timeWindow = new Form3(nullptr);
        // No tick has run yet: the timers start ticking with the event loop.
        designed = timeWindow->line10();
        window = timeWindow;
        ticker = timeWindow->findChild<QTimer *>(QStringLiteral("Timer2"));
    }
    long ticks = 0;
    QObject::connect(ticker, &QTimer::timeout, &app, [&ticks] { ++ticks; });
    PaintCounter paints(window);
    app.installEventFilter(&paints);
    window->show();

    auto tipReport = [&] {
        if (!timeWindow)
            return QByteArray("-");
        return QByteArray(tipMatches(designed, ticks, timeWindow->line10()) ? "equal" : "DIFFERS");
    };

    if (parser.isSet(soak)) {
        const int total = parser.value(soak).toInt() * 1000;
        const int every = parser.value(sample).toInt() * 1000;
        QElapsedTimer clock;
        clock.start();
        QTimer sampler;
        QObject::connect(&sampler, &QTimer::timeout, &app, [&] {
            const Memory m = memory();
            std::printf("memory-mib %.0f %.3f %.3f %.3f %.3f %ld\n", clock.elapsed() / 1000.0,
                        m.dirty, m.clean, m.rss, m.pss, ticks);
            std::fflush(stdout);
            if (clock.elapsed() >= total) {
                std::printf("soak-ticks %ld\nsoak-tip %s\n", ticks, tipReport().constData());
                app.quit();
            }
        });
        sampler.start(every);
        return app.exec();
    }

    const int warmupMs = int(parser.value(warmup).toDouble() * 1000);
    const int timedMs = int(parser.value(seconds).toDouble() * 1000);
    if (parser.isSet(hidden)) {
        // Hidden the way the user hides it: Back on the time window.
        QTimer::singleShot(warmupMs / 2, &app, [&] {
            if (timeWindow)
                timeWindow->Command1_Click();
            else
                window->hide();
        });
    }
    long ticksAtStart = 0;
    long paintsAtStart = 0;
    double cpuAtStart = 0;
    QElapsedTimer clock;
    QTimer::singleShot(warmupMs, &app, [&] {
        ticksAtStart = ticks;
        paintsAtStart = paints.paints;
        cpuAtStart = cpuSeconds();
        clock.start();
        QTimer::singleShot(timedMs, &app, [&] {
            const double wall = clock.nsecsElapsed() / 1e9;
            const double cpu = cpuSeconds() - cpuAtStart;
            std::printf("ticks-per-s %.1f\ncpu-percent %.2f\npaints %ld\nvisible %d\ntip %s\n",
                        (ticks - ticksAtStart) / wall, 100.0 * cpu / wall,
                        paints.paints - paintsAtStart, int(window->isVisible()),
                        tipReport().constData());
            std::fflush(stdout);
            app.quit();
        });
    });
    return app.exec();
}
