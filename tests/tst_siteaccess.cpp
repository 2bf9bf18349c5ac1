#include "enginetestmain.h"
#include "engine/qt/qtwebbrowser.h"
#include "httpserver.h"

#include <QClipboard>
#include <QWebEngineProfile>
#include <QWebEngineView>

// What everyday sites ask of the real engine: the clipboard, and a user agent that they know.
class tst_SiteAccess : public QObject
{
    Q_OBJECT
    HttpServer m_server;
    QHash<QString, QByteArray> m_requests; // the last one for each path
    std::unique_ptr<QtWebBrowser> m_browser;
    QWebEngineView *view() const { return m_browser->findChild<QWebEngineView *>(); }

private slots:
    void init()
    {
        m_browser = std::make_unique<QtWebBrowser>();
        m_browser->resize(400, 300);
        m_browser->show();
    }
    void cleanup() { m_browser.reset(); }

    void clipboard_data()
    {
        QTest::addColumn<QString>("act"); // what the page does: at once, or onClick of its Copy button
        QTest::addColumn<QString>("title"); // what the page reports; "done": it copied "copied"
        QTest::newRow("Copy button, writeText") << "onClick(() => navigator.clipboard.writeText('copied'))" << "done";
        QTest::newRow("Copy button, write") << "onClick(() => navigator.clipboard.write([new ClipboardItem("
                "{'text/plain': new Blob(['copied']), 'text/html': new Blob(['<b>copied</b>'])})]))" << "done";
        QTest::newRow("Copy button, execCommand")
                << "onClick(() => (field.value = 'copied', field.select(), document.execCommand('copy')))" << "done";
        QTest::newRow("writeText, no click") << "done(navigator.clipboard.writeText('copied'))" << "NotAllowedError";
        QTest::newRow("readText on a click") << "onClick(() => navigator.clipboard.readText())" << "NotAllowedError";
    }
    void clipboard()
    {
        QFETCH(QString, act);
        QFETCH(QString, title);
        QGuiApplication::clipboard()->setText(QStringLiteral("before"));
        m_server.setPage("/page.html", "<input><button style='position:fixed; inset:0'>Copy</button><script>"
                "const [field, button] = document.body.children, done = (p) => Promise.resolve(p).then((r) => document.title ="
                " r === false ? 'false' : 'done', (e) => document.title = e.name), onClick = (f) => { button.onclick = () =>"
                " done(f()); document.title = 'ready'; };" + act.toUtf8() + "</script>");
        QVERIFY(m_browser->Navigate(m_server.url("/page.html").toString()));
        // The user clicks while the page waits, again if the click came too early for the page.
        const auto click = [this] { QTest::mouseClick(view()->focusProxy(), Qt::LeftButton); return QString("clicked"); };
        QTRY_COMPARE_WITH_TIMEOUT(view()->title() == "ready" ? click() : view()->title(), title, 20000);
        QTRY_COMPARE(QGuiApplication::clipboard()->text(), title == "done" ? "copied" : "before");
    }

    void userAgent()
    {
        m_server.reply = [this](QTcpSocket *socket, const QString &path, const QByteArray &request) {
            m_requests.insert(path, request);
            const bool page = path == "/page.html";
            HttpServer::send(socket, "200 OK", page ? "" : "Content-Type: text/javascript\r\n", page ? "<script>fetch('/a');"
                             "new SharedWorker('/w.js'); document.title = navigator.userAgent</script>" : "fetch('/b')");
        };
        QVERIFY(m_browser->Navigate(m_server.url("/page.html").toString()));
        QTRY_VERIFY_WITH_TIMEOUT(m_requests.size() == 4
                                         && view()->title().contains("Chrome/" + QString(qWebEngineChromiumVersion())), 20000);
        const QString agent = QWebEngineProfile().httpUserAgent().remove("QtWebEngine/" + QString(qWebEngineVersion()) + ' ');
        QCOMPARE(view()->title(), agent);
        for (const QByteArray &request : std::as_const(m_requests)) // the page, its fetch, its worker, the worker's fetch
            QVERIFY2(request.contains("User-Agent: " + agent.toLatin1()) && !request.contains("QtWebEngine"), request);
    }
};

VELT_ENGINE_TEST_MAIN(tst_SiteAccess, false)
#include "tst_siteaccess.moc"
