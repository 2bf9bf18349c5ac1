#include "clickarea.h"
#include "enginetestmain.h"
#include "engine/qtwebbrowser.h"
#include "fakes/fakeplatform.h"
#include "form1.h"
#include "httpserver.h"
#include "statusbar.h"

#include <QApplication>
#include <QComboBox>
#include <QSignalSpy>
#include <QTest>
#include <QTimer>
#include <QWebEngineView>

// The watcher and the navigation buttons against the real engine and pages served here.
class tst_EngineNavigation : public QObject
{
    Q_OBJECT
    HttpServer m_server;
    FakePlatform m_platform;
    QtWebBrowser *m_engine = nullptr;
    Form1 *m_form = nullptr;

    QString address(const char *path) const { return m_server.url(path).toString(); }
    bool shows(const char *path) const { return !m_engine->Busy() && m_engine->LocationURL() == address(path); }
    QString panel(int number) const { return m_form->StatusBar1->panelText(number); }
    void pick(const QString &text)
    {
        m_form->cboAddress->addItem(text);
        m_form->cboAddress->setCurrentIndex(m_form->cboAddress->count() - 1);
        emit m_form->cboAddress->activated(m_form->cboAddress->count() - 1);
    }
    void click(const char *area) { emit m_form->area(area)->clicked(); }

private slots:
    void initTestCase()
    {
        QVERIFY(m_server.isListening());
        for (const QString name : {"a", "slow", "home", "search"})
            m_server.setPage("/" + name + ".html", "<html><head><title>Page " + name.toUtf8() + "</title></head></html>");
    }
    void init()
    {
        m_engine = new QtWebBrowser;
        m_engine->setHomePage(m_server.url("/home.html"));
        m_engine->setSearchPage(m_server.url("/search.html"));
        m_form = new Form1(m_engine, m_platform);
        m_form->Form_Load();
        QVERIFY(QTest::qWaitForWindowExposed(m_form));
    }
    void cleanup()
    {
        delete m_form;
        m_server.release("/slow.html");
    }

    void heldPickIsFollowedUntilDone_data()
    {
        QTest::addColumn<bool>("stop");
        QTest::newRow("answered") << false;
        QTest::newRow("stopped") << true;
    }
    void heldPickIsFollowedUntilDone()
    {
        QFETCH(bool, stop);
        pick(address("/a.html"));
        QTRY_COMPARE(m_form->windowTitle(), QStringLiteral("Page a - Ovo "));
        m_server.hold("/slow.html");
        const int hits = m_server.hits("/slow.html");
        pick(address("/slow.html"));
        QTRY_COMPARE(m_server.hits("/slow.html"), hits + 1); // the server has it and answers nothing
        QTRY_COMPARE(panel(2), QStringLiteral("Opening..."));
        QCOMPARE(m_form->windowTitle(), QStringLiteral("Ovo"));

        if (stop)
            click("Image4");
        else
            m_server.release("/slow.html");
        QTRY_COMPARE(panel(2), QStringLiteral("Done"));
        QVERIFY(!m_form->timTimer->isActive());
        // A stopped load never replaces the page that was shown.
        QCOMPARE(m_engine->LocationURL(), address(stop ? "/a.html" : "/slow.html"));
        QCOMPARE(m_form->windowTitle(), stop ? QStringLiteral("Page a - Ovo ") : QStringLiteral("Page slow - Ovo "));
    }

    void buttonsWalkTheRealHistory()
    {
        click("Image6");
        QTRY_VERIFY(shows("/home.html"));
        click("Image7");
        QTRY_VERIFY(shows("/search.html"));
        click("Image2");
        QTRY_VERIFY(shows("/home.html"));
        click("Image3");
        QTRY_VERIFY(shows("/search.html"));

        const int hits = m_server.hits("/search.html");
        click("Image5");
        QTRY_COMPARE(m_server.hits("/search.html"), hits + 1);
        QTRY_VERIFY(shows("/search.html"));
        QCOMPARE(m_form->windowTitle(), QStringLiteral("Ovo")); // the buttons never start the watcher
        QCOMPARE(panel(2), QString());
    }

    void backRightAfterStartChangesNothing()
    {
        const int requests = m_server.totalHits();
        QSignalSpy completed(m_engine, &WebBrowser::DownloadComplete);
        click("Image2");
        click("Image3");
        QVERIFY(!m_engine->Busy());
        QCOMPARE(m_engine->LocationURL(), QString());
        // A real load afterwards is the only request the server sees and the only completed download.
        pick(address("/a.html"));
        QTRY_VERIFY(shows("/a.html"));
        QCOMPARE(m_server.totalHits(), requests + 1);
        QCOMPARE(completed.count(), 1);
    }

    // With the page focused, the keys still reach the window's commands.
    void keysFromThePage()
    {
        click("Image6");
        QTRY_VERIFY(shows("/home.html"));
        click("Image7");
        QTRY_VERIFY(shows("/search.html"));
        QVERIFY(QTest::qWaitForWindowActive(m_form));
        auto *view = m_engine->findChild<QWebEngineView *>();
        view->focusProxy()->setFocus(); // where a click into the page puts it
        QTRY_COMPARE(QApplication::focusWidget(), view->focusProxy());
        const auto press = [this](const char *key) {
            const QKeyCombination combination = QKeySequence(QString::fromLatin1(key))[0];
            QTest::keyClick(m_form->windowHandle(), combination.key(), combination.keyboardModifiers());
        };
        press("Alt+Left");
        QTRY_VERIFY(shows("/home.html"));
        QCOMPARE(panel(1), QStringLiteral("  Back"));
        press("Ctrl++");
        QTRY_COMPARE(view->zoomFactor(), 1.1);
        press("Ctrl+-");
        press("Ctrl+-");
        QTRY_COMPARE(view->zoomFactor(), 0.9);
        press("Ctrl+0");
        QTRY_COMPARE(view->zoomFactor(), 1.0);
        m_server.hold("/slow.html");
        const int hits = m_server.hits("/slow.html");
        QVERIFY(m_engine->Navigate(address("/slow.html")));
        QTRY_COMPARE(m_server.hits("/slow.html"), hits + 1);
        press("Esc");
        QTRY_VERIFY(!m_engine->Busy()); // stopped while the server still holds it
        press("Ctrl+L");
        QCOMPARE(QApplication::focusWidget(), m_form->cboAddress);
    }
};

VELT_ENGINE_TEST_MAIN(tst_EngineNavigation)
#include "tst_engine_navigation.moc"
