#include "enginetestmain.h"
#include "engine/enginehost.h"
#include "engine/qtwebbrowser.h"
#include "fakes/fakeplatform.h"
#include "form1.h"
#include "httpserver.h"

#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QSignalSpy>
#include <QTest>

// The main window driven against the real engine and pages served here.
class tst_Engine : public QObject
{
    Q_OBJECT
private slots:
    void initTestCase();
    void init();
    void cleanup();

    void enterLoadsAndBoxFollows();
    void busyFromTheMomentNavigateReturns();
    void everyFrameDownloadUpdatesTheBox();
    void malformedAddressIsRefusedWithoutRequest_data();
    void malformedAddressIsRefusedWithoutRequest();
    void pageNameIsThePagesOwnTitle_data();
    void pageNameIsThePagesOwnTitle();
    void emptyAddressChangesNothing();
    void moduleEngineSharesTheSeam();

private:
    void typeAndEnter(const QString &text);

    HttpServer m_server;
    FakePlatform m_platform;
    QtWebBrowser *m_engine = nullptr;
    Form1 *m_form = nullptr;
};

void tst_Engine::initTestCase()
{
    QVERIFY(m_server.isListening());
    m_server.setPage("/page.html", "<html><head><title>First page</title></head><body>one</body></html>");
    m_server.setPage("/frames.html",
                     "<html><head><title>Frames</title></head><body>"
                     "<iframe src='/frame1.html'></iframe><iframe src='/frame2.html'></iframe>"
                     "</body></html>");
    m_server.setPage("/frame1.html", "<html><body>frame one</body></html>");
    m_server.setPage("/frame2.html", "<html><body>frame two</body></html>");
    m_server.setPage("/untitled.html", "<html><body>no title</body></html>");
    m_server.setPage("/emptytitle.html", "<html><head><title></title></head><body>x</body></html>");
}

void tst_Engine::init()
{
    m_engine = new QtWebBrowser;
    m_form = new Form1(m_engine, m_platform);
    m_form->Form_Load();
    QVERIFY(QTest::qWaitForWindowExposed(m_form));
}

void tst_Engine::cleanup()
{
    delete m_form;
}

void tst_Engine::typeAndEnter(const QString &text)
{
    QLineEdit *edit = m_form->cboAddress->lineEdit();
    edit->setText(text);
    QTest::keyClick(m_form->cboAddress, Qt::Key_Return);
}

void tst_Engine::enterLoadsAndBoxFollows()
{
    QSignalSpy completed(m_engine, &WebBrowser::DownloadComplete);
    const int before = m_server.hits("/page.html");
    // Typed without a scheme, as a user would.
    const QString typed = m_server.url("/page.html").toString().mid(7);
    typeAndEnter(typed);

    QCOMPARE(m_form->cboAddress->itemText(0), typed);
    QTRY_COMPARE(completed.count(), 1);
    QCOMPARE(m_server.hits("/page.html"), before + 1);
    QCOMPARE(m_form->cboAddress->currentText(), m_server.url("/page.html").toString());
    QCOMPARE(m_engine->LocationName(), QStringLiteral("First page"));
    QCOMPARE(m_form->cboAddress->count(), 1);
}

void tst_Engine::busyFromTheMomentNavigateReturns()
{
    QSignalSpy completed(m_engine, &WebBrowser::DownloadComplete);
    QVERIFY(!m_engine->Busy());
    QVERIFY(m_engine->Navigate(m_server.url("/page.html").toString()));
    QVERIFY(m_engine->Busy());
    QTRY_COMPARE(completed.count(), 1);
    QVERIFY(!m_engine->Busy());
    // When DownloadComplete comes, the address is already the new one.
    QCOMPARE(m_engine->LocationURL(), m_server.url("/page.html").toString());
}

void tst_Engine::everyFrameDownloadUpdatesTheBox()
{
    QStringList seenInBox;
    connect(m_engine, &WebBrowser::DownloadComplete, this, [this, &seenInBox] {
        // Queued after the window's own handler has run.
        QMetaObject::invokeMethod(this, [this, &seenInBox] {
            seenInBox << m_form->cboAddress->currentText();
        }, Qt::QueuedConnection);
    });
    typeAndEnter(m_server.url("/frames.html").toString());
    QTRY_COMPARE(seenInBox.size(), 3);
    QVERIFY(!m_engine->Busy());
    QCOMPARE(m_server.hits("/frame1.html") + m_server.hits("/frame2.html") >= 2, true);
    for (const QString &text : seenInBox)
        QCOMPARE(text, m_server.url("/frames.html").toString());
    QCOMPARE(m_engine->LocationName(), QStringLiteral("Frames"));
}

void tst_Engine::malformedAddressIsRefusedWithoutRequest_data()
{
    QTest::addColumn<QString>("text");
    const QString port = QString::number(m_server.url("/").port());
    QTest::newRow("unclosed ipv6") << "http://[::1";
    QTest::newRow("two ports") << QStringLiteral("http://127.0.0.1:%1:%1/page.html").arg(port);
    QTest::newRow("control character") << QStringLiteral("127.0.0.1:%1/page\x01.html").arg(port);
    QTest::newRow("script") << "javascript:location='http://127.0.0.1:" + port + "/page.html'";
}

void tst_Engine::malformedAddressIsRefusedWithoutRequest()
{
    QFETCH(QString, text);
    const int hits = m_server.totalHits();
    const int pageHits = m_server.hits("/page.html");
    typeAndEnter(text);
    QCOMPARE(m_form->cboAddress->count(), 0);
    QVERIFY(m_form->findChild<QLabel *>("addressMessage")->isVisible());
    QVERIFY(!m_engine->Busy());

    // A good load after it: a request made for the bad one would have reached the
    // server before this one ends.
    QSignalSpy completed(m_engine, &WebBrowser::DownloadComplete);
    typeAndEnter(m_server.url("/untitled.html").toString());
    QTRY_COMPARE(completed.count(), 1);
    QCOMPARE(m_server.totalHits(), hits + 1);
    QCOMPARE(m_server.hits("/page.html"), pageHits);
}

void tst_Engine::pageNameIsThePagesOwnTitle_data()
{
    QTest::addColumn<QString>("path");
    QTest::addColumn<QString>("name");
    QTest::newRow("titled") << "/page.html" << "First page";
    QTest::newRow("no title") << "/untitled.html" << "";
    QTest::newRow("empty title") << "/emptytitle.html" << "";
}

void tst_Engine::pageNameIsThePagesOwnTitle()
{
    QFETCH(QString, path);
    QFETCH(QString, name);
    QSignalSpy completed(m_engine, &WebBrowser::DownloadComplete);
    QVERIFY(m_engine->Navigate(m_server.url(path).toString()));
    QTRY_COMPARE(completed.count(), 1);
    QCOMPARE(m_engine->LocationName(), name);
}

void tst_Engine::emptyAddressChangesNothing()
{
    QSignalSpy completed(m_engine, &WebBrowser::DownloadComplete);
    QVERIFY(m_engine->Navigate(QString()));
    QVERIFY(!m_engine->Busy());
    QCOMPARE(m_engine->LocationURL(), QString());
    typeAndEnter(QString());
    QCOMPARE(m_form->cboAddress->count(), 1); // Enter on an empty box adds an empty entry
    QCOMPARE(m_form->cboAddress->itemText(0), QString());
    QVERIFY(!m_engine->Busy());
    QCOMPARE(completed.count(), 0);
}

VELT_ENGINE_TEST_MAIN(tst_Engine)
void tst_Engine::moduleEngineSharesTheSeam()
{
    // The program's engine comes from the module: it must be a WebBrowser to the
    // program and its signal must connect by pointer, or no load is ever heard of.
    QWidget host;
    QString error;
    WebBrowser *engine = EngineHost::moduleFactory(QStringLiteral(VELT_ENGINE_MODULE))(&host, &error);
    QVERIFY2(engine, qPrintable(error));
    QCOMPARE(qobject_cast<WebBrowser *>(static_cast<QObject *>(engine)), engine);
    bool completed = false;
    QVERIFY(connect(engine, &WebBrowser::DownloadComplete, this, [&] { completed = true; }));
    QVERIFY(engine->Navigate(m_server.url("/page.html").toString()));
    QTRY_VERIFY(completed);
}

#include "tst_engine.moc"
