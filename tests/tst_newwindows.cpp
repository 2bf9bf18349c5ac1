#include "enginetestmain.h"
#include "engine/qt/qtwebbrowser.h"
#include "fakes/fakepageservices.h"
#include "httpserver.h"
#include "pagewindows/popupwindow.h"

#include <QLabel>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTimer>
#include <QWebEngineView>

// A click on an element of the page, by its id.
struct Click { QString element; Qt::MouseButton button; Qt::KeyboardModifiers keys; };

// The windows that pages open, on the real engine: a popup in a small window of its own
// over the page area, a new tab or window in the one view. The user's clicks are real
// input to the view; what a script asks for by itself opens nothing.
class tst_NewWindows : public QObject
{
    Q_OBJECT
    QWebEnginePage *page() const { return m_browser->findChild<QWebEngineView *>({}, Qt::FindDirectChildrenOnly)->page(); }
    QString line(const char *name) const { return m_browser->findChild<QLabel *>(name)->text(); }
    bool load(const QString &path) const { return loads(m_browser.get(), m_site.url(path)); }
    void click(const QString &id, Qt::MouseButton button = Qt::LeftButton, Qt::KeyboardModifiers keys = {}) const
    {
        const QStringList at = js(page(), "(r => r.x + r.width / 2 + ',' + (r.y + r.height / 2))(document.getElementById('"
                                          + id + "').getBoundingClientRect())").split(',');
        QTest::mouseClick(QWebEngineView::forPage(page())->focusProxy(), button, keys,
                          QPoint(at.value(0).toDouble(), at.value(1).toDouble()));
    }

    QTemporaryDir m_home;
    HttpServer m_site;
    HttpServer m_other; // another site
    FakePageServices m_services;
    std::unique_ptr<QtWebBrowser> m_browser; // shown as the main window

private slots:
    void initTestCase()
    {
        qputenv("HOME", m_home.path().toLocal8Bit()); // the save dialog's download folder is made there
        m_site.setPage("/", "<html><head><title>Links</title></head><body style='margin:0'>"
                            "<button id=pop style='width:300px;height:40px' onclick=\"window.open('/pop.html' + "
                            "location.search, 'signin', 'width=420,height=360')\">Sign in</button>"
                            "<a id=blank target=_blank href=/next.html style='display:block;height:40px'>new tab</a>"
                            "<a id=link href=/next.html style='display:block;height:40px'>link</a>"
                            "<button id=open style='width:300px;height:40px' onclick=\"window.open('/next.html')\">open</button>"
                            "<script>onmessage = e => document.title = e.data;</script></body></html>");
        m_site.setPage("/pop.html", "<html><head><title>Sign in</title></head><body>Sign in here<script>"
                                    "opener.postMessage('hello from ' + location.host, '*');"
                                    "if (location.search == '?ask') { alert('Who are you?'); document.title = 'answered'; }"
                                    "if (location.search == '?trap') for (;;) alert('Again');"
                                    "</script></body></html>");
        m_other.setPage("/pop.html", "<title>Elsewhere</title>");
        m_site.setPage("/next.html", "<html><body><script>document.title = 'opener ' + window.opener;</script></body></html>");
        m_site.setPage("/data.bin", "the data", "application/octet-stream");
    }

    void init()
    {
        m_services = FakePageServices();
        m_browser.reset(); // the last one's engine goes first
        m_browser = std::make_unique<QtWebBrowser>(nullptr, &m_services);
        m_browser->resize(800, 600);
        m_browser->show();
        QVERIFY(QTest::qWaitForWindowExposed(m_browser.get()));
    }

    void popup_data()
    {
        QTest::addColumn<QString>("opener");   // its address
        QTest::addColumn<QString>("end");      // how the popup ends
        QTest::newRow("closed with the main window") << "/" << "main window";
        QTest::newRow("its question, download and permission") << "/?ask" << "page";
        QTest::newRow("questions without end, closed by its close box") << "/?trap" << "close box";
    }

    void popup()
    {
        QFETCH(QString, opener);
        QFETCH(QString, end);
        QVERIFY(load(opener));
        QString asker = "(none)"; // the question's title, answered once it lies over the popup's page
        QTimer answer;
        connect(&answer, &QTimer::timeout, this, [&] {
            auto *question = m_browser->findChild<QWidget *>("pageQuestion");
            if (question && question->isVisible() && question->parentWidget()->objectName() == "popupPage") {
                asker = question->findChild<QLabel *>("pageQuestionTitle")->text();
                QTest::mouseClick(question->findChild<QPushButton *>("pageQuestionOk"), Qt::LeftButton);
            }
        });
        answer.start(20);
        click("pop");
        QTRY_VERIFY_WITH_TIMEOUT(m_browser->findChild<PopupWindow *>(), 10000);
        QPointer<PopupWindow> popup = m_browser->findChild<PopupWindow *>();
        if (opener != "/?trap") // the popup's message to its opener
            QTRY_COMPARE_WITH_TIMEOUT(page()->title(), "hello from " + m_site.url("").authority(), 10000);
        QWebEngineView *view = popup->findChild<QWebEngineView *>();
        QCOMPARE(view->url(), m_site.url("/pop.html" + opener.mid(1)));
        QCOMPARE(line("popupSecurity") + ' ' + line("popupOrigin"), "Not secure " + m_site.url("").toString());
        QVERIFY(popup->isVisible() && popup->windowHandle()->transientParent() == m_browser->windowHandle());
        QCOMPARE(view->size(), QSize(420, 360));
        QVERIFY(QRect(m_browser->mapToGlobal(QPoint()), m_browser->size()).contains(popup->frameGeometry()));
        if (opener != "/")
            QTRY_COMPARE_WITH_TIMEOUT(asker, "127.0.0.1", 10000);
        if (opener == "/?ask") {
            QTRY_COMPARE_WITH_TIMEOUT(view->title(), "answered", 10000);
            m_services.saveTo = m_home.filePath("saved.bin");
            js(view->page(), "location = '/data.bin'");
            QTRY_VERIFY_WITH_TIMEOUT(QFile(m_services.saveTo).size() == 8, 10000);
            m_services.allow = true; // asked over the popup, and the answer holds for the main page too
            const QString ask = "Notification.requestPermission().then(p => { document.title = p;"
                                " if (p == 'granted') new Notification('Hi <b>you</b>', {body: 'news'}); })";
            js(view->page(), ask);
            QTRY_COMPARE_WITH_TIMEOUT(view->title(), "granted", 10000);
            js(page(), ask);
            QTRY_COMPARE_WITH_TIMEOUT(page()->title(), "granted", 10000);
            QCOMPARE(m_services.asked, QStringList({"save " + m_home.filePath("Downloads/data.bin"),
                                                    "permission " + m_site.url("").toString() + " show notifications"}));
            const QString shown = m_site.url("").toString() + "|Hi <b>you</b>|news"; // from both pages
            QTRY_COMPARE_WITH_TIMEOUT(m_services.notifications, QStringList({shown, shown}), 10000);
        }
        if (opener != "/?trap") {
            js(view->page(), "location = '" + m_other.url("/pop.html").toString() + "'"); // the line follows it
            QTRY_COMPARE_WITH_TIMEOUT(line("popupOrigin"), m_other.url("").toString(), 10000);
        }
        if (end == "page")
            js(view->page(), "window.close()");
        else
            (end == "close box" ? static_cast<QWidget *>(popup) : m_browser.get())->close();
        QTRY_VERIFY_WITH_TIMEOUT(!popup, 10000);
        QCOMPARE(m_browser->LocationURL(), m_site.url(opener).toString());
        // Questions without end hold up their page process, which the opener shares, until
        // the user leaves the opener too.
        QVERIFY(opener != "/?trap" || load("/next.html"));
    }

    void newTabOpensInTheView_data()
    {
        QTest::addColumn<Click>("click");
        QTest::newRow("target=_blank") << Click{"blank", Qt::LeftButton, {}};
        QTest::newRow("middle click") << Click{"link", Qt::MiddleButton, {}};
        QTest::newRow("window.open() without features") << Click{"open", Qt::LeftButton, {}};
    }

    // The new page loads in the one view with no opener, and Back returns to the page with the link.
    void newTabOpensInTheView()
    {
        QFETCH(Click, click);
        QVERIFY(load("/"));
        this->click(click.element, click.button, click.keys);
        QTRY_COMPARE_WITH_TIMEOUT(m_browser->LocationName(), "opener null", 10000);
        QCOMPARE(m_browser->LocationURL(), m_site.url("/next.html").toString());
        QVERIFY(!m_browser->findChild<PopupWindow *>());
        QVERIFY(m_browser->GoBack());
        QTRY_COMPARE_WITH_TIMEOUT(m_browser->LocationURL(), m_site.url("/").toString(), 10000);
        QTRY_COMPARE_WITH_TIMEOUT(page()->title(), "Links", 10000);
    }
};

VELT_ENGINE_TEST_MAIN(tst_NewWindows, false)
#include "tst_newwindows.moc"
