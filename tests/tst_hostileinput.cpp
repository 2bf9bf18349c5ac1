#include "enginetestmain.h"
#include "engine/qtwebbrowser.h"
#include "fakes/fakeplatform.h"
#include "form1.h"
#include "httpserver.h"

#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>

// Hostile text typed into the address box of the real window on the real engine:
// the program goes on, the list takes exactly the addresses the engine took, a
// refused one is reported, and nothing hangs.
class tst_HostileInput : public QObject
{
    Q_OBJECT
private slots:
    void initTestCase();
    void cleanupTestCase();
    void enter_data();
    void enter();

private:
    HttpServer m_server;
    QTemporaryDir m_dir;
    FakePlatform m_platform;
    QtWebBrowser *m_engine = nullptr;
    Form1 *m_form = nullptr;
};

void tst_HostileInput::initTestCase()
{
    QVERIFY(m_server.isListening());
    QVERIFY(m_dir.isValid());
    m_server.setPage("/page.html", "<html><head><title>Page</title></head><body>page</body></html>");
    QFile locked(m_dir.filePath("locked.html"));
    QVERIFY(locked.open(QIODevice::WriteOnly));
    locked.write("<html><body>locked</body></html>");
    locked.close();
    QVERIFY(locked.setPermissions({}));
    m_engine = new QtWebBrowser;
    m_form = new Form1(m_engine, m_platform);
    m_form->Form_Load();
    QVERIFY(QTest::qWaitForWindowExposed(m_form));
}

void tst_HostileInput::cleanupTestCase()
{
    delete m_form;
}

void tst_HostileInput::enter_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<bool>("taken");

    const QString server = m_server.url("/").toString(); // "http://127.0.0.1:port/"
    const QString megabyte(1024 * 1024, QLatin1Char('a'));

    QTest::newRow("1 MB of text") << megabyte << false;
    QTest::newRow("1 MB host") << "http://" + megabyte + "/" << false;
    QTest::newRow("1 MB path") << server + megabyte << true;
    QTest::newRow("ipv6 unclosed") << "http://[::1" << false;
    QTest::newRow("ipv6 doubled bracket") << "http://[::1]]/" << false;
    QTest::newRow("ipv6 three colons") << "http://[:::1]/" << false;
    QTest::newRow("ipv6 nine groups") << "http://[1:2:3:4:5:6:7:8:9]/" << false;
    QTest::newRow("ipv6 with zone") << "http://[fe80::1%25eth0]/" << true;
    QTest::newRow("ipv6 schemeless") << "[::1" << false;
    QTest::newRow("control character") << QStringLiteral("exa\x01mple.com") << false;
    QTest::newRow("nul") << QString::fromUtf16(u"exa\u0000mple.com", 11) << false;
    QTest::newRow("newline") << server + "\npage.html" << false;
    QTest::newRow("delete") << QStringLiteral("example.com\x7f") << false;
    QTest::newRow("lone high surrogate") << QString(QChar(0xd800)) << false;
    QTest::newRow("lone low surrogate in path") << server + QChar(0xdc00) << false;
    QTest::newRow("right-to-left override") << QString::fromUtf16(u"\u202Eexample.com") << false;
    QTest::newRow("fullwidth host") << QString::fromUtf16(u"\uFF45\uFF58.com") << true;
    QTest::newRow("emoji host") << QString::fromUtf16(u"\U0001F4A9.example") << true;
    QTest::newRow("zero-width joiner") << QString::fromUtf16(u"exa\u200Dmple.com") << true;
    QTest::newRow("host of 300 letters") << "http://" + QString(300, 'b') + ".com/" << false;
    QTest::newRow("label of 64 letters") << "http://" + QString(64, 'c') + ".com/" << false;
    QTest::newRow("over 2 MB") << server + QString(2 * 1024 * 1024, 'd') << false;
    QTest::newRow("javascript") << "javascript:alert(1)" << false;
    QTest::newRow("javascript, blank and capitals") << "  JAVASCRIPT:alert(1)" << false;
    QTest::newRow("data") << "data:text/html,<script>document.title='x'</script>" << true;
    QTest::newRow("data, empty") << "data:" << true;
    QTest::newRow("view-source") << "view-source:" + server + "page.html" << true;
    QTest::newRow("view-source of script") << "view-source:javascript:alert(1)" << true;
    QTest::newRow("about blank") << "about:blank" << true;
    QTest::newRow("about, unknown") << "about:nothing-here" << true;
    QTest::newRow("missing file") << "file:///nonexistent/page.html" << true;
    QTest::newRow("missing path") << "/nonexistent/page.html" << true;
    QTest::newRow("unreadable file") << "file://" + m_dir.filePath("locked.html") << true;
    QTest::newRow("directory") << m_dir.path() << true;
    QTest::newRow("blanks only") << "     " << false;
    QTest::newRow("no-break spaces only") << QString::fromUtf16(u"\u00A0\u00A0") << false;
    QTest::newRow("tab only") << "\t" << false;
    QTest::newRow("empty") << "" << true;
}

void tst_HostileInput::enter()
{
    QFETCH(QString, text);
    QFETCH(bool, taken);

    auto *message = m_form->findChild<QLabel *>("addressMessage");
    const int entries = m_form->cboAddress->count();
    m_form->cboAddress->lineEdit()->setText(text);
    QTest::keyClick(m_form->cboAddress, Qt::Key_Return);

    QCOMPARE(m_form->cboAddress->count(), entries + (taken ? 1 : 0));
    if (taken) {
        QCOMPARE(m_form->cboAddress->itemText(entries), text);
        QVERIFY(!message->isVisible());
    } else {
        QVERIFY(message->isVisible());
        QVERIFY(message->text().startsWith("Cannot open"));
        QVERIFY(message->text().size() < 400); // a report, not the megabyte
    }
    // Whatever it was, the engine comes to rest, and then loads a page as usual.
    QTRY_VERIFY_WITH_TIMEOUT(!m_engine->Busy(), 15000);
    QSignalSpy completed(m_engine, &WebBrowser::DownloadComplete);
    QVERIFY(m_engine->Navigate(m_server.url("/page.html").toString()));
    QTRY_VERIFY_WITH_TIMEOUT(completed.count() >= 1 && !m_engine->Busy(), 15000);
    QCOMPARE(m_engine->LocationName(), QStringLiteral("Page"));
}

VELT_ENGINE_TEST_MAIN(tst_HostileInput)
#include "tst_hostileinput.moc"
