// Runs every measurement of the benchmark under an X server of its own and
// prints one table. bench/run.sh builds the programs in Release and runs this.
//
//   velt_bench [--runs N] [--loads N] [--dial-runs N] [--docs DIR] [--loads-only] [--row TEXT]...
//   velt_bench --soak S
//
// Programs measured (paths built in): the browser, a bare Qt Widgets window, a
// bare Qt WebEngine view, the main window loading pages with the real engine,
// and the time window's dial beside a bare 1 ms timer.

#include "fileserver.h"
#include "httpserver.h"
#include "mapwatch.h"
#include "xsession.h"

#include <QCommandLineParser>
#include <QCoreApplication>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QSet>
#include <QTest>
#include <QTimer>

#include <xcb/xcb.h>

#include <algorithm>
#include <array>
#include <cstdio>
#include <map>
#include <tuple>

#include <poll.h>
#include <unistd.h>

namespace {

void progress(const QString &text)
{
    std::fprintf(stderr, "velt_bench: %s\n", qPrintable(text));
}

struct Stats
{
    QList<double> values;
    bool empty() const { return values.isEmpty(); }
    double median() const
    {
        QList<double> v = values;
        std::sort(v.begin(), v.end());
        const qsizetype n = v.size();
        return n == 0 ? 0 : (n % 2 ? v[n / 2] : (v[n / 2 - 1] + v[n / 2]) / 2);
    }
    double min() const { return *std::min_element(values.begin(), values.end()); }
    double max() const { return *std::max_element(values.begin(), values.end()); }
    QString text(int decimals = 0, const QString &unit = {}) const
    {
        if (values.isEmpty())
            return QStringLiteral("n/a");
        return QStringLiteral("%1%4 (%2–%3, n=%5)")
                .arg(median(), 0, 'f', decimals)
                .arg(min(), 0, 'f', decimals)
                .arg(max(), 0, 'f', decimals)
                .arg(unit)
                .arg(values.size());
    }
};

QList<qint64> treeOf(qint64 pid)
{
    return QList<qint64>{pid} + descendantsOf(pid);
}

// utime + stime of each process, in seconds.
std::map<qint64, double> cpuOf(const QList<qint64> &pids)
{
    static const double tick = double(sysconf(_SC_CLK_TCK));
    std::map<qint64, double> cpu;
    for (qint64 pid : pids) {
        QFile stat(QStringLiteral("/proc/%1/stat").arg(pid));
        if (!stat.open(QIODevice::ReadOnly))
            continue;
        const QByteArray line = stat.readAll();
        const QList<QByteArray> f = line.mid(line.lastIndexOf(')') + 2).split(' ');
        if (f.size() > 12)
            cpu[pid] = (f[11].toDouble() + f[12].toDouble()) / tick;
    }
    return cpu;
}

double pssMiB(const QList<qint64> &pids)
{
    double kib = 0;
    for (qint64 pid : pids) {
        QFile rollup(QStringLiteral("/proc/%1/smaps_rollup").arg(pid));
        if (!rollup.open(QIODevice::ReadOnly))
            continue;
        for (const QByteArray &line : rollup.readAll().split('\n')) {
            if (line.startsWith("Pss:"))
                kib += line.mid(4).trimmed().split(' ').first().toDouble();
        }
    }
    return kib / 1024.0;
}

// "browser", or the engine helper's --type (gpu-process, renderer, zygote, utility).
QString kindOf(qint64 pid, qint64 browser)
{
    if (pid == browser)
        return QStringLiteral("browser");
    QFile cmdline(QStringLiteral("/proc/%1/cmdline").arg(pid));
    if (cmdline.open(QIODevice::ReadOnly)) {
        for (const QByteArray &arg : cmdline.readAll().split('\0')) {
            if (arg.startsWith("--type="))
                return QString::fromLatin1(arg.mid(7));
        }
    }
    return QStringLiteral("other");
}

bool engineHelperRuns(qint64 pid)
{
    return !engineProcessesOf(pid).isEmpty();
}

void stopProcess(QProcess &process)
{
    if (process.state() == QProcess::NotRunning)
        return;
    process.terminate();
    if (!process.waitForFinished(10000)) {
        process.kill();
        process.waitForFinished(5000);
    }
}

class Bench
{
public:
    explicit Bench(XSession &x) : m_x(x)
    {
        m_env = x.environment();
        // Chromium will not sandbox root; the browser says so itself, the bare
        // programs are told here.
        if (geteuid() == 0)
            m_env.insert(QStringLiteral("QTWEBENGINE_DISABLE_SANDBOX"), QStringLiteral("1"));
    }

    Stats startBrowser, startWidgets, startEngine, browserMaps, idleCpu, idlePss;
    // Idle CPU seconds by kind of process, summed over the runs.
    std::map<QString, double> idleByKind;
    bool recording = true;
    QStringList problems;

    // One start of a program: exec to its main window mapped. For the browser, the
    // run goes on: maps counted until the engine is up and has settled, then the
    // whole process tree's CPU over 10 s of idling and its memory.
    void startOnce(const QString &program, const QByteArray &caption, Stats &into, bool browser)
    {
        MapWatch watch(m_x.display(), caption);
        if (!watch.ok()) {
            problems << QStringLiteral("no X connection");
            return;
        }
        QProcess process;
        process.setProcessEnvironment(m_env);
        process.setStandardOutputFile(QProcess::nullDevice());
        process.setStandardErrorFile(QProcess::nullDevice());
        QElapsedTimer clock;
        clock.start();
        process.start(program, {});
        while (watch.maps == 0 && clock.elapsed() < 30000)
            watch.pump(clock, 5);
        if (watch.maps == 0) {
            problems << QStringLiteral("%1: no window mapped in 30 s").arg(QString::fromLatin1(caption));
            stopProcess(process);
            return;
        }
        if (recording)
            into.values << watch.firstMapNs / 1e6;
        if (browser) {
            const qint64 pid = process.processId();
            QElapsedTimer wait;
            wait.start();
            while (!engineHelperRuns(pid) && wait.elapsed() < 20000)
                watch.pumpFor(clock, 50);
            if (!engineHelperRuns(pid))
                problems << QStringLiteral("browser: the engine did not start within 20 s of the map");
            // Let start-up finish before calling it idle.
            watch.pumpFor(clock, 3000);
            const auto before = cpuOf(treeOf(pid));
            watch.pumpFor(clock, 10000);
            const QList<qint64> tree = treeOf(pid);
            const auto after = cpuOf(tree);
            double spent = 0;
            for (const auto &[p, seconds] : after) {
                const auto then = before.find(p);
                const double used = seconds - (then == before.end() ? 0.0 : then->second);
                spent += used;
                if (recording)
                    idleByKind[kindOf(p, pid)] += used;
            }
            const double pss = pssMiB(tree);
            watch.pumpFor(clock, 100);
            if (recording) {
                idleCpu.values << spent;
                idlePss.values << pss;
                browserMaps.values << watch.maps;
            }
        } else {
            watch.pumpFor(clock, 300);
        }
        stopProcess(process);
    }

    // Runs a program that prints "<key> <value>" lines; returns them.
    QList<std::pair<QByteArray, QByteArray>> runForLines(const QString &program,
                                                          const QStringList &args, int timeoutMs)
    {
        QProcess process;
        process.setProcessEnvironment(m_env);
        process.setStandardErrorFile(QProcess::nullDevice());
        // The event loop runs meanwhile, without pauses: the page servers live in
        // it, and a request must be answered as soon as it arrives.
        QEventLoop loop;
        QObject::connect(&process, &QProcess::finished, &loop, &QEventLoop::quit);
        QObject::connect(&process, &QProcess::errorOccurred, &loop, &QEventLoop::quit);
        QTimer::singleShot(timeoutMs, &loop, &QEventLoop::quit);
        process.start(program, args);
        if (process.state() != QProcess::NotRunning)
            loop.exec();
        if (process.state() != QProcess::NotRunning) {
            problems << QStringLiteral("%1 did not finish").arg(program);
            stopProcess(process);
        }
        QList<std::pair<QByteArray, QByteArray>> lines;
        for (const QByteArray &line : process.readAllStandardOutput().split('\n')) {
            const qsizetype blank = line.indexOf(' ');
            if (blank > 0)
                lines.append({line.left(blank), line.mid(blank + 1).trimmed()});
        }
        if (process.exitStatus() != QProcess::NormalExit || process.exitCode() != 0)
            problems << QStringLiteral("%1 %2 failed (exit %3)")
                                .arg(program, args.join(u' '))
                                .arg(process.exitCode());
        return lines;
    }

private:
    XSession &m_x;
    QProcessEnvironment m_env;
};

QString verdict(bool met)
{
    return met ? QStringLiteral("yes") : QStringLiteral("**no**");
}

} // namespace

int main(int argc, char *argv[])
{
    QCoreApplication app(argc, argv);
    QCommandLineParser parser;
    const QCommandLineOption runsOption(QStringLiteral("runs"), QStringLiteral("Starts of each program."),
                                        QStringLiteral("n"), QStringLiteral("7"));
    const QCommandLineOption loadsOption(QStringLiteral("loads"),
                                         QStringLiteral("Timed loads per process (3 processes each)."),
                                         QStringLiteral("n"), QStringLiteral("10"));
    const QCommandLineOption dialOption(QStringLiteral("dial-runs"),
                                        QStringLiteral("Runs of each dial case."), QStringLiteral("n"),
                                        QStringLiteral("5"));
    const QCommandLineOption rowOption(QStringLiteral("row"),
                                       QStringLiteral("A finished table row to add."), QStringLiteral("row"));
    const QCommandLineOption soakOption(QStringLiteral("soak"),
                                        QStringLiteral("Only the soak: the time window open <s> seconds."),
                                        QStringLiteral("s"));
    const QCommandLineOption docsOption(QStringLiteral("docs"),
                                        QStringLiteral("Folder of real pages to time (python3.11-doc's)."),
                                        QStringLiteral("dir"),
                                        QStringLiteral("/usr/share/doc/python3.11/html"));
    const QCommandLineOption loadsOnlyOption(QStringLiteral("loads-only"),
                                        QStringLiteral("Only the page loads."));
    parser.addOptions({runsOption, loadsOption, dialOption, rowOption, soakOption, docsOption,
                       loadsOnlyOption});
    parser.addHelpOption();
    parser.process(app);

    // Other programs may be starting X servers of their own at the same moment:
    // a lost race for a display number is tried again.
    XSession x;
    QString why;
    bool started = false;
    for (int attempt = 1; attempt <= 3 && !started; ++attempt) {
        started = x.start(&why);
        if (!started) {
            progress(QStringLiteral("%1; trying again").arg(why));
            x.stop();
        }
    }
    if (!started)
        return 1;
    Bench bench(x);
    QStringList rows;
    rows << QStringLiteral("| Measure | Velt Browser | Beside it, same run | Target | Met |")
         << QStringLiteral("|---|---|---|---|---|");

    if (parser.isSet(soakOption)) {
        const int seconds = parser.value(soakOption).toInt();
        progress(QStringLiteral("soak: time window open %1 s").arg(seconds));
        const auto lines = bench.runForLines(QStringLiteral(VELT_BENCH_DIAL),
                                             {QStringLiteral("--soak"), QString::number(seconds)},
                                             (seconds + 120) * 1000);
        Stats dirty, clean, rss, pss;
        QByteArray tip = "none";
        QByteArray ticks = "0";
        for (const auto &[key, value] : lines) {
            // Memory once the window has settled: from the first minute on.
            const QList<QByteArray> f = value.split(' ');
            if (key == "memory-mib" && f.size() > 4 && f[0].toDouble() >= 60) {
                dirty.values << f[1].toDouble();
                clean.values << f[2].toDouble();
                rss.values << f[3].toDouble();
                pss.values << f[4].toDouble();
            }
            if (key == "soak-tip")
                tip = value;
            if (key == "soak-ticks")
                ticks = value;
        }
        auto range = [](const Stats &s) {
            return s.empty() ? QStringLiteral("n/a")
                             : QStringLiteral("%1–%2 MiB, spread %3 MiB")
                                       .arg(s.min(), 0, 'f', 2)
                                       .arg(s.max(), 0, 'f', 2)
                                       .arg(s.max() - s.min(), 0, 'f', 2);
        };
        // Flat is judged on the memory the process has written itself. Its clean
        // private pages (library code no other process maps at that moment) and
        // its PSS move whenever other programs using the same libraries start or end.
        const bool flat = !dirty.empty() && dirty.max() - dirty.min() <= 5.0;
        rows << QStringLiteral("| soak %1 s: time window private dirty memory, 1 min on (%2 samples) | %3 | RSS %4; private clean %5; PSS %6 | spread ≤ 5 MiB | %7 |")
                        .arg(seconds)
                        .arg(dirty.values.size())
                        .arg(range(dirty), range(rss), range(clean), range(pss))
                        .arg(verdict(flat));
        rows << QStringLiteral("| soak: hand tip after the ticks delivered | %1 ticks, tip %2 | dial arithmetic run %1 times | equal | %3 |")
                        .arg(QString::fromLatin1(ticks), QString::fromLatin1(tip))
                        .arg(verdict(tip == "equal"));
        for (const auto &[key, value] : lines) {
            if (key == "memory-mib")
                progress(QStringLiteral("memory at %1").arg(QString::fromLatin1(value)));
        }
    } else {
        const bool loadsOnly = parser.isSet(loadsOnlyOption);
        // Times in the order main window, engine control alone, bare view, on the
        // first page the main window with Enter pressed and let go at once and told
        // to Navigate with no key, and the engine control alone in a maximized window.
        struct LoadPage
        {
            QString name;
            QString url;
            std::array<Stats, 6> times;
        };
        std::vector<LoadPage> loadPages;
        std::array<QSet<QString>, 3> viewSizes;
        bool docsMissing = false;
        const int runs = loadsOnly ? -1 : parser.value(runsOption).toInt();
        // Start-up: one discarded start of each, then the programs in turn.
        for (int run = 0; run <= runs; ++run) {
            progress(QStringLiteral("start-up run %1 of %2").arg(run).arg(runs));
            // The first round only warms the file cache and the X server.
            bench.recording = run > 0;
            bench.startOnce(QStringLiteral(VELT_BENCH_WIDGETS), "Bare widgets", bench.startWidgets, false);
            bench.startOnce(QStringLiteral(VELT_BENCH_ENGINE), "Bare engine view", bench.startEngine, false);
            bench.startOnce(QStringLiteral(VELT_BROWSER), "Ovo", bench.startBrowser, true);
        }

        // Loads: pages from our own servers, through the main window, through the
        // engine control alone and through a bare view, each in the page area's size.
        HttpServer server;
        server.setPage(QStringLiteral("/page.html"),
                       "<!doctype html><html><head><title>Bench page</title>"
                       "<style>body{font-family:sans-serif}</style></head><body>"
                       "<h1>Bench page</h1><p>"
                       + QByteArray(2000, 'x')
                       + "</p><ul><li>one</li><li>two</li><li>three</li></ul></body></html>");
        loadPages.push_back({QStringLiteral("generated 2 KB page"),
                             server.url(QStringLiteral("/page.html")).toString(), {}});
        const QString docs = parser.value(docsOption);
        FileServer docServer(docs);
        if (QFileInfo::exists(docs + QStringLiteral("/index.html"))) {
            for (const QString &page : {QStringLiteral("index.html"),
                                       QStringLiteral("library/functions.html"),
                                       QStringLiteral("library/stdtypes.html")})
                loadPages.push_back({page, docServer.url(page).toString(), {}});
        } else {
            docsMissing = true;
        }
        const QString loads = parser.value(loadsOption);
        const std::array<std::pair<QString, QStringList>, 6> loaders{
                std::pair{QStringLiteral(VELT_BENCH_BROWSERLOAD), QStringList{}},
                std::pair{QStringLiteral(VELT_BENCH_BROWSERLOAD),
                          QStringList{QStringLiteral("--engine-only")}},
                std::pair{QStringLiteral(VELT_BENCH_ENGINE), QStringList{}},
                std::pair{QStringLiteral(VELT_BENCH_BROWSERLOAD),
                          QStringList{QStringLiteral("--action"), QStringLiteral("click")}},
                std::pair{QStringLiteral(VELT_BENCH_BROWSERLOAD),
                          QStringList{QStringLiteral("--action"), QStringLiteral("navigate")}},
                std::pair{QStringLiteral(VELT_BENCH_BROWSERLOAD),
                          QStringList{QStringLiteral("--engine-only"), QStringLiteral("--maximized")}}};
        for (LoadPage &page : loadPages) {
            // The main window's other ways in only on the first page.
            const std::vector<int> kinds = &page == &loadPages.front()
                    ? std::vector<int>{0, 1, 2, 5, 3, 4}
                    : std::vector<int>{0, 1, 2, 5};
            for (int round = 0; round < 3; ++round) {
                progress(QStringLiteral("loads of %1, round %2 of 3").arg(page.name).arg(round + 1));
                // Each round starts with another program, so that none always runs
                // first or last while the machine's load changes.
                for (std::size_t i = 0; i < kinds.size(); ++i) {
                    const int which = kinds[(round + i) % kinds.size()];
                    const auto &[program, extra] = loaders[which];
                    const QStringList args{QStringLiteral("--load"), page.url,
                                           QStringLiteral("--count"), loads};
                    for (const auto &[key, value] : bench.runForLines(program, args + extra, 600000)) {
                        if (key == "load-ms")
                            page.times[which].values << value.toDouble();
                        else if (key == "view-size" && which < 3)
                            viewSizes[which].insert(QString::fromLatin1(value));
                    }
                }
            }
        }

        // The dial: the time window's Timer2 beside a bare 1 ms precise timer.
        struct DialCase
        {
            Stats ticks, cpu, paints;
            int tipsEqual = 0;
            int tipsChecked = 0;
        };
        std::map<QString, DialCase> dial;
        const int dialRuns = loadsOnly ? 0 : parser.value(dialOption).toInt();
        for (int run = 1; run <= dialRuns; ++run) {
            progress(QStringLiteral("dial run %1 of %2").arg(run).arg(dialRuns));
            for (const QString &which : {QStringLiteral("--form3"), QStringLiteral("--bare")}) {
                for (const bool hidden : {false, true}) {
                    QStringList args{which};
                    if (hidden)
                        args << QStringLiteral("--hidden");
                    DialCase &c = dial[args.join(u' ')];
                    for (const auto &[key, value] :
                         bench.runForLines(QStringLiteral(VELT_BENCH_DIAL), args, 60000)) {
                        if (key == "ticks-per-s")
                            c.ticks.values << value.toDouble();
                        else if (key == "cpu-percent")
                            c.cpu.values << value.toDouble();
                        else if (key == "paints")
                            c.paints.values << value.toDouble();
                        else if (key == "tip" && value != "-") {
                            ++c.tipsChecked;
                            c.tipsEqual += value == "equal";
                        }
                    }
                }
            }
        }

        const double floorMs = bench.startWidgets.empty() ? 0 : bench.startWidgets.median();
        rows << QStringLiteral("| exec → main window mapped (ms) | %1 | bare widgets %2; bare engine view %3 | ≤ 230 ms | %4 |")
                        .arg(bench.startBrowser.text(0), bench.startWidgets.text(0),
                             bench.startEngine.text(0))
                        .arg(verdict(!bench.startBrowser.empty() && bench.startBrowser.median() <= 230));
        rows << QStringLiteral("| browser start above the floor (ms) | %1 | | | |")
                        .arg(bench.startBrowser.empty() ? 0 : bench.startBrowser.median() - floorMs, 0, 'f', 0);
        const bool mappedOnce = !bench.browserMaps.empty() && bench.browserMaps.min() == 1
                && bench.browserMaps.max() == 1;
        rows << QStringLiteral("| main window maps per start | %1 | | 1 | %2 |")
                        .arg(bench.browserMaps.text(0))
                        .arg(verdict(mappedOnce));
        const qsizetype loadRowsBegin = rows.size();
        // Every program must have laid the pages out in one and the same size.
        QSet<QString> sizes;
        for (const QSet<QString> &seen : viewSizes)
            sizes += seen;
        const bool sameSize = sizes.size() == 1
                && std::all_of(viewSizes.begin(), viewSizes.end(),
                               [](const QSet<QString> &seen) { return seen.size() == 1; });
        if (!sameSize)
            bench.problems << QStringLiteral("the loads were laid out in different sizes: main window %1, engine control %2, bare view %3")
                                      .arg(viewSizes[0].values().join(u','), viewSizes[1].values().join(u','),
                                           viewSizes[2].values().join(u','));
        rows << QStringLiteral("| loads: size of the engine's view, every program | %1 | | the page area, 640x385, in all three | %2 |")
                        .arg(QStringList(sizes.begin(), sizes.end()).join(QStringLiteral(", ")))
                        .arg(verdict(sameSize && sizes.contains(QStringLiteral("640x385"))));
        for (const LoadPage &page : loadPages) {
            const Stats &viaForm1 = page.times[0];
            const Stats &viaEngine = page.times[1];
            const Stats &viaBare = page.times[2];
            const Stats &viaMaximized = page.times[5];
            const double ratio = viaBare.empty() || viaForm1.empty()
                    ? -1
                    : viaForm1.median() / viaBare.median();
            const double engineRatio = viaBare.empty() || viaEngine.empty()
                    ? -1
                    : viaEngine.median() / viaBare.median();
            const double maximizedRatio = viaBare.empty() || viaMaximized.empty()
                    ? -1
                    : viaMaximized.median() / viaBare.median();
            rows << QStringLiteral("| Enter → DownloadComplete, %1, warm (ms) | %2 | bare view load() → loadFinished %3; engine control alone, Navigate → DownloadComplete, %4 (%5x), the same in a maximized window %6 (%7x) | ≤ 1.05x | %8 (%9x) |")
                            .arg(page.name, viaForm1.text(1), viaBare.text(1), viaEngine.text(1))
                            .arg(engineRatio, 0, 'f', 3)
                            .arg(viaMaximized.text(1))
                            .arg(maximizedRatio, 0, 'f', 3)
                            .arg(verdict(ratio > 0 && ratio <= 1.05))
                            .arg(ratio, 0, 'f', 3);
        }
        const LoadPage &first = loadPages.front();
        for (const auto &[which, how] : {std::pair{3, QStringLiteral("Enter pressed and let go at once")},
                                         std::pair{4, QStringLiteral("no key, Navigate called on its engine")}}) {
            const Stats &via = first.times[which];
            const Stats &bare = first.times[2];
            rows << QStringLiteral("| the main window, %1: to DownloadComplete, %2 (ms) | %3 | bare view %4 | | %5x |")
                            .arg(how, first.name, via.text(1), bare.text(1))
                            .arg(via.empty() || bare.empty() ? -1 : via.median() / bare.median(), 0, 'f', 3);
        }
        if (docsMissing)
            rows << QStringLiteral("| loads of real pages | not timed: no %1 (package python3.11-doc) | | | |").arg(docs);
        const qsizetype loadRowsEnd = rows.size();
        for (const bool hidden : {false, true}) {
            const QString shown = hidden ? QStringLiteral("hidden") : QStringLiteral("shown");
            const QString suffix = hidden ? QStringLiteral(" --hidden") : QString();
            const DialCase &form3 = dial[QStringLiteral("--form3") + suffix];
            const DialCase &bare = dial[QStringLiteral("--bare") + suffix];
            const double tickRatio = bare.ticks.empty() || form3.ticks.empty()
                    ? -1
                    : form3.ticks.median() / bare.ticks.median();
            rows << QStringLiteral("| dial %1: Timer2 ticks/s over 10 s | %2 | bare 1 ms timer %3 | ≥ 0.97x | %4 (%5x) |")
                            .arg(shown, form3.ticks.text(0), bare.ticks.text(0))
                            .arg(verdict(tickRatio >= 0.97))
                            .arg(tickRatio, 0, 'f', 3);
            const double extra = form3.cpu.empty() || bare.cpu.empty()
                    ? 99
                    : form3.cpu.median() - bare.cpu.median();
            rows << QStringLiteral("| dial %1: process CPU (% of a core) | %2 | bare 1 ms timer %3 | ≤ +3 points | %4 (%5%6) |")
                            .arg(shown, form3.cpu.text(1), bare.cpu.text(1))
                            .arg(verdict(extra <= 3.0))
                            .arg(extra >= 0 ? QStringLiteral("+") : QString())
                            .arg(extra, 0, 'f', 1);
            if (hidden) {
                const bool none = !form3.paints.empty() && form3.paints.max() == 0;
                rows << QStringLiteral("| dial hidden: paints of the time window in 10 s | %1 | bare %2 | 0 | %3 |")
                                .arg(form3.paints.text(0), bare.paints.text(0))
                                .arg(verdict(none));
            }
            rows << QStringLiteral("| dial %1: hand tip = dial arithmetic for the ticks delivered | %2 of %3 runs | | all | %4 |")
                            .arg(shown)
                            .arg(form3.tipsEqual)
                            .arg(form3.tipsChecked)
                            .arg(verdict(form3.tipsChecked > 0 && form3.tipsEqual == form3.tipsChecked));
        }
        rows << QStringLiteral("| idle: CPU of the process tree, 10 s from 3 s after the engine started (s) | %1 | | ≤ 0.02 s | %2 |")
                        .arg(bench.idleCpu.text(2))
                        .arg(verdict(!bench.idleCpu.empty() && bench.idleCpu.median() <= 0.02));
        QStringList byKind;
        for (const auto &[kind, seconds] : bench.idleByKind)
            byKind << QStringLiteral("%1 %2").arg(kind).arg(seconds / std::max<qsizetype>(1, bench.idleCpu.values.size()), 0, 'f', 3);
        rows << QStringLiteral("| idle: CPU by process, mean of the runs (s) | %1 | | | |")
                        .arg(byKind.join(QStringLiteral(", ")));
        rows << QStringLiteral("| idle: memory of the process tree (PSS, MiB) | %1 | | | |")
                        .arg(bench.idlePss.text(0));
        if (loadsOnly)
            rows = rows.mid(0, 2) + rows.mid(loadRowsBegin, loadRowsEnd - loadRowsBegin);
    }
    for (const QString &row : parser.values(rowOption))
        rows << row;

    x.stop();
    for (const QString &row : rows)
        std::printf("%s\n", qPrintable(row));
    for (const QString &problem : bench.problems)
        std::printf("\nPROBLEM: %s\n", qPrintable(problem));
    return bench.problems.isEmpty() ? 0 : 1;
}
