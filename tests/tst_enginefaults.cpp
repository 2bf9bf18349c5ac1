#include "enginetestmain.h"
#include "engine/qtwebbrowser.h"
#include "fakes/fakeplatform.h"
#include "form1.h"
#include "httpserver.h"
#include "statusbar.h"

#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QSignalSpy>
#include <QTest>
#include <QTimer>

#include <csignal>

// The engine's page process dies under the window: the window goes on, the load
// counts as ended, the page area says what happened and the next load works.
class tst_EngineFaults : public QObject
{
    Q_OBJECT
private slots:
    void initTestCase();
    void init();
    void cleanup();
    void rendererKilled_data();
    void rendererKilled();

private:
    void load(const QString &path);

    HttpServer m_server;
    FakePlatform m_platform;
    QtWebBrowser *m_engine = nullptr;
    Form1 *m_form = nullptr;
};

void tst_EngineFaults::initTestCase()
{
    QVERIFY(m_server.isListening());
    m_server.setPage("/page.html", "<html><head><title>Page</title></head><body>page</body></html>");
    m_server.setPage("/slow.html", "<html><head><title>Slow</title></head><body>slow</body></html>");
    m_server.setPage("/next.html", "<html><head><title>Next</title></head><body>next</body></html>");
}

void tst_EngineFaults::init()
{
    m_engine = new QtWebBrowser;
    m_form = new Form1(m_engine, m_platform);
    m_form->Form_Load();
    QVERIFY(QTest::qWaitForWindowExposed(m_form));
}

void tst_EngineFaults::cleanup()
{
    m_server.release("/slow.html");
    delete m_form;
}

void tst_EngineFaults::load(const QString &path)
{
    QSignalSpy completed(m_engine, &WebBrowser::DownloadComplete);
    QVERIFY(m_engine->Navigate(m_server.url(path).toString()));
    QTRY_VERIFY(completed.count() >= 1);
    QTRY_VERIFY(!m_engine->Busy());
}

void tst_EngineFaults::rendererKilled_data()
{
    QTest::addColumn<bool>("duringLoad");
    QTest::newRow("while idle") << false;
    QTest::newRow("during a load") << true;
}

void tst_EngineFaults::rendererKilled()
{
    QFETCH(bool, duringLoad);

    load("/page.html");
    const qint64 renderer = m_engine->rendererProcessId();
    QVERIFY(renderer > 0);

    QSignalSpy completed(m_engine, &WebBrowser::DownloadComplete);
    if (duringLoad) {
        // Same site, so the held load belongs to the renderer that is killed.
        m_server.hold("/slow.html");
        m_form->cboAddress->addItem(m_server.url("/slow.html").toString());
        m_form->cboAddress->setCurrentIndex(m_form->cboAddress->count() - 1);
        emit m_form->cboAddress->activated(m_form->cboAddress->count() - 1);
        QTRY_COMPARE(m_server.hits("/slow.html"), 1);
        QVERIFY(m_engine->Busy());
    }
    QCOMPARE(::kill(pid_t(renderer), SIGKILL), 0);

    QTRY_VERIFY(m_engine->findChild<QLabel *>("crashNotice"));
    auto *notice = m_engine->findChild<QLabel *>("crashNotice");
    QTRY_VERIFY(notice->isVisible());
    QVERIFY(!notice->text().isEmpty());
    QTRY_VERIFY(!m_engine->Busy());
    if (duringLoad) {
        QTRY_COMPARE(completed.count(), 1);
        QTRY_VERIFY(!m_form->timTimer->isActive());
        QCOMPARE(m_form->StatusBar1->panelText(2), QStringLiteral("Done"));
    }

    // The next load works and takes the notice away.
    const int before = m_server.hits("/next.html");
    load("/next.html");
    QCOMPARE(m_server.hits("/next.html"), before + 1);
    QCOMPARE(m_engine->LocationName(), QStringLiteral("Next"));
    QVERIFY(!notice->isVisible());
    QVERIFY(m_engine->rendererProcessId() > 0);
}

VELT_ENGINE_TEST_MAIN(tst_EngineFaults)
#include "tst_enginefaults.moc"
