#include "desktopplatform.h"
#include "engine/host/engineprocess.h"
#include "engine/qt/downloads.h"
#include "engine/qt/pageaccessibility.h"
#include "engine/qt/pageanswers.h"
#include "engine/qt/qtwebbrowser.h"
#include "enginetestmain.h"
#include "fakes/fakepageservices.h"
#include "fixture.h"
#include "pagewindows/pagedialogs.h"
#include "httpserver.h"
#include "testsession.h"

#include <QAccessible>
#include <QApplication>
#include <QBuffer>
#include <QDialog>
#include <QDirIterator>
#include <QLabel>
#include <QLineEdit>
#include <QPainter>
#include <QPdfWriter>
#include <QProcess>
#include <QPushButton>
#include <QScreen>
#include <QSslKey>
#include <QSslServer>
#include <QTimer>
#include <QWebEngineView>

enum class Act { SaveAsProposed, Save, CancelDialog, CancelInWindow, GoOffline, SavePage, Show };

// A download: what is asked for, how the user acts, the name the save dialog proposes, and its state in the
// Downloads window ("" when none is listed).
struct Download { QString path; Act act; QString proposed, state; };

// Logins as "user:password", in turn, then Cancel; the page then shown; each question's "the last attempt failed".
struct Answers { QStringList answers; QString shown, failedFlags; };

enum class Leave { Esc, ByPage, WindowManager, Navigation, Exit };

// What pages ask, answered by a fake user, against the real engine on a real X server.
class tst_PageAnswers : public QObject
{
    Q_OBJECT
    QWebEnginePage *page() const { return m_browser->findChild<QWebEngineView *>()->page(); }
    QString js(const QString &script) const { return ::js(page(), script); }
    bool load(const QUrl &url) const { return loads(m_browser, url); }
    // Whether the window manager has made `window` its active window, which may come after Qt gave it the focus:
    // until then, the window manager's close key closes the window it had active before.
    static bool isActiveToWindowManager(const QWidget *window)
    {
        QProcess x;
        x.start("xdotool", {"getactivewindow"});
        return x.waitForFinished() && window && x.readAllStandardOutput().trimmed() == QByteArray::number(window->winId());
    }

    QTemporaryDir m_dir;
    QByteArray m_file;
    QByteArray m_pdf;
    HttpServer m_site;
    HttpServer m_tls{new QSslServer};
    QList<QPointer<QTcpSocket>> m_held;
    QStringList m_savedInHome; // by the row, as the user asked
    int m_tlsHits = 0;
    FakePageServices m_services;
    QPointer<QtWebBrowser> m_browser; // null once a window it was given to has gone

private slots:
    void initTestCase()
    {
        for (int i = 0; i < 1 << 20; ++i)
            m_file += char(i * 7 % 251);
        QBuffer pdf(&m_pdf);
        pdf.open(QIODevice::WriteOnly);
        QPdfWriter writer(&pdf);
        QPainter(&writer).drawText(QPoint(500, 500), "pdf text");
        m_site.reply = [this](QTcpSocket *socket, const QString &path, const QByteArray &request) {
            const QByteArray file = "Content-Disposition: attachment; filename=\"data.bin\"\r\n";
            if (path == "/auth" && request.contains("Authorization: Basic " + QByteArray("ann:right").toBase64()))
                HttpServer::send(socket, "200 OK", "", "secret page");
            else if (path == "/auth")
                HttpServer::send(socket, "401 Unauthorized", "WWW-Authenticate: Basic realm=\"<b>Staff</b> only\"\r\n",
                           "server refusal text");
            else if (path == "/file")
                HttpServer::send(socket, "200 OK", file, m_file);
            else if (path.endsWith(".pdf")) // shown, or saved when sent as an attachment
                HttpServer::send(socket, "200 OK", QByteArray("Content-Type: application/pdf\r\n") + (path == "/doc.pdf" ? ""
                                 : "Content-Disposition: attachment; filename=\"doc.pdf\"\r\n"), m_pdf);
            else if (path == "/hostile")
                HttpServer::send(socket, "200 OK", "Content-Disposition: attachment; filename=\"../../x\"\r\n", "x");
            else if (path == "/half") { // breaks off, every time the engine tries again
                HttpServer::send(socket, "200 OK", file, m_file.left(300000), m_file.size());
                socket->disconnectFromHost();
            } else if (path == "/slow") { // held open until the test ends
                m_held << socket;
                HttpServer::send(socket, "200 OK", file, m_file.left(100000), m_file.size());
            } else
                HttpServer::send(socket, "200 OK", "Content-Type: text/html\r\n",
                           "<html><head><title>Page</title></head><body style='margin:0'>page text<button "
                           "style='width:100%;height:90vh' onclick='document.body.requestFullscreen()'>go"
                           "</button><script>document.onfullscreenchange = () => document.title = "
                           "document.fullscreenElement ? 'full' : 'normal';</script></body></html>");
        };
        m_tls.reply = [](QTcpSocket *socket, const QString &, const QByteArray &) {
            HttpServer::send(socket, "200 OK", "", "tls secret");
        };
        // A self-signed certificate made here, for this run only.
        QProcess openssl;
        openssl.start("openssl", {"req", "-x509", "-newkey", "rsa:2048", "-nodes", "-days", "1", "-subj",
                                  "/CN=127.0.0.1", "-keyout", m_dir.filePath("key"), "-out", m_dir.filePath("cert")});
        QVERIFY2(openssl.waitForFinished(30000) && openssl.exitCode() == 0, "the openssl command is needed");
        QFile cert(m_dir.filePath("cert")), key(m_dir.filePath("key"));
        QVERIFY(cert.open(QIODevice::ReadOnly) && key.open(QIODevice::ReadOnly));
        QSslConfiguration tls = QSslConfiguration::defaultConfiguration();
        tls.setLocalCertificate(QSslCertificate(&cert));
        tls.setPrivateKey(QSslKey(&key, QSsl::Rsa));
        static_cast<QSslServer *>(m_tls.server())->setSslConfiguration(tls);
        QFile::remove(cert.fileName()), QFile::remove(key.fileName());
    }

    void init()
    {
        m_services = FakePageServices();
        m_tlsHits = m_tls.totalHits();
        m_browser = new QtWebBrowser(nullptr, &m_services);
        m_browser->resize(640, 385);
        m_browser->show();
    }

    void cleanup()
    {
        delete m_browser;
        for (const QPointer<QTcpSocket> &socket : std::as_const(m_held))
            if (socket)
                socket->abort();
        m_held.clear();
        for (const QString &name : QDir(m_dir.path()).entryList(QDir::Files))
            QFile::remove(m_dir.filePath(name));
        // Nothing under HOME but the download folder and what the row saved there (no login, partial file or dialog
        // state; .pki is the engine's certificate store). All else goes, so that each row begins on an empty home.
        const QString home = QDir::homePath();
        QStringList written;
        for (QDirIterator files(home, QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot,
                                QDirIterator::Subdirectories); files.hasNext();)
            if (const QString path = files.next().mid(home.size()); !path.startsWith("/.pki"))
                written << path;
        for (const QString &path : std::as_const(written))
            (void)(QFile::remove(home + path) || QDir(home + path).removeRecursively());
        written.removeOne("/Downloads");
        QVERIFY2(written == std::exchange(m_savedInHome, {}), qPrintable("written under HOME: " + written.join(", ")));
    }

    void login_data()
    {
        QTest::addColumn<Answers>("login");
        QTest::newRow("right password") << Answers{{"ann:right"}, "secret page", "0"};
        QTest::newRow("cancel") << Answers{{}, "server refusal text", "0"};
        QTest::newRow("wrong, then right") << Answers{{"ann:wrong", "ann:right"}, "secret page", "01"};
    }

    void login()
    {
        QFETCH(Answers, login);
        const auto &[answers, shown, failedFlags] = login;
        for (const QString &answer : answers)
            m_services.logins.push_back(Login{answer.section(':', 0, 0), answer.section(':', 1)});
        QVERIFY(load(m_site.url("/auth")));
        QTRY_COMPARE_WITH_TIMEOUT(js("document.body.innerText"), shown, kEngineWaitMs);
        QStringList expected;
        for (const QChar failed : failedFlags)
            expected << QStringLiteral("login %1|<b>Staff</b> only|%2").arg(m_site.url("").authority(), failed);
        QCOMPARE(m_services.asked, expected);
    }

    void downloads_data()
    {
        QTest::addColumn<Download>("download");
        QTest::newRow("saved as proposed") << Download{"/file", Act::SaveAsProposed, "data.bin", "Done"};
        QTest::newRow("saved") << Download{"/file", Act::Save, "data.bin", "Done"};
        QTest::newRow("hostile name") << Download{"/hostile", Act::Save, "x", "Done"};
        QTest::newRow("save page") << Download{"/page", Act::SavePage, "", "Done"};
        QTest::newRow("PDF shown in the page") << Download{"/doc.pdf", Act::Show, "", ""};
        QTest::newRow("PDF shown, then saved") << Download{"/doc.pdf", Act::SavePage, "doc.pdf", "Done"};
        QTest::newRow("PDF sent as an attachment") << Download{"/attached.pdf", Act::Save, "doc.pdf", "Done"};
        QTest::newRow("dialog cancelled") << Download{"/file", Act::CancelDialog, "data.bin", ""};
        QTest::newRow("server breaks off")
                << Download{"/half", Act::Save, "data.bin", "Failed: the server broke off the transfer"};
        QTest::newRow("cancelled in the window") << Download{"/slow", Act::CancelInWindow, "data.bin", "Cancelled"};
        QTest::newRow("going offline")
                << Download{"/slow", Act::GoOffline, "data.bin", "Cancelled: the browser went offline"};
    }

    void downloads()
    {
        QFETCH(Download, download);
        const auto &[path, act, proposed, state] = download;
        const QString target = act == Act::SaveAsProposed ? QDir::home().filePath("Downloads/" + proposed)
                                                          : m_dir.filePath("saved.bin");
        m_services.saveTo = act == Act::CancelDialog ? QString() : target;
        m_savedInHome = act == Act::SaveAsProposed ? QStringList{"/Downloads/" + proposed} : QStringList();
        QVERIFY(load(m_site.url(path)));
        if (path == "/doc.pdf") { // in the engine's viewer, at the document's own address
            QCOMPARE(js("document.querySelector('embed').type"), "application/pdf");
            QCOMPARE(m_browser->LocationURL(), m_site.url(path).toString());
        }
        if (act == Act::SavePage)
            page()->triggerAction(QWebEnginePage::SavePage);
        QTRY_COMPARE_WITH_TIMEOUT(m_services.asked.size(), act == Act::Show ? 0 : 1, kEngineWaitMs);
        if (!proposed.isEmpty())
            QCOMPARE(m_services.asked, QStringList{"save " + QDir::home().filePath("Downloads/" + proposed)});
        DownloadsWindow *window = nullptr;
        const auto shown = [&](int column) {
            for (QWidget *w : QApplication::topLevelWidgets())
                if ((window = qobject_cast<DownloadsWindow *>(w)))
                    return window->text(0, column);
            return QString();
        };
        if (act == Act::CancelInWindow || act == Act::GoOffline) {
            QTRY_COMPARE_WITH_TIMEOUT(shown(2), "Running", kEngineWaitMs);
            window->select(0);
            if (act == Act::GoOffline)
                m_browser->setOffline(true);
            else
                window->findChild<QPushButton *>("cancelDownload")->click();
        }
        if (!state.isEmpty())
            QTRY_COMPARE_WITH_TIMEOUT(shown(2), state, kEngineWaitMs);
        // The engine takes the part of a cancelled download away a moment after it says so.
        QTRY_COMPARE_WITH_TIMEOUT(QDir(m_dir.path()).entryList(QDir::Files),
                                  state == "Done" && act != Act::SaveAsProposed ? QStringList{"saved.bin"} : QStringList(),
                                  kEngineWaitMs);
        QFile saved(target);
        if (act <= Act::Save && state == "Done" && saved.open(QIODevice::ReadOnly))
            QCOMPARE(saved.readAll(), path == "/file" ? m_file : path.endsWith(".pdf") ? m_pdf : QByteArray("x"));
        if (act == Act::SavePage && saved.open(QIODevice::ReadOnly)) // the PDF as sent, a page quoted-printable
            QVERIFY(path == "/doc.pdf" ? saved.readAll() == m_pdf : saved.readAll().replace("=\r\n", "").contains("page text"));
    }

    void safeFileName_data()
    {
        QTest::addColumn<QString>("suggested");
        QTest::addColumn<QString>("expected"); // "" when only the rules are checked
        QTest::newRow("backslashes") << "..\\..\\win.ini" << "win.ini";
        QTest::newRow("hidden file") << ".bashrc" << "bashrc";
        QTest::newRow("empty") << "" << "download";
        QTest::newRow("direction override") << QString::fromUtf8("evil\u202Etxt.exe") << "eviltxt.exe";
        QTest::newRow("300 characters") << QString(296, 'y') + ".txt" << "";
        QTest::newRow("300 wide characters") << QString(300, QChar(0x4E2D)) << "";
    }

    void safeFileName()
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
        QCOMPARE(name.endsWith(".txt"), suggested.endsWith(".txt"));
    }

    void certificate_data()
    {
        QTest::addColumn<bool>("proceed");
        QTest::newRow("go back") << false;
        QTest::newRow("continue") << true;
    }

    void certificate()
    {
        QFETCH(bool, proceed);
        m_services.proceed = proceed;
        const QString host = m_tls.url("").authority();
        const QString question = "certificate " + host + "|it is not issued by anyone this computer trusts|1";
        QVERIFY(load(m_tls.url("/")));
        QCOMPARE(m_services.asked, QStringList{question});
        auto *notice = m_browser->findChild<QLabel *>("certificateNotice");
        QCOMPARE(notice && notice->isVisible(), !proceed);
        QCOMPARE(js("document.body.innerText").contains("tls secret"), proceed);
        if (!proceed) {
            QCOMPARE(m_tls.totalHits(), m_tlsHits);
            QVERIFY(notice->text().contains(host) && notice->text().contains("not issued by anyone"));
            return;
        }
        QVERIFY(load(m_tls.url("/again")));
        QCOMPARE(m_services.asked.size(), 1); // for this session
        delete m_browser; // a new session asks again
        m_browser = new QtWebBrowser(nullptr, &m_services);
        QVERIFY(load(m_tls.url("/")));
        QCOMPARE(m_services.asked, QStringList({question, question}));
    }

    void printToPdf()
    {
        m_services.pdfFile = m_dir.filePath("page.pdf");
        QVERIFY(load(m_site.url("/page")));
        js("window.print()");
        QTRY_VERIFY_WITH_TIMEOUT(m_browser->findChild<PageAnswers *>()->printing(), kEngineWaitMs);
        delete m_browser; // closed while the engine prints: the file is still written whole
        QCOMPARE(m_services.asked, QStringList{"print"});
        QProcess text;
        text.start("pdftotext", {m_services.pdfFile, "-"});
        QVERIFY2(text.waitForFinished(20000), "pdftotext (poppler-utils) is needed");
        QVERIFY(text.readAllStandardOutput().contains("page text"));
    }

    void realPrompt_data()
    {
        QTest::addColumn<QString>("dismissed");
        QTest::newRow("window manager") << "window manager";
        QTest::newRow("Esc") << "Esc";
    }

    // The real prompt: an answer holds for its site and feature only, and a prompt left
    // unanswered denies.
    void realPrompt()
    {
        QFETCH(QString, dismissed);
        PageDialogs dialogs;
        FakePlatform platform;
        delete m_browser;
        Form1 form(m_browser = new QtWebBrowser(nullptr, &dialogs), platform);
        form.Form_Load();
        HttpServer other;
        other.setPage("/", "<title>Other</title>");
        const auto ask = [this](const QString &script) {
            QPointer<QWidget> prompt;
            page()->runJavaScript("document.title = 'asking'; " + script);
            (void)QTest::qWaitFor([&] { return bool(prompt = m_browser->window()->findChild<PermissionPrompt *>()); }, 20000);
            return prompt;
        };
        const auto dismiss = [&](QPointer<QWidget> prompt) {
            // A real key, once the window manager has the prompt active (else the close key would close the main
            // window, and hide the page), and again only if the prompt stays.
            const auto closed = [&] {
                prompt->activateWindow();
                return QTest::qWaitFor([&] { return isActiveToWindowManager(prompt); }, kEngineWaitMs)
                        && !QProcess::execute("xdotool", {"key", dismissed == "Esc" ? "Escape" : "alt+F4"})
                        && QTest::qWaitFor([&] { return !prompt; }, kEngineWaitMs);
            };
            QTRY_VERIFY_WITH_TIMEOUT(!prompt || closed(), 3 * kEngineWaitMs);
            QVERIFY(form.isVisible() && platform.calls.isEmpty());
        };
        QVERIFY(load(m_site.url("/page")));
        QPointer<QWidget> prompt = ask("Notification.requestPermission().then(p => document.title = p)");
        QVERIFY(prompt);
        for (QPushButton *button : prompt->findChildren<QPushButton *>())
            if (button->text() == "Allow")
                button->click();
        QTRY_COMPARE_WITH_TIMEOUT(page()->title(), "granted", kEngineWaitMs);
        prompt = ask("navigator.geolocation.getCurrentPosition(() => document.title = 'located',"
                     " e => document.title = 'error ' + e.code)"); // another feature of the same site
        QVERIFY(prompt && std::ranges::any_of(prompt->findChildren<QLabel *>(),
                                              [](QLabel *l) { return l->text().endsWith(" wants to know your location."); }));
        dismiss(prompt);
        QTRY_COMPARE_WITH_TIMEOUT(page()->title(), "error 1", kEngineWaitMs);
        QVERIFY(load(other.url("/"))); // the same feature of another site
        prompt = ask("Notification.requestPermission().then(p => document.title = p)");
        QVERIFY(prompt);
        dismiss(prompt);
        QTRY_COMPARE_WITH_TIMEOUT(page()->title(), "denied", kEngineWaitMs);
    }

    void placement_data()
    {
        QTest::addColumn<QString>("window");
        for (const char *window : {"permission", "downloads", "login", "save", "print", "notifications", "open"})
            QTest::newRow(window) << window;
    }

    // Each window a page brings up, owned by the main window, lies over the page area (the
    // Open command's dialog need not); Escape closes the Downloads window.
    void placement()
    {
        QFETCH(QString, window);
        FakePlatform platform;
        PageDialogs dialogs;
        delete m_browser;
        Form1 form(m_browser = new QtWebBrowser(nullptr, &m_services), platform);
        form.Form_Load();
        QVERIFY(QTest::qWaitForWindowActive(&form, kEngineWaitMs));
        QWidget *page = form.brwWebBrowser;
        QMap<QWidget *, QRect> frames;
        // Modal dialogs wait in a loop of their own: a timer notes each window once the window
        // manager has framed it, and closes the dialogs.
        QTimer look;
        connect(&look, &QTimer::timeout, &form, [&] {
            for (QWidget *w : QApplication::topLevelWidgets()) {
                if (w == &form || frames.contains(w) || !w->isVisible()
                    || (window != "open" && (w->frameGeometry() == w->geometry() || !w->windowHandle()->isExposed())))
                    continue;
                QVERIFY2(w->windowHandle()->transientParent() == form.windowHandle(), qPrintable(w->objectName()));
                frames.insert(w, w->frameGeometry());
                if (auto *dialog = qobject_cast<QDialog *>(w))
                    dialog->reject();
            }
        });
        look.start(20);
        QPrinter printer;
        const QHash<QString, std::function<void()>> open{
            {"permission", [&] { dialogs.askPermission(page, "http://a.example", "see", [](bool) {}); }},
            {"downloads", [&] { m_services.saveTo = m_dir.filePath("saved.bin"); QVERIFY(load(m_site.url("/file"))); }},
            {"login", [&] { QVERIFY(!dialogs.askLogin(page, {"a.example", "realm"})); }},
            {"save", [&] { QCOMPARE(dialogs.askSaveFile(page, QDir::home().filePath("Downloads/a.bin")), ""); }},
            {"print", [&] { dialogs.choosePrinter(page, &printer, [](bool) {}); }},
            {"notifications", [&] { dialogs.showNotification(page, "a", "b", "c"), dialogs.showNotification(page, "a", "b", "c"); }},
            {"open", [&] { QCOMPARE(DesktopPlatform().chooseFileToOpen(&form), ""); }}};
        open[window]();
        const int count = window == "notifications" ? 2 : 1;
        QTRY_COMPARE_WITH_TIMEOUT(frames.size(), count, 20000);
        const QRect area(page->mapToGlobal(QPoint()), page->size());
        QList<QRect> seen = frames.values();
        for (const QRect &frame : std::as_const(seen))
            QVERIFY2(window == "open" || area.contains(frame), QTest::toString(frame));
        if (count == 2) // apart, from the bottom-right corner
            QVERIFY(!seen[0].intersects(seen[1]) && qMax(seen[0].top(), seen[1].top()) > area.center().y()
                    && qMin(seen[0].left(), seen[1].left()) > area.center().x());
        if (window == "downloads") { // Escape closes it (and denies a permission: realPrompt)
            const QPointer<QWidget> shown = frames.firstKey();
            QVERIFY((shown->activateWindow(), QTest::qWaitForWindowActive(shown, kEngineWaitMs)));
            QTest::keyClick(shown, Qt::Key_Escape);
            QTRY_VERIFY_WITH_TIMEOUT(!shown, kEngineWaitMs);
        }
    }

    void fullScreen_data()
    {
        QTest::addColumn<Leave>("way");
        QTest::newRow("Esc") << Leave::Esc;
        QTest::newRow("the page's own exit") << Leave::ByPage;
        QTest::newRow("the window manager's close key") << Leave::WindowManager;
        QTest::newRow("a navigation") << Leave::Navigation;
        QTest::newRow("Exit") << Leave::Exit;
    }

    void fullScreen()
    {
        QFETCH(Leave, way);
        FakePlatform platform;
        delete m_browser;
        auto form = std::make_unique<Form1>(m_browser = new QtWebBrowser(nullptr, &m_services), platform);
        form->Form_Load();
        QVERIFY(load(m_site.url("/page")));
        QWebEngineView *view = m_browser->findChild<QWebEngineView *>();
        QWebEnginePage *page = view->page();
        const auto layout = [&form] {
            QStringList rows{QVariant(form->geometry()).toString()};
            for (const QWidget *w : form->findChildren<QWidget *>())
                rows << w->objectName() + QVariant(w->geometry()).toString() + QString::number(w->isVisible());
            return rows;
        };
        QVERIFY(QTest::qWaitForWindowActive(form.get(), kEngineWaitMs)); // placed by the window manager
        const QStringList before = layout();
        const auto fullWindow = [page] { return QWebEngineView::forPage(page)->window(); };

        const auto xdotool = [](const QStringList &arguments) { return QProcess::execute("xdotool", arguments) == 0; };
        const QPoint button = form->brwWebBrowser->mapToGlobal(form->brwWebBrowser->rect().center());
        // The notice, noted as it shows and is placed (it lives for seconds, which a loaded machine may spend before
        // the test looks): its window, what is read out, whether it lets clicks through, the width it tops the centre of.
        struct : QObject {
            QPointer<QWidget> notice;
            QStringList noticed;
            bool eventFilter(QObject *object, QEvent *event) override
            {
                if (object->objectName() == "fullScreenNotice" && (event->type() == QEvent::Show || event->type() == QEvent::Move)) {
                    const QWidget *window = (notice = static_cast<QWidget *>(object))->window();
                    const bool top = qAbs(notice->geometry().center().x() - window->width() / 2) <= 1 && notice->y() < 100;
                    noticed = {window->objectName(), QAccessible::queryAccessibleInterface(notice)->text(QAccessible::Name),
                               QString::number(notice->isVisible() && notice->testAttribute(Qt::WA_TransparentForMouseEvents)),
                               QString::number(top ? window->width() : -1)};
                }
                return false;
            }
        } watch;
        qApp->installEventFilter(&watch);
        // A real click (only a user may ask for full screen) once the page is drawn: the engine drops earlier ones.
        page->runJavaScript("requestAnimationFrame(() => requestAnimationFrame(() => document.title = 'drawn'))");
        QTRY_COMPARE_WITH_TIMEOUT(page->title(), "drawn", kEngineWaitMs);
        QVERIFY(xdotool({"mousemove", QString::number(button.x()), QString::number(button.y()), "click", "1"}));
        QTRY_COMPARE_WITH_TIMEOUT(page->title(), "full", kEngineWaitMs);
        QTRY_VERIFY_WITH_TIMEOUT(fullWindow() != form.get() && fullWindow()->isActiveWindow(), kEngineWaitMs);
        QCOMPARE(fullWindow()->geometry(), QApplication::primaryScreen()->geometry());
        // Told how to leave, at the top centre, read out, in no one's way; gone after a while.
        QTRY_COMPARE_WITH_TIMEOUT(watch.noticed, (QStringList{"fullScreenPage", m_site.url("").host() + " is now full screen. Press Esc to leave.",
                                                              "1", QString::number(fullWindow()->width())}), kEngineWaitMs);
        if (way == Leave::Esc)
            QTRY_VERIFY_WITH_TIMEOUT(!watch.notice, 40000);
        const QPointer<QWidget> full = fullWindow();
        switch (way) {
        case Leave::Esc:
            QVERIFY(xdotool({"key", "Escape"}));
            break;
        case Leave::ByPage:
            page->runJavaScript("document.exitFullscreen()");
            break;
        case Leave::WindowManager:
            QTRY_VERIFY_WITH_TIMEOUT(isActiveToWindowManager(full), kEngineWaitMs);
            QVERIFY(xdotool({"key", "alt+F4"}));
            break;
        case Leave::Navigation:
            QVERIFY(load(m_site.url("/next")));
            break;
        case Leave::Exit: // everything goes at once, the page still full screen
            form->Label13_Click();
            QCOMPARE(platform.calls, QStringList{"endProgram"});
            form.reset();
            QTRY_VERIFY_WITH_TIMEOUT(!full, kEngineWaitMs);
            return;
        }
        if (way != Leave::Navigation)
            QTRY_COMPARE_WITH_TIMEOUT(page->title(), "normal", kEngineWaitMs);
        QTRY_VERIFY_WITH_TIMEOUT(!full, kEngineWaitMs);
        QCOMPARE(QWebEngineView::forPage(page), view);
        QCOMPARE(view->geometry(), m_browser->rect());
        QTRY_COMPARE_WITH_TIMEOUT(layout(), before, kEngineWaitMs);
        // Under a screen reader the page is still read from the browser's window; without one (the desktop's own
        // counts), the engine keeps no tree of it.
        const bool reader = assistiveRun() || desktopAssistiveTechActive();
        QAccessible::setActive(true);
        const auto read = [&] { return holds(QAccessible::queryAccessibleInterface(form.get()), QAccessible::Button, "go"); };
        QCOMPARE(QTest::qWaitFor(read, reader ? kEngineWaitMs : way == Leave::Esc ? 5000 : 0), reader);
        QAccessible::setActive(assistiveRun());
    }

    void dialogsShowHostileTextPlainAndShort_data()
    {
        QTest::addColumn<QWidget *>("dialog");
        const QString bad = "<b>Bank</b>\n<img src=x>" + QString(300, 'A');
        QTest::newRow("login") << static_cast<QWidget *>(new LoginDialog(nullptr, {bad, bad, false, true}));
        QTest::newRow("certificate") << static_cast<QWidget *>(new CertificateDialog(nullptr, {bad, "it is", true}));
        QTest::newRow("permission") << static_cast<QWidget *>(new PermissionPrompt(bad, "see", [](bool) {}));
        QTest::newRow("notification") << static_cast<QWidget *>(new NotificationPopup(bad, bad, bad));
    }

    void dialogsShowHostileTextPlainAndShort()
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
        const QList<QLineEdit *> edits = dialog->findChildren<QLineEdit *>(); // user name, password
        if (!edits.isEmpty())
            QCOMPARE(edits.last()->echoMode(), QLineEdit::Password);
    }
};

// Run on an X server of its own, and in a home of its own (to see that nothing is written there).
VELT_ENGINE_TEST_MAIN(tst_PageAnswers, true)
#include "tst_pageanswers.moc"
