#include "engine/enginehost.h"
#include "engine/engineprocess.h"
#include "fakes/fakewebbrowser.h"

#include <QLabel>
#include <QSignalSpy>
#include <QTest>

// The engine control the program holds: the engine is made late, and until then,
// or when it cannot be made, the control still answers as the seam promises.
class tst_EngineHost : public QObject
{
    Q_OBJECT
private slots:
    void engineIsMadeAfterTheFirstPaint();
    void idleAndEmptyBeforeTheEngine();
    void operationsReachTheEngine_data();
    void operationsReachTheEngine();
    void zoomReachesTheEngine();
    void offlineSetEarlyReachesTheEngine();
    void downloadCompleteIsPassedOn();
    void missingEngineIsReportedNotFatal();
    void sandboxNeedsUserNamespaces_data();
    void sandboxNeedsUserNamespaces();

private:
    static EngineHost::Factory fake(FakeWebBrowser **made, int *calls = nullptr)
    {
        return [made, calls](QWidget *parent, QString *) -> WebBrowser * {
            if (calls)
                ++*calls;
            *made = new FakeWebBrowser(parent);
            return *made;
        };
    }
};

void tst_EngineHost::engineIsMadeAfterTheFirstPaint()
{
    FakeWebBrowser *made = nullptr;
    int calls = 0;
    EngineHost host(fake(&made, &calls));
    QVERIFY(!host.engine());
    host.resize(200, 100);
    host.show();
    QVERIFY(QTest::qWaitForWindowExposed(&host));
    QTRY_VERIFY(host.engine());
    QCOMPARE(host.engine(), static_cast<WebBrowser *>(made));
    QCOMPARE(made->geometry(), host.rect());
    host.repaint();
    QTest::qWait(0);
    QCOMPARE(calls, 1);
}

void tst_EngineHost::idleAndEmptyBeforeTheEngine()
{
    FakeWebBrowser *made = nullptr;
    EngineHost host(fake(&made));
    bool ok = false;
    QVERIFY(!host.Busy(&ok));
    QVERIFY(ok);
    QCOMPARE(host.LocationURL(&ok), QString());
    QVERIFY(ok);
    QCOMPARE(host.LocationName(), QString());
    QVERIFY(host.Stop());
    QVERIFY(host.Navigate(QString()));
    QVERIFY(!made); // none of these needs an engine
}

void tst_EngineHost::zoomReachesTheEngine()
{
    FakeWebBrowser *made = nullptr;
    EngineHost host(fake(&made));
    host.zoom(WebBrowser::Zoom::Out);
    QVERIFY(made);
    QCOMPARE(made->calls, QStringList{"zoom(Out)"});
}

void tst_EngineHost::operationsReachTheEngine_data()
{
    QTest::addColumn<QString>("operation");
    QTest::newRow("Navigate") << "Navigate(a.org)";
    QTest::newRow("GoBack") << "GoBack";
    QTest::newRow("GoForward") << "GoForward";
    QTest::newRow("Refresh") << "Refresh";
    QTest::newRow("GoHome") << "GoHome";
    QTest::newRow("GoSearch") << "GoSearch";
}

void tst_EngineHost::operationsReachTheEngine()
{
    QFETCH(QString, operation);
    FakeWebBrowser *made = nullptr;
    EngineHost host(fake(&made));
    auto call = [&] {
        if (operation == "Navigate(a.org)")
            return host.Navigate("a.org");
        if (operation == "GoBack")
            return host.GoBack();
        if (operation == "GoForward")
            return host.GoForward();
        if (operation == "Refresh")
            return host.Refresh();
        if (operation == "GoHome")
            return host.GoHome();
        return host.GoSearch();
    };
    // Called before the first paint, the operation makes the engine at once.
    QVERIFY(call());
    QVERIFY(made);
    QCOMPARE(made->calls, QStringList{operation});

    // A refusal comes back with the engine's reason.
    made->refusing.insert(operation.section('(', 0, 0));
    QVERIFY(!call());
    QCOMPARE(host.lastError(), made->lastError());

    made->busy = true;
    made->url = "http://a.org/";
    made->name = "A";
    QVERIFY(host.Busy());
    QCOMPARE(host.LocationURL(), made->url);
    QCOMPARE(host.LocationName(), made->name);
}

void tst_EngineHost::offlineSetEarlyReachesTheEngine()
{
    FakeWebBrowser *made = nullptr;
    EngineHost host(fake(&made));
    host.setOffline(true);
    QVERIFY(host.ensureEngine());
    QVERIFY(made->offline);
    host.setOffline(false);
    QVERIFY(!made->offline);
}

void tst_EngineHost::downloadCompleteIsPassedOn()
{
    FakeWebBrowser *made = nullptr;
    EngineHost host(fake(&made));
    QSignalSpy completed(&host, &WebBrowser::DownloadComplete);
    QVERIFY(host.ensureEngine());
    made->finishLoad("http://a.org/");
    made->finishLoad("http://a.org/frame");
    QCOMPARE(completed.count(), 2);
}

void tst_EngineHost::missingEngineIsReportedNotFatal()
{
    EngineHost host([](QWidget *, QString *error) -> WebBrowser * {
        *error = QStringLiteral("no such module");
        return nullptr;
    });
    host.resize(300, 200);
    host.show();
    QVERIFY(QTest::qWaitForWindowExposed(&host));
    QTRY_VERIFY(host.findChild<QLabel *>("engineFailure"));
    auto *failure = host.findChild<QLabel *>("engineFailure");
    QVERIFY(failure->isVisible());
    QVERIFY(failure->text().contains("no such module"));
    QVERIFY(!host.Navigate("a.org"));
    QVERIFY(host.lastError().contains("no such module"));
    QVERIFY(!host.GoHome());
    QVERIFY(!host.Busy());
    QVERIFY(host.Navigate(QString()));
}

void tst_EngineHost::sandboxNeedsUserNamespaces_data()
{
    QTest::addColumn<bool>("root");
    QTest::addColumn<bool>("namespaces");
    QTest::addColumn<bool>("problem");
    QTest::newRow("root runs without the sandbox") << true << false << false;
    QTest::newRow("root with namespaces") << true << true << false;
    QTest::newRow("user with namespaces") << false << true << false;
    QTest::newRow("user without namespaces") << false << false << true;
}

void tst_EngineHost::sandboxNeedsUserNamespaces()
{
    QFETCH(bool, root);
    QFETCH(bool, namespaces);
    QFETCH(bool, problem);
    const QString why = sandboxProblem(root, namespaces);
    QCOMPARE(!why.isEmpty(), problem);
    if (problem)
        QVERIFY(why.contains("user namespaces"));
}

QTEST_MAIN(tst_EngineHost)
#include "tst_enginehost.moc"
