#include "clickarea.h"
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

// The watcher and the navigation buttons against the real engine and pages served here.
class tst_EngineNavigation : public QObject
{
    Q_OBJECT
private slots:
    void initTestCase();
    void init();
    void cleanup();

    void slowPickIsFollowedUntilDone();
    void stopEndsAWatchedLoad();
    void backAndForwardWalkTheHistory();
    void refreshFetchesThePageAgain();
    void homeAndSearch();
    void backRightAfterStartChangesNothing();

private:
    QString address(const QString &path) const { return m_server.url(path).toString(); }
    void typeAndEnter(const QString &text);
    void pick(const QString &text);
    void click(const char *area);
    bool shows(const QString &path) const;
    QString panel(int number) const { return m_form->StatusBar1->panelText(number); }

    HttpServer m_server;
    FakePlatform m_platform;
    QtWebBrowser *m_engine = nullptr;
    Form1 *m_form = nullptr;
};

void tst_EngineNavigation::initTestCase()
{
    QVERIFY(m_server.isListening());
    m_server.setPage("/a.html", "<html><head><title>Page A</title></head><body>a</body></html>");
    m_server.setPage("/b.html", "<html><head><title>Page B</title></head><body>b</body></html>");
    m_server.setPage("/slow.html", "<html><head><title>Slow page</title></head><body>s</body></html>");
    m_server.setPage("/home.html", "<html><head><title>Home</title></head><body>h</body></html>");
    m_server.setPage("/search.html", "<html><head><title>Search</title></head><body>q</body></html>");
}

void tst_EngineNavigation::init()
{
    m_engine = new QtWebBrowser;
    m_engine->setHomePage(m_server.url("/home.html"));
    m_engine->setSearchPage(m_server.url("/search.html"));
    m_form = new Form1(m_engine, m_platform);
    m_form->Form_Load();
    QVERIFY(QTest::qWaitForWindowExposed(m_form));
}

void tst_EngineNavigation::cleanup()
{
    delete m_form;
    m_server.release("/slow.html");
    m_platform.calls.clear();
}

void tst_EngineNavigation::typeAndEnter(const QString &text)
{
    QLineEdit *edit = m_form->cboAddress->lineEdit();
    edit->setText(text);
    QTest::keyClick(m_form->cboAddress, Qt::Key_Return);
}

void tst_EngineNavigation::pick(const QString &text)
{
    m_form->cboAddress->addItem(text);
    const int index = m_form->cboAddress->count() - 1;
    m_form->cboAddress->setCurrentIndex(index);
    emit m_form->cboAddress->activated(index);
}

void tst_EngineNavigation::click(const char *area)
{
    const QPoint at = m_form->area(area)->geometry().center();
    QCOMPARE(m_form->childAt(at), static_cast<QWidget *>(m_form->area(area)));
    QTest::mouseClick(m_form->windowHandle(), Qt::LeftButton, {}, at);
}

bool tst_EngineNavigation::shows(const QString &path) const
{
    return !m_engine->Busy() && m_engine->LocationURL() == address(path);
}

void tst_EngineNavigation::slowPickIsFollowedUntilDone()
{
    pick(address("/a.html"));
    QTRY_COMPARE(m_form->windowTitle(), QStringLiteral("Page A - Ovo "));
    QCOMPARE(panel(2), QStringLiteral("Done"));
    QVERIFY(!m_form->timTimer->isActive());

    m_server.hold("/slow.html");
    const int hits = m_server.hits("/slow.html");
    pick(address("/slow.html"));
    QTRY_COMPARE(m_server.hits("/slow.html"), hits + 1);
    // The server has the request and answers nothing: the load is under way.
    QTRY_COMPARE(panel(2), QStringLiteral("Opening..."));
    QCOMPARE(m_form->windowTitle(), QStringLiteral("Ovo"));
    QVERIFY(m_form->timTimer->isActive());

    m_server.release("/slow.html");
    QTRY_COMPARE(m_form->windowTitle(), QStringLiteral("Slow page - Ovo "));
    QCOMPARE(panel(2), QStringLiteral("Done"));
    QVERIFY(!m_form->timTimer->isActive());
    QCOMPARE(m_form->cboAddress->currentText(), address("/slow.html"));
}

void tst_EngineNavigation::stopEndsAWatchedLoad()
{
    pick(address("/a.html"));
    QTRY_COMPARE(m_form->windowTitle(), QStringLiteral("Page A - Ovo "));

    m_server.hold("/slow.html");
    const int hits = m_server.hits("/slow.html");
    pick(address("/slow.html"));
    QTRY_COMPARE(m_server.hits("/slow.html"), hits + 1);
    QTRY_COMPARE(panel(2), QStringLiteral("Opening..."));

    click("Image4");
    QTRY_COMPARE(panel(2), QStringLiteral("Done"));
    QVERIFY(!m_form->timTimer->isActive());
    QVERIFY(!m_engine->Busy());
    // The stopped load never replaced the page that was shown.
    QCOMPARE(m_engine->LocationURL(), address("/a.html"));
    QCOMPARE(m_form->windowTitle(), QStringLiteral("Page A - Ovo "));
}

void tst_EngineNavigation::backAndForwardWalkTheHistory()
{
    typeAndEnter(address("/a.html"));
    QTRY_VERIFY(shows("/a.html"));
    typeAndEnter(address("/b.html"));
    QTRY_VERIFY(shows("/b.html"));

    click("Image2");
    QTRY_VERIFY(shows("/a.html"));
    QCOMPARE(m_engine->LocationName(), QStringLiteral("Page A"));
    QTRY_COMPARE(m_form->cboAddress->currentText(), address("/a.html"));
    QCOMPARE(panel(1), QStringLiteral("  Back"));

    click("Image3");
    QTRY_VERIFY(shows("/b.html"));
    QCOMPARE(m_engine->LocationName(), QStringLiteral("Page B"));
    QTRY_COMPARE(m_form->cboAddress->currentText(), address("/b.html"));

    // Through the Back label as well, where it shows below the address box.
    emit m_form->area("Label1")->clicked();
    QTRY_VERIFY(shows("/a.html"));
    emit m_form->area("Label2")->clicked();
    QTRY_VERIFY(shows("/b.html"));

    // The buttons leave the watcher as it was: never started here.
    QCOMPARE(m_form->windowTitle(), QStringLiteral("Ovo"));
    QCOMPARE(panel(2), QString());
    QCOMPARE(m_form->cboAddress->count(), 2);
}

void tst_EngineNavigation::refreshFetchesThePageAgain()
{
    typeAndEnter(address("/a.html"));
    QTRY_VERIFY(shows("/a.html"));
    const int hits = m_server.hits("/a.html");

    click("Image5");
    QTRY_COMPARE(m_server.hits("/a.html"), hits + 1);
    QTRY_VERIFY(shows("/a.html"));
    emit m_form->area("Label4")->clicked();
    QTRY_COMPARE(m_server.hits("/a.html"), hits + 2);
    QTRY_VERIFY(shows("/a.html"));
}

void tst_EngineNavigation::homeAndSearch()
{
    click("Image6");
    QTRY_VERIFY(shows("/home.html"));
    QCOMPARE(m_engine->LocationName(), QStringLiteral("Home"));
    click("Image7");
    QTRY_VERIFY(shows("/search.html"));
    QCOMPARE(m_engine->LocationName(), QStringLiteral("Search"));
    QTRY_COMPARE(m_form->cboAddress->currentText(), address("/search.html"));
}

void tst_EngineNavigation::backRightAfterStartChangesNothing()
{
    const int requests = m_server.totalHits();
    QSignalSpy completed(m_engine, &WebBrowser::DownloadComplete);
    click("Image2");
    emit m_form->area("Label1")->clicked();
    click("Image3");
    QVERIFY(!m_engine->Busy());
    QCOMPARE(m_engine->LocationURL(), QString());
    QCOMPARE(m_form->windowTitle(), QStringLiteral("Ovo"));
    QCOMPARE(panel(2), QString());
    QCOMPARE(m_form->cboAddress->count(), 0);
    QVERIFY(m_form->cboAddress->currentText() != QString());
    QVERIFY(!m_form->findChild<QLabel *>(QStringLiteral("addressMessage"))->isVisible());
    QVERIFY(m_platform.calls.isEmpty());

    // A real load afterwards is the only request the server ever sees, and the only
    // completed download.
    typeAndEnter(address("/a.html"));
    QTRY_VERIFY(shows("/a.html"));
    QCOMPARE(m_server.totalHits(), requests + 1);
    QCOMPARE(completed.count(), 1);
}

VELT_ENGINE_TEST_MAIN(tst_EngineNavigation)
#include "tst_engine_navigation.moc"
