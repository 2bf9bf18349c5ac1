#include "engine/qt/qtwebbrowser.h"
#include "enginetestmain.h"
#include "fixture.h"
#include "httpserver.h"

#include <QApplication>
#include <QLabel>
#include <QSignalSpy>
#include <QWebEngineProfile>
#include <QWebEngineView>

#include <algorithm>

// The main window on the real engine, against pages served by the test itself.
class tst_Engine : public MainWindowFixture
{
    Q_OBJECT
    HttpServer m_server;
    FakePlatform m_platform;
    QtWebBrowser *m_engine = nullptr;

    QString address(const QString &path) const { return m_server.url(path).toString(); }
    bool shows(const QString &path) const { return !m_engine->Busy() && m_engine->LocationURL() == address(path); }
    void load(const QString &url) // straight through the seam, to the end of the load
    {
        QSignalSpy completed(m_engine, &WebBrowser::DownloadComplete);
        QVERIFY(m_engine->Navigate(url));
        QVERIFY(m_engine->Busy()); // from the moment Navigate returns
        QTRY_VERIFY_WITH_TIMEOUT(completed.count() > 0 && !m_engine->Busy(), kEngineWaitMs);
    }

private slots:
    void initTestCase()
    {
        for (const QString name : {"page", "a", "slow", "home", "search", "next"})
            m_server.setPage("/" + name + ".html", "<html><head><title>Page " + name.toUtf8() + "</title></head>x</html>");
        m_server.setPage("/frames.html",
                         "<title>Frames</title><iframe src='/a.html'></iframe><iframe src='/next.html'></iframe>");
        m_server.setPage("/find.html", "<title>Find</title><p>Apple one</p><p>pear</p><p>apple two, apple three</p>");
        m_server.setPage("/untitled.html", "<html><body>no title</body></html>");
        m_server.setPage("/emptytitle.html", "<html><head><title></title></head>x</html>");
        m_server.setPage("/picture.png", QByteArray(64, 'x'), "image/png");
    }
    void init()
    {
        m_engine = new QtWebBrowser;
        m_engine->setHomePage(m_server.url("/home.html"));
        m_engine->setSearchPage(m_server.url("/search.html"));
        m_form = new Form1(m_engine, m_platform);
        m_form->Form_Load();
        QVERIFY(QTest::qWaitForWindowExposed(m_form, kEngineWaitMs));
    }
    void cleanup()
    {
        m_server.release("/slow.html");
        delete m_form;
    }

    void everyDownloadUpdatesTheBox()
    {
        QStringList seenInBox;
        QObject seeing; // queued: after the window's own handler, and never once this test is over
        connect(m_engine, &WebBrowser::DownloadComplete, &seeing,
                [&] { seenInBox << m_form->cboAddress->currentText(); }, Qt::QueuedConnection);
        enter(address("/frames.html").mid(7)); // without a scheme, as a user would
        QTRY_COMPARE_WITH_TIMEOUT(seenInBox, QStringList(3, address("/frames.html")), kEngineWaitMs); // the page, each frame
        // The name is the page's own title, never its address in its place.
        for (const QString path : {"/untitled.html", "/emptytitle.html"}) {
            load(address(path));
            QCOMPARE(m_engine->LocationName(), QString());
        }
    }

    void typedAddress_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<bool>("taken");
        const QString server = address("/");
        QTest::newRow("1 MB path") << server + QString(1024 * 1024, 'a') << true;
        QTest::newRow("empty") << "" << true;
        QTest::newRow("script") << "javascript:location='" + server + "page.html'" << false;
    }
    // Whatever is typed, the list takes exactly what the engine took, a refused text
    // is reported and requests nothing, the engine comes to rest and loads on.
    void typedAddress()
    {
        QFETCH(QString, text);
        QFETCH(bool, taken);
        const int requests = m_server.totalHits();
        enter(text);
        QCOMPARE(list(), taken ? QStringList{text} : QStringList{});
        auto *message = m_form->findChild<QLabel *>("addressMessage");
        QCOMPARE(message->isVisible(), !taken);
        QVERIFY(taken || (message->text().startsWith("Cannot open") && message->text().size() < 400));
        QTRY_VERIFY_WITH_TIMEOUT(!m_engine->Busy(), kEngineWaitMs);
        load(address("/next.html"));
        QCOMPARE(m_engine->LocationName(), QStringLiteral("Page next"));
        QVERIFY(taken || m_server.totalHits() == requests + 1);
    }

    void offlineSendsNoRequest_data()
    {
        QTest::addColumn<QString>("html"); // "" opens the page itself, else a page in memory asking for it
        QTest::addColumn<QString>("requested");
        QTest::newRow("page") << "" << "/page.html";
        QTest::newRow("picture of a page") << "<img src='%1'>" << "/picture.png";
    }
    void offlineSendsNoRequest()
    {
        QFETCH(QString, html);
        QFETCH(QString, requested);
        const int before = m_server.hits(requested);
        for (const bool offline : {true, false}) {
            click(centreOf(offline ? "Label11" : "Label10"));
            // A load ends only after all its parts came or failed: any request has reached the server.
            load(html.isEmpty() ? address(requested) : "data:text/html," + html.arg(address(requested)));
            QTRY_COMPARE_WITH_TIMEOUT(m_server.hits(requested), before + (offline ? 0 : 1), kEngineWaitMs);
        }
    }

    void buttonsKeysAndAStoppedPickOnTheRealHistory()
    {
        // Back and Forward with no history: nothing is asked for, nothing loads.
        const int requests = m_server.totalHits();
        click(centreOf("Image2"));
        click(centreOf("Image3"));
        QVERIFY(!m_engine->Busy() && m_engine->LocationURL().isEmpty() && m_server.totalHits() == requests);
        for (const auto &[button, shown] : {std::pair{"Image6", "/home.html"}, std::pair{"Image7", "/search.html"}}) {
            click(centreOf(button)); // Home, Search
            QTRY_VERIFY_WITH_TIMEOUT(shows(shown), kEngineWaitMs);
        }
        QCOMPARE((QStringList{m_form->windowTitle(), panel(2)}), (QStringList{"Ovo", ""})); // no watcher started
        // With the page focused, the keys still reach the window's commands.
        QVERIFY(QTest::qWaitForWindowActive(m_form, kEngineWaitMs));
        auto *view = m_engine->findChild<QWebEngineView *>();
        const auto press = [&](const char *key) {
            view->focusProxy()->setFocus(); // where a click into the page puts it
            QTRY_COMPARE_WITH_TIMEOUT(QApplication::focusWidget(), view->focusProxy(), kEngineWaitMs);
            const QKeyCombination combination = QKeySequence(QString::fromLatin1(key))[0];
            QTest::keyClick(m_form->windowHandle(), combination.key(), combination.keyboardModifiers());
        };
        for (const auto &[keys, zoom] : QList<std::pair<const char *, qreal>>{{"Ctrl++", 1.1}, {"Ctrl+-", 1.0},
                                                                           {"Ctrl+-", 0.9}, {"Ctrl+0", 1.0}}) {
            press(keys);
            QTRY_COMPARE_WITH_TIMEOUT(view->zoomFactor(), zoom, kEngineWaitMs);
        }
        // A pick the server holds is watched until Esc stops it; the page shown stays.
        m_server.hold("/slow.html");
        enter(address("/slow.html"));
        pick(0);
        QTRY_VERIFY_WITH_TIMEOUT(m_server.hits("/slow.html") > 0, kEngineWaitMs); // the server has it, answers nothing
        QTRY_COMPARE_WITH_TIMEOUT((QStringList{m_form->windowTitle(), panel(2)}), (QStringList{"Ovo", "Opening..."}), kEngineWaitMs);
        press("Esc");
        QTRY_COMPARE_WITH_TIMEOUT((QStringList{m_form->windowTitle(), panel(2)}), (QStringList{"Page search - Ovo ", "Done"}), kEngineWaitMs);
        QCOMPARE(m_engine->LocationURL(), address("/search.html"));
    }

    // Back, Forward and Refresh over pages reached by the user's clicks on links. Each page
    // reports each time it is shown, from a cache too, so a page skipped or shown twice shows.
    void historyOverLinks()
    {
        for (const QString name : {"k1", "k2", "k3", "t"})
            m_server.setPage("/" + name + ".html", "<title>" + name.toUtf8() + "</title><script>onpageshow = () => fetch('/shown/"
                                     + name.toUtf8() + "');</script><a href='/k" + QByteArray::number(name.back().digitValue() + 1)
                                     + ".html' style='display:block;height:300px'>next</a>");
        auto *view = m_engine->findChild<QWebEngineView *>();
        QStringList walk;
        // Each step shows `page` once more, and the box its address; Refresh fetches it again.
        const auto step = [&](const char *what, std::function<void()> act, const QString &page) {
            walk << page;
            const int fetched = m_server.hits("/" + page + ".html");
            act();
            return QTest::qWaitFor([&] {
                return m_server.hits("/shown/" + page) == walk.count(page) && shows("/" + page + ".html")
                        && m_form->cboAddress->currentText() == address("/" + page + ".html");
            }, 15000) && (qstrcmp(what, "Refresh") != 0 || m_server.hits("/" + page + ".html") == fetched + 1);
        };
        const auto link = [&] { QTest::mouseClick(view->focusProxy(), Qt::LeftButton, {}, QPoint(40, 40)); };
        const auto key = [&](const char *keys) {
            return [this, keys] { QTest::keySequence(m_form->windowHandle(), QKeySequence(QString::fromLatin1(keys))); };
        };
        const QList<std::tuple<const char *, std::function<void()>, QString>> steps{
                {"typed", [&] { enter(address("/k1.html")); }, "k1"},
                {"link", link, "k2"},
                {"link", link, "k3"},
                {"Back", [&] { click(centreOf("Image2")); }, "k2"},
                {"Alt+Left", key("Alt+Left"), "k1"},
                {"Forward", [&] { click(centreOf("Image3")); }, "k2"},
                {"Refresh", key("F5"), "k2"},
                {"typed", [&] { enter(address("/t.html")); }, "t"},
                {"Back", key("Alt+Left"), "k2"}};
        for (const auto &[what, act, page] : steps)
            QVERIFY2(step(what, act, page), qPrintable(QString("%1 to %2: at %3").arg(what, page, m_engine->LocationURL())));
        for (const QString name : {"k1", "k2", "k3", "t"})
            QCOMPARE(m_server.hits("/shown/" + name), walk.count(name));
    }

    // A page that sends itself on as it loads, while the typed address is held at the server:
    // the typed page is shown in every round, in a bare view of the engine (the reference) as in
    // the browser.
    void typedAddressBeatsAPageThatNavigatesItself_data()
    {
        QTest::addColumn<bool>("bare");
        QTest::newRow("bare view") << true;
        QTest::newRow("browser") << false;
    }
    void typedAddressBeatsAPageThatNavigatesItself()
    {
        QFETCH(bool, bare);
        m_server.setPage("/race.html", "<title>race</title><script>location.replace('/race.html?' + Date.now());</script>");
        m_server.setPage("/typed.html", "<title>typed</title>typed");
        QWebEngineProfile profile;
        QWebEngineView bareView;
        bareView.setPage(new QWebEnginePage(&profile, &bareView));
        QWebEnginePage *page = bare ? bareView.page() : m_engine->findChild<QWebEngineView *>()->page();
        const auto load = [&](const char *path) {
            if (bare)
                bareView.load(m_server.url(path));
            else
                enter(address(path));
        };
        for (int round = 0; round < 20; ++round) {
            load("/race.html");
            QTRY_COMPARE_WITH_TIMEOUT(page->url().path(), "/race.html", 15000); // its script runs now
            m_server.hold("/typed.html");
            const int typed = m_server.hits("/typed.html");
            load("/typed.html");
            QTRY_VERIFY_WITH_TIMEOUT(m_server.hits("/typed.html") > typed, 15000);
            // Held while the page's renderer runs tasks of its own: five round trips to it.
            for (int i = 0; i < 5; ++i) {
                auto answered = std::make_shared<bool>(false);
                page->runJavaScript("0", [answered](const QVariant &) { *answered = true; });
                QTRY_VERIFY_WITH_TIMEOUT(*answered, 15000);
            }
            m_server.release("/typed.html");
            QTRY_VERIFY2_WITH_TIMEOUT(page->url() == m_server.url("/typed.html") && !page->isLoading()
                                              && (bare || !m_engine->Busy()),
                                      qPrintable(QString("round %1: at %2").arg(round).arg(page->url().toString())), 15000);
        }
    }

    // The find bar on a served page: search as typed, next and previous going round, no
    // match, Escape taking the marks away, a new page closing it; then Tab through the page.
    void findInThePageAndTabThroughIt()
    {
        load(address("/find.html"));
        QVERIFY(QTest::qWaitForWindowActive(m_form, kEngineWaitMs));
        auto *bar = m_form->findChild<QWidget *>("findBar");
        auto *field = bar->findChild<QLineEdit *>("findText");
        auto *result = bar->findChild<QLabel *>("findResult");
        const auto key = [](const QString &keys) { QTest::keySequence(QApplication::focusWidget(), QKeySequence(keys)); };
        const auto marks = [view = m_engine->findChild<QWebEngineView *>()] { // pixels in the engine's yellow and orange
            const QImage shown = view->grab().toImage().convertToFormat(QImage::Format_RGB32);
            const auto *pixels = reinterpret_cast<const QRgb *>(shown.constBits());
            return int(std::count_if(pixels, pixels + shown.width() * shown.height(), [](QRgb p) { return qRed(p) > 200 && qBlue(p) < 100; }));
        };
        key("Ctrl+F");
        QVERIFY(bar->isVisible() && field->hasFocus());
        QTest::keyClicks(field, "apple");
        QTRY_COMPARE_WITH_TIMEOUT(result->text(), "1 of 3", kEngineWaitMs);
        const QStringList steps{"Enter", "Enter", "Enter", "Shift+Enter", "F3", "Shift+F3", "Shift+F3", "Z"},
                answers{"2 of 3", "3 of 3", "1 of 3", "3 of 3", "1 of 3", "3 of 3", "2 of 3", "No matches"}; // round, back round
        for (qsizetype i = 0; i < steps.size(); ++i) { // each answer awaited: the engine drops a search still running
            key(steps[i]);
            QTRY_COMPARE_WITH_TIMEOUT(result->text(), answers[i], kEngineWaitMs);
        }
        key("Backspace");
        QTRY_VERIFY_WITH_TIMEOUT(result->text().endsWith(" of 3") && marks() > 0, kEngineWaitMs);
        key("Esc");
        QVERIFY(!bar->isVisible() && m_engine->isAncestorOf(QApplication::focusWidget()));
        QTRY_COMPARE_WITH_TIMEOUT(marks(), 0, kEngineWaitMs); // the selected match stays selected, as text to copy
        key("F3"); // opens the bar again on what was typed
        QVERIFY(bar->isVisible() && field->text() == "apple");
        load(address("/page.html"));
        QVERIFY(!bar->isVisible());
        m_form->area("Label16")->setFocus(); // Tab from the last command into the page, out of it to the box, back
        const QList<QWidget *> stops{m_engine, m_form->cboAddress, m_engine, m_form->area("Label16")};
        for (int i = 0; i < stops.size(); ++i) {
            key(i < 2 ? "Tab" : "Shift+Tab");
            QTRY_VERIFY_WITH_TIMEOUT(stops[i]->hasFocus() || stops[i]->isAncestorOf(QApplication::focusWidget()), kEngineWaitMs);
        }
    }
};

VELT_ENGINE_TEST_MAIN(tst_Engine, false)
#include "tst_engine.moc"
