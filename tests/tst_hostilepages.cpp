#include "clickarea.h"
#include "desktopplatform.h"
#include "enginetestmain.h"
#include "engine/qt/qtwebbrowser.h"
#include "form1.h"
#include "httpserver.h"

#include <QCheckBox>
#include <QComboBox>
#include <QElapsedTimer>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>
#include <QTimer>
#include <QWebEngineView>

#include <algorithm>

namespace {

constexpr int kMisbehaveMs = 3000;
constexpr qint64 kMemoryBoundKiB = 600 * 1024;

qint64 residentKiB()
{
    QFile status(QStringLiteral("/proc/self/status"));
    const QByteArray text = status.open(QIODevice::ReadOnly) ? status.readAll() : QByteArray();
    const qsizetype at = text.indexOf("VmRSS:");
    return at < 0 ? 0 : text.mid(at + 6, 24).simplified().split(' ').first().toLongLong();
}

// Polled until done() is true, for at most withinMs; done() may act as the user.
struct Step { const char *what; int withinMs; std::function<bool()> done; };

} // namespace

// Pages that try to take the browser from its user. Each row runs as the program does, in the
// application's event loop, where a page's question waits in a loop of its own; the user's keys and
// clicks come from a timer. After a few seconds of the page's misbehaviour a typed address must load,
// Exit must end every event loop, and the process must keep within its memory.
class tst_HostilePages : public QObject
{
    Q_OBJECT
    HttpServer m_server;

public:
    enum Kind { Dialog, Silenced, Popups, Hang, Crash, Redirects, Titles, History, LeavePage };
    Q_ENUM(Kind)

private slots:
    void initTestCase()
    {
        // The memory hog meets the renderer's script heap limit in a second, not after gigabytes.
        qputenv("QTWEBENGINE_CHROMIUM_FLAGS", "--js-flags=--max-old-space-size=256");
        m_server.setPage("/next.html", "<html><head><title>Next</title></head><body>next</body></html>");
        m_server.setPage("/popup.html", "<html><head><title>Popup</title></head><body>popup</body></html>");
    }

    void userKeepsTheBrowser_data()
    {
        QTest::addColumn<QByteArray>("script");
        QTest::addColumn<Kind>("kind");
        // Long messages: the question must still fit the page area.
        QTest::newRow("endless alert") << QByteArray("for (;;) alert('again ' + 'x'.repeat(100000));") << Dialog;
        QTest::newRow("endless prompt, silenced")
                << QByteArray("for (;;) document.title = prompt('Name?', 'typed');") << Silenced;
        QTest::newRow("window.open x1000") // new tabs and popups, none asked for by the user
                << QByteArray("let n = 0; for (let i = 0; i < 1000; ++i)"
                              "  n += !!window.open('/popup.html?' + i, '', i % 2 ? 'width=400,height=300' : '');"
                              "document.title = 'Opened ' + n;")
                << Popups;
        QTest::newRow("for (;;) {} after load")
                << QByteArray("onload = () => setTimeout(() => { document.title = 'Hung'; for (;;) {} }, 50);") << Hang;
        QTest::newRow("memory hog")
                << QByteArray("onload = () => { const a = []; for (;;) a.push(new Array(1 << 20).fill(1.5)); };") << Crash;
        QTest::newRow("redirect loop") << QByteArray("location.replace('/hostile.html?' + Date.now());") << Redirects;
        QTest::newRow("title flood, 5 KB titles")
                << QByteArray("const t = 'x'.repeat(5000); let n = 0;"
                              "setInterval(() => { for (let i = 0; i < 4; ++i) document.title = n++ + t; }, 4);")
                << Titles;
        QTest::newRow("pushState x100000")
                << QByteArray("for (let i = 0; i < 100000; ++i) history.pushState(null, '', '?' + i);") << History;
        QTest::newRow("leave-page question on every navigation")
                << QByteArray("onbeforeunload = (e) => { e.preventDefault(); e.returnValue = 'stay'; };"
                              "onkeydown = () => { document.title = 'used'; };")
                << LeavePage;
    }

    void userKeepsTheBrowser()
    {
        QFETCH(QByteArray, script);
        QFETCH(Kind, kind);
        m_server.setPage("/hostile.html", "<html><head><title>Hostile</title></head><body>hostile<script>" + script
                                                  + "</script></body></html>");
        DesktopPlatform platform; // the real Exit: it hides every window and ends every event loop
        auto *engine = new QtWebBrowser;
        Form1 form(engine, platform);
        form.Form_Load();
        QVERIFY(QTest::qWaitForWindowExposed(&form));

        auto dialog = [engine]() -> QWidget * {
            const QList<QWidget *> all = engine->findChildren<QWidget *>(QStringLiteral("pageQuestion"));
            const auto shown = std::find_if(all.cbegin(), all.cend(), [](QWidget *d) { return d->isVisible(); });
            return shown == all.cend() ? nullptr : *shown;
        };
        auto ok = [](QWidget *d) { QTest::mouseClick(d->findChild<QPushButton *>("pageQuestionOk"), Qt::LeftButton); };
        auto click = [&form](const char *area) {
            QTest::mouseClick(form.windowHandle(), Qt::LeftButton, {}, form.area(area)->geometry().center());
        };
        // Into the main window, as a key comes: no modal window may stand in the way. The key goes to
        // the box directly, since QTest's window keys also run the event loop, where a page question's
        // own loop would begin inside this poll's tick and wait for an answer that only this poll gives.
        auto type = [&](const char *path) {
            if (!form.isActiveWindow() || QApplication::activeModalWidget()) {
                form.activateWindow();
                return false;
            }
            form.cboAddress->setFocus();
            form.cboAddress->lineEdit()->setText(m_server.url(QString::fromLatin1(path)).toString());
            QTest::keyClick(form.cboAddress->lineEdit(), Qt::Key_Return);
            return true;
        };
        auto timeWindow = [] {
            return std::ranges::any_of(QApplication::topLevelWidgets(), [](QWidget *w) { return w->isVisible() && w->windowTitle() == "Time Zone"; });
        };
        QElapsedTimer clock, inStep;
        clock.start();
        inStep.start();
        qint64 loadMs = -1;
        bool quietOffered = false, silenced = false, leaveAsked = false;
        int hits = m_server.hits("/hostile.html"); // the server is shared by the rows
        // What the page is seen doing while it has its few seconds.
        auto misbehaves = [&]() -> bool {
            QWidget *d = dialog();
            switch (kind) {
            case Dialog: // the question lies over the page, titled with its host, and the time window opens
                if (!d || !engine->rect().contains(d->geometry())
                    || d->findChild<QLabel *>(QStringLiteral("pageQuestionTitle"))->text() != "127.0.0.1")
                    return false;
                if (!timeWindow())
                    click("Label15");
                return timeWindow();
            case Silenced: // OK gives the page the text; once silenced, the page hears Cancel (null)
                if (d && !silenced) {
                    if (auto *quiet = d->findChild<QCheckBox *>(QStringLiteral("pageQuestionQuiet"))) {
                        quietOffered = engine->LocationName() == "typed";
                        silenced = true;
                        quiet->setChecked(true);
                    }
                    ok(d);
                }
                return silenced && !d && engine->LocationName() == "null";
            case Popups: // its loop has run, and nothing came on screen
                return engine->LocationName().startsWith("Opened") && m_server.hits("/popup.html") == 0
                        && std::ranges::none_of(QApplication::topLevelWidgets(), [&](QWidget *w) { return w != &form && w->isVisible(); });
            case Hang:
                return engine->LocationName() == "Hung";
            case Crash: {
                const auto *notice = engine->findChild<QLabel *>(QStringLiteral("crashNotice"));
                return notice && notice->isVisible();
            }
            case Redirects:
                return m_server.hits("/hostile.html") > hits + 5;
            case Titles:
                return engine->LocationName().size() >= 4096; // the engine keeps 4096 characters of a title
            case History:
                return engine->LocationURL().contains(QLatin1Char('?'));
            case LeavePage: // the engine asks only once the user has used the page: a key until the page saw one
                if (engine->LocationName() == "Hostile")
                    QTest::keyClick(engine->findChild<QWebEngineView *>()->focusProxy(), Qt::Key_A);
                return engine->LocationName() == "used";
            }
            return false;
        };
        // On the second visit the questions are back (a new page asks anew), and the caption
        // keeps what the watcher wrote on its last tick while the page's titles go on.
        auto again = [&] {
            const QString caption = form.windowTitle();
            if (kind == Titles)
                return !form.timTimer->isActive() && engine->LocationName().size() >= 4096
                        && caption.endsWith(" - Ovo ") && caption != engine->LocationName() + " - Ovo ";
            return kind > Silenced || dialog();
        };
        const QList<Step> steps{
            {"open the hostile page", 5000, [&] { return type("/hostile.html"); }},
            {"the page misbehaves", 30000, [&] { return misbehaves() && inStep.elapsed() >= kMisbehaveMs; }},
            {"type an address", 5000, [&] { return type("/next.html") && (clock.restart(), true); }},
            {"the typed address loads", kEngineWaitMs, [&] {
                 if (QWidget *d = dialog(); d && kind == LeavePage) { // the user does want to leave
                     leaveAsked = true;
                     ok(d);
                 }
                 loadMs = clock.elapsed();
                 return engine->LocationName() == "Next" && !engine->Busy();
             }},
            {"pick the hostile page from the list, which starts the watcher", 0, [&] {
                 hits = m_server.hits("/hostile.html");
                 form.cboAddress->setCurrentIndex(0);
                 emit form.cboAddress->activated(0);
                 return true;
             }},
            {"the page misbehaves again", 30000,
             [&] { return m_server.hits("/hostile.html") > hits && again() && inStep.elapsed() >= 1000; }},
            {"press Exit", 0, [&] { click("Label13"); return true; }},
            {"Exit ends every event loop", 10000, [] { return false; }},
        };
        qsizetype step = 0;
        qint64 maxKiB = 0, lastTick = 0, maxGapMs = 0; // the gap: how long the user's events may have waited
        QString stuck;
        QTimer poll;
        connect(&poll, &QTimer::timeout, this, [&] {
            maxGapMs = std::max(maxGapMs, inStep.elapsed() - std::exchange(lastTick, inStep.elapsed()));
            maxKiB = std::max(maxKiB, residentKiB());
            if (step == steps.size())
                return;
            if (steps[step].done()) {
                ++step;
                inStep.restart();
                lastTick = 0;
            } else if (inStep.elapsed() > steps[step].withinMs) {
                stuck = QStringLiteral("%1 (at %2, busy: %3, a question shown: %4)").arg(steps[step].what, engine->LocationURL())
                                .arg(engine->Busy()).arg(dialog() != nullptr);
                QCoreApplication::exit(1);
            }
        });
        poll.start(20);
        const int exitCode = QApplication::exec();
        qInfo("%s: typed address loaded in %lld ms, resident memory at most %lld MiB, event loop stalled at most %lld ms",
              QTest::currentDataTag(), loadMs, maxKiB / 1024, maxGapMs);
        QVERIFY2(exitCode == 0, qPrintable("stuck at: " + stuck));
        QVERIFY(!form.isVisible() && !timeWindow());
        QVERIFY(maxKiB < kMemoryBoundKiB);
        QVERIFY(quietOffered || kind != Silenced);
        QVERIFY(leaveAsked || kind != LeavePage);
        QVERIFY(kind != Popups || m_server.hits("/popup.html") == 0);
    }
};

VELT_ENGINE_TEST_MAIN(tst_HostilePages, false)
#include "tst_hostilepages.moc"
