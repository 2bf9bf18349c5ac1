#include "engine/downloads.h"
#include "engine/engineprocess.h"
#include "engine/qtwebbrowser.h"
#include "fakes/fakepageservices.h"
#include "pagedialogs.h"

#include <QApplication>
#include <QDirIterator>
#include <QLabel>
#include <QLineEdit>
#include <QProcess>
#include <QPushButton>
#include <QSignalSpy>
#include <QSslKey>
#include <QSslServer>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTest>
#include <QWebEngineView>

// A server on 127.0.0.1, plain or TLS, that answers each request with `reply`.
class Site : public QObject
{
public:
    std::function<void(QTcpSocket *, const QByteArray &path, const QByteArray &request)> reply;
    QStringList requests;

    explicit Site(QTcpServer *server) : m_server(server)
    {
        server->setParent(this);
        server->listen(QHostAddress::LocalHost, 0);
        connect(server, &QTcpServer::pendingConnectionAvailable, this, [this] {
            while (QTcpSocket *socket = m_server->nextPendingConnection()) {
                connect(socket, &QTcpSocket::readyRead, this, [this, socket] {
                    QByteArray &request = m_buffers[socket];
                    request += socket->readAll();
                    if (!request.contains("\r\n\r\n"))
                        return;
                    const QByteArray path = request.split(' ').value(1);
                    requests << QString::fromLatin1(path);
                    reply(socket, path, m_buffers.take(socket));
                });
            }
        });
    }
    QString url(const QString &path) const
    {
        return QStringLiteral("%1://127.0.0.1:%2%3")
                .arg(qobject_cast<QSslServer *>(m_server) ? "https" : "http")
                .arg(m_server->serverPort())
                .arg(path);
    }
    static void send(QTcpSocket *socket, const QByteArray &status, const QByteArray &headers,
                     const QByteArray &body, qint64 announced = -1)
    {
        socket->write("HTTP/1.1 " + status + "\r\nConnection: close\r\nContent-Length: "
                      + QByteArray::number(announced < 0 ? body.size() : announced) + "\r\n"
                      + headers + "\r\n" + body);
        if (announced < 0)
            socket->disconnectFromHost();
    }

private:
    QTcpServer *m_server;
    QHash<QTcpSocket *, QByteArray> m_buffers;
};

class tst_PageAnswers : public QObject
{
    Q_OBJECT
public:
    explicit tst_PageAnswers(QString home) : m_home(std::move(home)) {}

private slots:
    void initTestCase();
    void init();
    void cleanup();
    void cleanupTestCase();

    void login_data();
    void login();
    void downloads_data();
    void downloads();
    void safeFileName_data();
    void safeFileName();
    void certificate_data();
    void certificate();
    void printToPdf_data();
    void printToPdf();
    void permissions_data();
    void permissions();
    void dialogsShowHostileTextPlainAndShort_data();
    void dialogsShowHostileTextPlainAndShort();

private:
    QWebEnginePage *page() const { return m_browser->findChild<QWebEngineView *>()->page(); }
    QString pageText() const;
    QString run(const QString &script) const;
    bool load(const QString &url);

    QString m_home;
    QTemporaryDir m_dir;
    QByteArray m_file;
    Site m_site{new QTcpServer};
    Site m_tls{new QSslServer};
    QList<QPointer<QTcpSocket>> m_held;
    FakePageServices m_services;
    QtWebBrowser *m_browser = nullptr;
};

void tst_PageAnswers::initTestCase()
{
    for (int i = 0; i < 1 << 20; ++i)
        m_file += char(i * 7 % 251);
    const QByteArray page = "<html><head><title>Page</title></head><body>page text</body></html>";
    m_site.reply = [this, page](QTcpSocket *socket, const QByteArray &path, const QByteArray &request) {
        const QByteArray attachment = "Content-Type: application/octet-stream\r\n"
                                      "Content-Disposition: attachment; filename=\"data.bin\"\r\n";
        if (path == "/auth" && request.contains("Authorization: Basic " + QByteArray("ann:right").toBase64()))
            Site::send(socket, "200 OK", "Content-Type: text/html\r\n", "secret page");
        else if (path == "/auth")
            Site::send(socket, "401 Unauthorized", "WWW-Authenticate: Basic realm=\"<b>Staff</b> only\"\r\n"
                       "Content-Type: text/html\r\n", "server refusal text");
        else if (path == "/file")
            Site::send(socket, "200 OK", attachment, m_file);
        else if (path == "/hostile")
            Site::send(socket, "200 OK", "Content-Disposition: attachment; filename=\"../../x\"\r\n", "x");
        else if (path == "/half") { // breaks off, every time the engine tries again
            Site::send(socket, "200 OK", attachment, m_file.left(300000), m_file.size());
            socket->disconnectFromHost();
        }
        else if (path == "/slow") { // held open until the test ends
            m_held << socket;
            Site::send(socket, "200 OK", attachment, m_file.left(100000), m_file.size());
        } else
            Site::send(socket, "200 OK", "Content-Type: text/html\r\n", page);
    };
    m_tls.reply = [](QTcpSocket *socket, const QByteArray &, const QByteArray &) {
        Site::send(socket, "200 OK", "Content-Type: text/html\r\n", "tls secret");
    };
    // A self-signed certificate made here, for this run only.
    QProcess openssl;
    openssl.start("openssl", {"req", "-x509", "-newkey", "rsa:2048", "-nodes", "-days", "1", "-subj",
                              "/CN=127.0.0.1", "-keyout", m_dir.filePath("key.pem"), "-out",
                              m_dir.filePath("cert.pem")});
    QVERIFY2(openssl.waitForFinished(30000) && openssl.exitCode() == 0, "the openssl command is needed");
    QFile cert(m_dir.filePath("cert.pem")), key(m_dir.filePath("key.pem"));
    QVERIFY(cert.open(QIODevice::ReadOnly) && key.open(QIODevice::ReadOnly));
    QSslConfiguration tls = QSslConfiguration::defaultConfiguration();
    tls.setLocalCertificate(QSslCertificate(&cert));
    tls.setPrivateKey(QSslKey(&key, QSsl::Rsa));
    static_cast<QSslServer *>(m_tls.findChild<QTcpServer *>())->setSslConfiguration(tls);
}

void tst_PageAnswers::init()
{
    m_services = FakePageServices();
    m_site.requests.clear();
    m_tls.requests.clear();
    m_browser = new QtWebBrowser(nullptr, &m_services);
    m_browser->resize(640, 385);
    m_browser->show();
    QVERIFY(QTest::qWaitForWindowExposed(m_browser));
}

void tst_PageAnswers::cleanup()
{
    delete m_browser;
    for (const QPointer<QTcpSocket> &socket : std::as_const(m_held))
        if (socket)
            socket->abort();
    m_held.clear();
    for (const QString &name : QDir(m_dir.path()).entryList(QDir::Files))
        if (!name.endsWith(".pem"))
            QFile::remove(m_dir.filePath(name));
}

void tst_PageAnswers::cleanupTestCase()
{
    // Nothing under HOME but the (empty) download folder: no login, no partial file.
    // (.pki is the engine's own certificate store, made by its first TLS connection.)
    QStringList written;
    QDirIterator files(m_home, QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot,
                       QDirIterator::Subdirectories);
    while (files.hasNext())
        if (const QString path = files.next().mid(m_home.size()); !path.startsWith("/.pki"))
            written << path;
    QVERIFY2(written == QStringList{"/Downloads"}, qPrintable(written.join(", ")));
}

QString tst_PageAnswers::pageText() const
{
    QString text;
    bool done = false;
    page()->toPlainText([&](const QString &t) { text = t, done = true; });
    return QTest::qWaitFor([&] { return done; }, 10000) ? text : QStringLiteral("(no answer)");
}

QString tst_PageAnswers::run(const QString &script) const
{
    QVariant result;
    bool done = false;
    page()->runJavaScript(script, 0, [&](const QVariant &v) { result = v, done = true; });
    return QTest::qWaitFor([&] { return done; }, 10000) ? result.toString() : QStringLiteral("(no answer)");
}

bool tst_PageAnswers::load(const QString &url)
{
    QSignalSpy ended(m_browser, &WebBrowser::DownloadComplete);
    return m_browser->Navigate(url) && ended.wait(20000);
}

void tst_PageAnswers::login_data()
{
    QTest::addColumn<QStringList>("answers"); // user:password, in turn; then Cancel
    QTest::addColumn<QString>("shown");
    QTest::addColumn<QString>("failedFlags"); // the question's "last attempt failed", in turn
    QTest::newRow("right password") << QStringList{"ann:right"} << "secret page" << "0";
    QTest::newRow("cancel") << QStringList{} << "server refusal text" << "0";
    QTest::newRow("wrong, then right") << QStringList{"ann:wrong", "ann:right"} << "secret page" << "01";
    QTest::newRow("wrong, then cancel") << QStringList{"ann:wrong"} << "server refusal text" << "01";
}

void tst_PageAnswers::login()
{
    QFETCH(QStringList, answers);
    QFETCH(QString, shown);
    QFETCH(QString, failedFlags);
    for (const QString &answer : answers)
        m_services.logins.push_back(Login{answer.section(':', 0, 0), answer.section(':', 1)});
    QVERIFY(load(m_site.url("/auth")));
    QTRY_COMPARE(pageText(), shown);
    QStringList expected;
    const QString host = QUrl(m_site.url("/")).authority();
    for (const QChar failed : failedFlags)
        expected << QStringLiteral("login %1|<b>Staff</b> only|%2").arg(host, failed);
    QCOMPARE(m_services.asked, expected);
}

enum class Act { Save, CancelDialog, Offline, CancelInWindow, GoOffline, SavePage };
Q_DECLARE_METATYPE(Act)

void tst_PageAnswers::downloads_data()
{
    QTest::addColumn<QString>("path");
    QTest::addColumn<Act>("act");
    QTest::addColumn<QString>("proposed"); // the name the save dialog proposes
    QTest::addColumn<QString>("state");    // in the Downloads window; "" when none is listed
    QTest::newRow("saved") << "/file" << Act::Save << "data.bin" << "Done";
    QTest::newRow("hostile name") << "/hostile" << Act::Save << "x" << "Done";
    QTest::newRow("save page") << "/page" << Act::SavePage << "" << "Done";
    QTest::newRow("dialog cancelled") << "/file" << Act::CancelDialog << "data.bin" << "";
    QTest::newRow("server breaks off") << "/half" << Act::Save << "data.bin"
                                       << "Failed: the server broke off the transfer";
    QTest::newRow("offline") << "/file" << Act::Offline << "" << "";
    QTest::newRow("cancelled in the window") << "/slow" << Act::CancelInWindow << "data.bin" << "Cancelled";
    QTest::newRow("going offline") << "/slow" << Act::GoOffline << "data.bin"
                                   << "Cancelled: the browser went offline";
}

void tst_PageAnswers::downloads()
{
    QFETCH(QString, path);
    QFETCH(Act, act);
    QFETCH(QString, proposed);
    QFETCH(QString, state);
    const QString target = m_dir.filePath("saved.bin");
    m_services.saveTo = act == Act::CancelDialog ? QString() : target;
    m_browser->setOffline(act == Act::Offline);
    QVERIFY(load(m_site.url(path)));
    if (act == Act::SavePage)
        page()->triggerAction(QWebEnginePage::SavePage);
    if (act == Act::Offline) {
        QCOMPARE(m_site.requests, QStringList());
        QCOMPARE(m_services.asked, QStringList());
    } else {
        QTRY_COMPARE(m_services.asked.size(), 1);
    }
    const QString dialogDir = QStandardPaths::writableLocation(QStandardPaths::DownloadLocation);
    if (!proposed.isEmpty())
        QCOMPARE(m_services.asked, QStringList{"save " + QDir(dialogDir).filePath(proposed)});
    const auto window = [] {
        for (QWidget *w : QApplication::topLevelWidgets())
            if (auto *downloads = qobject_cast<DownloadsWindow *>(w))
                return downloads;
        return static_cast<DownloadsWindow *>(nullptr);
    };
    if (act == Act::CancelInWindow || act == Act::GoOffline) {
        QTRY_VERIFY(window() && window()->text(0, 2) == "Running");
        window()->select(0);
        if (act == Act::GoOffline)
            m_browser->setOffline(true);
        else
            window()->findChild<QPushButton *>("cancelDownload")->click();
    }
    if (!state.isEmpty())
        QTRY_COMPARE(window() ? window()->text(0, 2) : QString(), state);
    QStringList files = QDir(m_dir.path()).entryList(QDir::Files);
    files.removeAll("cert.pem"), files.removeAll("key.pem");
    QCOMPARE(files, state == "Done" ? QStringList{"saved.bin"} : QStringList());
    QFile saved(target);
    if (act == Act::Save && state == "Done" && saved.open(QIODevice::ReadOnly))
        QCOMPARE(saved.readAll(), path == "/file" ? m_file : QByteArray("x"));
    if (act == Act::SavePage && saved.open(QIODevice::ReadOnly))
        QVERIFY(saved.readAll().contains("page text"));
}

void tst_PageAnswers::safeFileName_data()
{
    QTest::addColumn<QString>("suggested");
    QTest::addColumn<QString>("expected"); // "" when only the rules are checked
    QTest::newRow("climbs out") << "../../x" << "x";
    QTest::newRow("backslashes") << "..\\..\\win.ini" << "win.ini";
    QTest::newRow("hidden file") << ".bashrc" << "bashrc";
    QTest::newRow("dot dot") << ".." << "download";
    QTest::newRow("empty") << "" << "download";
    QTest::newRow("line break") << "a\nb.txt" << "ab.txt";
    QTest::newRow("direction override") << QString::fromUtf8("evil\u202Etxt.exe") << "eviltxt.exe";
    QTest::newRow("300 characters") << QString(296, 'y') + ".txt" << "";
    QTest::newRow("300 wide characters") << QString(300, QChar(0x4E2D)) << "";
}

void tst_PageAnswers::safeFileName()
{
    QFETCH(QString, suggested);
    QFETCH(QString, expected);
    const QString name = Downloads::safeFileName(suggested);
    if (!expected.isEmpty())
        QCOMPARE(name, expected);
    QVERIFY(!name.isEmpty() && !name.startsWith('.') && !name.contains('/') && !name.contains('\\'));
    QVERIFY(name.toUtf8().size() <= 255); // what a file system takes
    for (const QChar c : name)
        QVERIFY(c.category() != QChar::Other_Control && c.category() != QChar::Other_Format);
    if (suggested.endsWith(".txt"))
        QVERIFY(name.endsWith(".txt"));
}

void tst_PageAnswers::certificate_data()
{
    QTest::addColumn<bool>("proceed");
    QTest::newRow("go back") << false;
    QTest::newRow("continue") << true;
}

void tst_PageAnswers::certificate()
{
    QFETCH(bool, proceed);
    m_services.proceed = proceed;
    const QString host = QUrl(m_tls.url("/")).authority();
    const QString question = "certificate " + host + "|it is not issued by anyone this computer trusts|1";
    QVERIFY(load(m_tls.url("/")));
    QCOMPARE(m_services.asked, QStringList{question});
    auto *notice = m_browser->findChild<QLabel *>("certificateNotice");
    if (!proceed) {
        QCOMPARE(m_tls.requests, QStringList());
        QVERIFY(notice && notice->isVisible());
        QVERIFY(notice->text().contains(host) && notice->text().contains("not issued by anyone"));
        QVERIFY(!pageText().contains("tls secret"));
        return;
    }
    QCOMPARE(pageText(), "tls secret");
    QVERIFY(!notice || !notice->isVisible());
    QVERIFY(load(m_tls.url("/again")));
    QCOMPARE(m_services.asked.size(), 1); // for this session
    delete m_browser; // a new session asks again
    m_browser = new QtWebBrowser(nullptr, &m_services);
    m_browser->show();
    QVERIFY(load(m_tls.url("/")));
    QCOMPARE(m_services.asked, QStringList({question, question}));
}

void tst_PageAnswers::printToPdf_data()
{
    QTest::addColumn<bool>("chosen");
    QTest::newRow("printed to a PDF file") << true;
    QTest::newRow("print dialog cancelled") << false;
}

void tst_PageAnswers::printToPdf()
{
    QFETCH(bool, chosen);
    m_services.pdfFile = chosen ? m_dir.filePath("page.pdf") : QString();
    QVERIFY(load(m_site.url("/page")));
    run("window.print()");
    QTRY_COMPARE(m_services.asked, QStringList{"print"});
    if (!chosen) {
        QTest::qWait(500); // a print that should not come would come now
        QVERIFY(!QFile::exists(m_dir.filePath("page.pdf")));
        return;
    }
    QTRY_VERIFY(QFileInfo(m_dir.filePath("page.pdf")).size() > 0);
    QProcess text;
    text.start("pdftotext", {m_dir.filePath("page.pdf"), "-"});
    QVERIFY2(text.waitForFinished(20000), "pdftotext (poppler-utils) is needed");
    QVERIFY(text.readAllStandardOutput().contains("page text"));
    QCOMPARE(m_services.told, QStringList());
}

void tst_PageAnswers::permissions_data()
{
    QTest::addColumn<QString>("script"); // sets the page's title to what the page was told
    QTest::addColumn<bool>("allow");
    QTest::addColumn<QString>("told");
    QTest::addColumn<QString>("question");
    const QString notify = "Notification.requestPermission().then(p => { document.title = p;"
                           " if (p == 'granted') new Notification('Hi <b>you</b>', {body: 'news'}); })";
    const QString locate = "navigator.geolocation.getCurrentPosition(() => document.title = 'located',"
                           " e => document.title = 'error ' + e.code)";
    QTest::newRow("notifications allowed") << notify << true << "granted" << "show notifications";
    QTest::newRow("notifications denied") << notify << false << "denied" << "show notifications";
    QTest::newRow("location denied") << locate << false << "error 1" << "know your location";
}

void tst_PageAnswers::permissions()
{
    QFETCH(QString, script);
    QFETCH(bool, allow);
    QFETCH(QString, told);
    QFETCH(QString, question);
    m_services.allow = allow;
    QVERIFY(load(m_site.url("/page")));
    const QString origin = m_site.url("");
    for (int round = 0; round < 2; ++round) { // the second time, the session's answer holds
        run("document.title = 'asking'; " + script);
        QTRY_COMPARE(page()->title(), told);
        QCOMPARE(m_services.asked, QStringList{"permission " + origin + " " + question});
    }
    const QString shown = origin + "|Hi <b>you</b>|news";
    QTRY_COMPARE(m_services.notifications, allow ? QStringList({shown, shown}) : QStringList());
}

void tst_PageAnswers::dialogsShowHostileTextPlainAndShort_data()
{
    QTest::addColumn<QWidget *>("dialog");
    const QString hostile = "<b>Bank</b>\n<img src=x>" + QString(300, 'A');
    QTest::newRow("login") << static_cast<QWidget *>(new LoginDialog(nullptr, {hostile, hostile, false, true}));
    QTest::newRow("certificate") << static_cast<QWidget *>(new CertificateDialog(nullptr, {hostile, "it has expired", true}));
    QTest::newRow("permission") << static_cast<QWidget *>(new PermissionPrompt(hostile, "see your screen", [](bool) {}));
    QTest::newRow("notification") << static_cast<QWidget *>(new NotificationPopup(hostile, hostile, hostile));
}

void tst_PageAnswers::dialogsShowHostileTextPlainAndShort()
{
    QFETCH(QWidget *, dialog);
    std::unique_ptr<QWidget> owner(dialog);
    bool markupShown = false;
    for (const QLabel *label : dialog->findChildren<QLabel *>()) {
        QCOMPARE(label->textFormat(), Qt::PlainText);
        QVERIFY2(label->text().size() < 160 && !label->text().contains('\n'), qPrintable(label->text()));
        markupShown |= label->text().contains("<b>Bank</b> <img src=x>AAA");
    }
    QVERIFY(markupShown);
    QVERIFY(dialog->windowModality() != Qt::ApplicationModal);
    for (const QLineEdit *edit : dialog->findChildren<QLineEdit *>())
        QCOMPARE(edit->echoMode() == QLineEdit::Password, edit == dialog->findChildren<QLineEdit *>().last());
}

int main(int argc, char *argv[])
{
    // A home of the test's own, to see that nothing is written there.
    QTemporaryDir home;
    qputenv("HOME", home.path().toLocal8Bit());
    for (const char *name : {"XDG_CONFIG_HOME", "XDG_CACHE_HOME", "XDG_DATA_HOME", "XDG_STATE_HOME"})
        qunsetenv(name);
    QDir(home.path()).mkdir("Downloads");
    prepareEngineProcess();
    QApplication app(argc, argv);
    tst_PageAnswers test(home.path());
    QTEST_SET_MAIN_SOURCE_PATH
    return QTest::qExec(&test, argc, argv);
}

#include "tst_pageanswers.moc"
