#include "about/aboutwindow.h"
#include "about/form2.h"
#include "engine/host/enginehost.h"
#include "engine/host/engineprocess.h"
#include "fixture.h"
#include "timewin/form3.h"

#include <QAccessible>
#include <QApplication>
#include <QLabel>
#include <QPainter>
#include <QSignalSpy>
#include <QTimer>

// One tick of the main window's watcher (an idle engine that answers is seen in the pick test).
struct Tick { bool busy; QString unreadable, name, panel2, caption; };
// A point of the design that is clicked, if any, and the control in front there; panel 1 once the pointer has
// moved there; whether that control is the command's own area, pressed as assistive technology does; the keys;
// what the command does (engine, desktop, hint, windows shown, address box); whether a load is running.
struct Command { QPoint at; QString receiver, hint; bool ownArea; QStringList keys, expected; bool busy; };

// The main window and its engine control against fakes, used by mouse, keyboard and assistive technology.
class tst_Form1 : public MainWindowFixture
{
    Q_OBJECT
    FakePlatform m_platform;
    FakeWebBrowser *m_engine = nullptr;

    template <typename Window>
    static QList<Window *> windows()
    {
        QList<Window *> found;
        for (QWidget *window : QApplication::topLevelWidgets())
            found << qobject_cast<Window *>(window);
        found.removeAll(nullptr);
        return found;
    }
    // The band's commands by name, as drawn: row by row, left to right.
    const QStringList m_commands{"Back", "Forward", "Stop", "Refresh", "Home", "Search", "Time Zone", "New HTML Document", "Open",
                                 "Save", "Work online", "Work offline", "Edit HTML Document", "Exit", "About Velt Browser"};
    QStringList shown() const { return {m_form->cboAddress->currentText(), m_form->windowTitle(), panel(1), panel(2)}; }
    // All that a command may touch: engine, desktop, hint, windows shown, the address box.
    QStringList effect() const
    {
        QStringList others;
        for (const QWidget *other : QApplication::topLevelWidgets()) {
            if (other != m_form && other->isVisible())
                others << other->windowTitle();
        }
        const QLineEdit *box = m_form->cboAddress->lineEdit();
        const bool boxSelected = m_form->cboAddress->hasFocus() && box->selectedText() == box->text();
        return {m_engine->calls.join(','), m_platform.calls.join(','), panel(1), others.join(','),
                boxSelected ? "box selected" : ""};
    }
    void reopen(bool busy, bool focusOnBox)
    {
        cleanup();
        init();
        m_engine->busy = busy;
        if (focusOnBox)
            m_form->cboAddress->setFocus();
    }

private slots:
    void init()
    {
        m_platform = FakePlatform();
        m_engine = new FakeWebBrowser;
        m_form = new Form1(m_engine, m_platform);
        m_form->Form_Load();
        QVERIFY(QTest::qWaitForWindowActive(m_form));
    }
    void cleanup()
    {
        delete m_form;
        QCOMPARE(windows<Form2>().size() + windows<Form3>().size(), 0); // they go with the main window
    }

    void startStateAndLayout()
    {
        QVERIFY(m_form->isMaximized() && (m_form->windowFlags() & Qt::FramelessWindowHint));
        QCOMPARE(shown(), (QStringList{"www.example.com", "Ovo", "", ""}));
        QCOMPARE(m_form->focusWidget(), m_form->brwWebBrowser);
        QVERIFY(!m_form->timTimer->isActive() && !m_form->Timer1->isActive());
        QVERIFY(m_engine->calls.isEmpty() && list().isEmpty()); // nothing is fetched until the user acts
        // Nothing moves when the window is resized; the status bar follows the bottom edge.
        const QRect logo = m_form->area("Label16")->geometry();
        m_form->showNormal();
        m_form->resize(500, 300);
        QTRY_COMPARE(m_form->size(), QSize(500, 300));
        QCOMPARE((QList<QRect>{m_form->brwWebBrowser->geometry(), m_form->cboAddress->geometry(),
                               m_form->area("Label16")->geometry(), m_form->StatusBar1->geometry()}),
                 (QList<QRect>{QRect(0, 80, 640, 385), QRect(16, 32, 613, 21), logo, QRect(0, 300 - 17, 500, 17)}));
    }

    // Painted at a device pixel ratio, the band is the drawing made for it, at the same
    // logical size: a 2x screen gets the 1280 x 162 drawing, not the 640 x 81 one enlarged.
    void bandDrawnForTheScreensDensity()
    {
        ClickArea *band = m_form->area("Image1");
        for (const auto &[ratio, file] : {std::pair{1, ":/assets/band.jpg"}, std::pair{2, ":/assets/band@2x.jpg"}}) {
            QImage painted(band->size() * ratio, QImage::Format_RGB32);
            painted.setDevicePixelRatio(ratio);
            band->render(&painted);
            const QImage drawn = QImage(QString::fromLatin1(file)).convertToFormat(QImage::Format_RGB32);
            QCOMPARE(painted, drawn);
        }
    }

    void desktopAnswersNo()
    {
        m_platform.programStarts = false;
        click(centreOf("Label7"));
        m_form->Label13_Click(); // Exit, which lies wholly behind Exit Browser
        QCOMPARE(m_platform.calls.mid(1), (QStringList{"showMessage", "endProgram"}));
        for (const char *named : {"c:\\windows\\notepad.exe", "gedit", "kate"})
            QVERIFY2(m_platform.message.contains(QLatin1String(named)), qPrintable(m_platform.message));
    }

    void enterNavigatesAndAppends_data()
    {
        QTest::addColumn<QStringList>("typed");
        QTest::newRow("a listed text again, in the order sent") << QStringList{"b.org", "a.org", "b.org"};
        QTest::newRow("text as typed") << QStringList{"  Mixed Case  "};
    }
    void enterNavigatesAndAppends()
    {
        QFETCH(QStringList, typed);
        QStringList calls;
        for (const QString &text : typed) {
            enter(text);
            calls << "Navigate(" + text + ")";
        }
        QCOMPARE(m_engine->calls, calls);
        QCOMPARE(list(), typed);
        QVERIFY(!m_form->timTimer->isActive()); // Enter is not a pick
    }

    void enterNavigatesBeforeAppending()
    {
        // An engine that finishes inside Navigate: the list grows only after the call, by the text read then.
        int entriesDuringCall = -1;
        m_engine->duringNavigate = [this, &entriesDuringCall] {
            entriesDuringCall = m_form->cboAddress->count();
            m_engine->finishLoad(QStringLiteral("http://www.example.com/"));
        };
        QTest::keyClick(m_form->cboAddress, Qt::Key_Return); // right after start: the default text
        QCOMPARE(m_engine->calls, QStringList{"Navigate(www.example.com)"});
        QCOMPARE(entriesDuringCall, 0);
        QCOMPARE(list(), QStringList{"http://www.example.com/"});
    }

    void refusedEnterAppendsNothingAndSaysSo()
    {
        enter("good.org");
        m_engine->refusing.insert("Navigate");
        enter("http://[::1");
        QCOMPARE(list(), QStringList{"good.org"});
        auto *message = m_form->findChild<QLabel *>("addressMessage");
        QVERIFY(message->isVisible() && message->text().contains("http://[::1") && message->text().contains(m_engine->lastError()));
        QCOMPARE(m_form->cboAddress->currentText(), QStringLiteral("http://[::1")); // nothing lost
        // Typing on takes the report away; no other key than Enter sends.
        QTest::keyClick(m_form->cboAddress, 'x');
        QTest::keyClick(m_form->cboAddress, Qt::Key_Escape);
        QVERIFY(!message->isVisible() && m_platform.calls.isEmpty());
        QCOMPARE(m_engine->calls.size(), 2);
    }

    void pickIsWatchedUntilDone()
    {
        enter("slow.org");
        enter("");
        QTest::mouseMove(m_form->windowHandle(), centreOf("Image5")); // a hint the watcher leaves alone
        m_engine->busy = true;
        pick(0);
        QTRY_VERIFY(m_engine->busyReads >= 50); // however long the engine stays busy, the watcher asks
        QCOMPARE(shown(), (QStringList{"slow.org", "Ovo", "  Refresh", "Opening..."}));
        m_engine->finishLoad(QStringLiteral("http://slow.org/"), QStringLiteral("Slow"));
        QTRY_VERIFY(!m_form->timTimer->isActive());
        QCOMPARE(shown(), (QStringList{"http://slow.org/", "Slow - Ovo ", "  Refresh", "Done"}));
        // The empty entry starts the watcher and navigates nowhere; the idle page is done on the first tick.
        m_form->setWindowTitle(QStringLiteral("Earlier"));
        m_engine->busyReads = 0;
        pick(1);
        QVERIFY(m_form->timTimer->isActive());
        QTRY_VERIFY(!m_form->timTimer->isActive());
        QCOMPARE(m_engine->busyReads, 1);
        QCOMPARE(m_form->windowTitle(), QStringLiteral("Slow - Ovo "));
        QCOMPARE(m_engine->calls, (QStringList{"Navigate(slow.org)", "Navigate()", "Navigate(slow.org)"}));
        QCOMPARE(list(), (QStringList{"slow.org", ""}));
    }

    void tick_data()
    {
        QTest::addColumn<Tick>("tick");
        QTest::newRow("busy: the caption goes back to the program's name") << Tick{true, "", "Page", "Opening...", "Ovo"};
        QTest::newRow("idle, no name") << Tick{false, "", "", "Done", " - Ovo "};
        QTest::newRow("Busy unreadable: idle branch") << Tick{true, "Busy", "Page", "Done", "Page - Ovo "};
        QTest::newRow("name unreadable: caption left") << Tick{false, "LocationName", "Page", "Done", "Earlier"};
    }
    void tick()
    {
        QFETCH(Tick, tick);
        m_form->setWindowTitle(QStringLiteral("Earlier"));
        m_engine->busy = tick.busy;
        m_engine->name = tick.name;
        m_engine->refusing = {tick.unreadable};
        m_form->timTimer->start();
        m_form->timTimer_Timer();
        QCOMPARE((QStringList{panel(2), m_form->windowTitle()}), (QStringList{tick.panel2, tick.caption}));
        QCOMPARE(m_form->timTimer->isActive(), tick.busy && tick.unreadable.isEmpty()); // only an idle tick stops it
    }

    void downloadCompleteReplacesText()
    {
        enter("a.org");
        QTest::keyClicks(m_form->cboAddress, "half-typ");
        m_engine->finishLoad("http://a.org/", "A");
        QCOMPARE(m_form->cboAddress->currentText(), QStringLiteral("http://a.org/"));
        m_engine->finishLoad("http://a.org/frame", "A"); // every download of the page
        m_engine->refusing.insert("LocationURL");
        m_engine->finishLoad("http://unreadable.org/");
        QCOMPARE(m_form->cboAddress->currentText(), QStringLiteral("http://a.org/frame"));
        QCOMPARE(list(), QStringList{"a.org"});
        QVERIFY(!m_form->timTimer->isActive() && m_engine->calls.size() == 1); // never a pick
    }

    void oneTimeWindowAndTheAboutWindowGrowing()
    {
        click(centreOf("Label15"));
        click(centreOf("Label15"));
        QCOMPARE(windows<Form3>().size(), 1);
        QPointer<Form3> first = windows<Form3>().constFirst();
        first->close(); // through its frame: the next click makes it anew
        QTRY_VERIFY(first.isNull());
        click(centreOf("Label15"));
        QCOMPARE(windows<Form3>().size(), 1);

        click(centreOf("Label16"));
        Form2 *about = windows<Form2>().value(0);
        QVERIFY(about && about->isVisible() && !about->parentWidget() && m_form->Timer1->isActive());
        QTRY_VERIFY_WITH_TIMEOUT(!m_form->Timer1->isActive(), 10000); // grown by the main window's Timer1
        QVERIFY(about->Width() >= kAboutFullSize && about->Height() >= kAboutFullSize);
    }

    // The engine control makes its engine once, when an operation first needs it or after the first
    // paint; until then it is idle and empty, and an engine made late still goes offline as asked.
    void engineHostMakesItsEngineOnceAndPassesOn()
    {
        int made = 0;
        FakeWebBrowser *fake = nullptr;
        EngineHost host([&](QWidget *parent, QString *) -> WebBrowser * {
            ++made;
            return fake = new FakeWebBrowser(parent);
        });
        QSignalSpy completed(&host, &WebBrowser::DownloadComplete);
        host.setOffline(true);
        bool ok = false;
        QVERIFY(!host.Busy(&ok) && ok && host.LocationURL().isEmpty() && host.Stop() && host.Navigate(""));
        QCOMPARE(made, 0);
        QVERIFY(host.GoHome());
        host.zoom(WebBrowser::Zoom::Out);
        host.resize(200, 100);
        host.show();
        QTRY_COMPARE(fake->geometry(), host.rect());
        fake->refusing = {"Navigate", "GoBack", "GoForward", "Stop", "Refresh", "GoSearch"};
        QVERIFY(!host.Navigate("a.org") && !host.GoBack() && !host.GoForward() && !host.Stop() && !host.Refresh());
        QVERIFY(!host.GoSearch() && host.lastError() == fake->lastError()); // refused, with the engine's reason
        QCOMPARE(fake->calls, (QStringList{"Offline=True", "GoHome", "zoom(Out)", "Navigate(a.org)", "GoBack", "GoForward",
                                           "Stop", "Refresh", "GoSearch"}));
        fake->finishLoad("http://a.org/", "A");
        fake->finishLoad("http://a.org/frame", "A");
        QCOMPARE(completed.count(), 2);
        QCOMPARE((QStringList{host.LocationURL(), host.LocationName()}), (QStringList{"http://a.org/frame", "A"}));
        QCOMPARE(made, 1);
    }

    // One push button per command, named by its hint or tool tip; the window reads row by row, left
    // to right, shows no other area of the band, and hit testing finds what the mouse finds.
    void whatIsRead()
    {
        QAccessibleInterface *form = QAccessible::queryAccessibleInterface(m_form);
        QCOMPARE(form->role(), QAccessible::Window);
        QStringList read; // buttons by name, other controls by object name
        for (int i = 0; i < form->childCount(); ++i) {
            QAccessibleInterface *child = form->child(i);
            QCOMPARE(form->indexOfChild(child), i);
            const bool button = child->role() == QAccessible::PushButton;
            QCOMPARE(button, qobject_cast<ClickArea *>(child->object()) != nullptr);
            read << (button ? child->text(QAccessible::Name) : child->object()->objectName());
        }
        QCOMPARE(read, (m_commands.first(6) + QStringList{"cboAddress", "addressMessage"} + m_commands.sliced(6)
                        + QStringList{"brwWebBrowser", "findBar", "StatusBar1"}));
        const auto at = [&](QPoint twips) {
            const QPoint spot = m_form->mapToGlobal(twips / 15);
            QAccessibleInterface *hit = form->childAt(spot.x(), spot.y());
            return hit ? hit->text(QAccessible::Name) : QStringLiteral("nothing");
        };
        // Label14 over Label13, Image2 over Label2, Label1's strip (Back again), the box.
        QCOMPARE((QStringList{at({8100, 900}), at({1250, 100}), at({600, 870}), at({600, 700})}),
                 (QStringList{"Exit", "Back", "nothing", "Address"}));

        QAccessibleInterface *box = QAccessible::queryAccessibleInterface(m_form->cboAddress);
        QCOMPARE((QStringList{box->text(QAccessible::Name), box->text(QAccessible::Value),
                              box->focusChild()->text(QAccessible::Name)}),
                 (QStringList{"Address", "www.example.com", "Address"}));
        QAccessibleInterface *bar = QAccessible::queryAccessibleInterface(m_form->StatusBar1);
        QCOMPARE(bar->role(), QAccessible::StatusBar);
        QCOMPARE(bar->child(2)->text(QAccessible::Name), m_form->StatusBar1->panelText(3));
        m_engine->name = QStringLiteral("A page");
        m_form->timTimer_Timer();
        QCOMPARE(form->text(QAccessible::Name), QStringLiteral("A page - Ovo "));
    }

    void command_data()
    {
        QTest::addColumn<Command>("command");
        const auto row = [](const char *name, QPoint at, const char *receiver, const char *hint, bool ownArea,
                            QStringList keys, QStringList effect, bool busy = true) {
            QTest::newRow(name) << Command{at, receiver, hint, ownArea, keys, effect, busy};
        };
        const QStringList nothing{"", "", "", "", ""};
        row("Back", twips(1250, 100), "Image2", "  Back", true, {"Alt+Left"}, {"GoBack", "", "  Back", "", ""});
        row("Forward", twips(1400, 200), "Image3", "  Forward", true, {"Alt+Right"}, {"GoForward", "", "", "", ""});
        row("Stop", twips(3000, 100), "Image4", "  Stop", true, {"Esc"}, {"Stop", "", "", "", ""});
        row("Refresh", twips(4500, 100), "Image5", "  Refresh", true, {"F5", "Ctrl+R"}, {"Refresh", "", "", "", ""});
        row("Home", twips(6000, 100), "Image6", "  Home", true, {"Alt+Home"}, {"GoHome", "", "", "", ""});
        row("Search", twips(7100, 100), "Image7", "  Search", true, {}, {"GoSearch", "", "", "", ""});
        row("Time Zone", twips(5500, 900), "Label15", "", true, {}, {"", "", "", "Time Zone", ""});
        row("New HTML Document", twips(6000, 900), "Label7", "", true, {}, {"", "startProgram(c:\\windows\\notepad.exe)", "", "", ""});
        row("Open", twips(6300, 900), "Label8", "", true, {"Ctrl+O"}, {"Navigate()", "chooseFileToOpen", "", "", ""});
        row("Save", twips(6700, 900), "Label9", "", true, {}, nothing);
        row("Work online", twips(7100, 900), "Label10", "", true, {}, {"Offline=False", "", "", "", ""});
        row("Work offline", twips(7400, 900), "Label11", "", true, {}, {"Offline=True", "", "", "", ""});
        row("Edit HTML Document", twips(7800, 900), "Label12", "", true, {}, nothing);
        row("Exit", twips(8100, 900), "Label14", "", true, {"Ctrl+Q"}, {"", "endProgram", "", "", ""});
        row("About Velt Browser", twips(8700, 950), "Label16", "", true, {}, {"", "", "", "About Velt Browser", ""});
        row("Stop's label below the pictures", twips(3000, 420), "Label3", "", false, {}, {"Stop", "", "", "", ""});
        row("Back's label below the box", twips(600, 870), "Label1", "", false, {}, {"GoBack", "", "", "", ""});
        row("Back's label under the box", twips(600, 700), "cboAddress", "", false, {}, nothing);
        row("bare band", twips(4000, 1000), "Image1", "  ", false, {}, nothing);
        row("the band's last row, under the engine", twips(100, 1205), "brwWebBrowser", "", false, {}, nothing);
        row("address box", {}, "", "", false, {"Ctrl+L", "F6", "Alt+D"}, {"", "", "", "", "box selected"});
        row("zoom in", {}, "", "", false, {"Ctrl++", "Ctrl+="}, {"zoom(In)", "", "", "", ""});
        row("Escape with no load running", {}, "", "", false, {"Esc"}, nothing, false);
    }
    // A click at a point of the layout reaches the one control in front there; a click, a press of the command's
    // accessible button and each of its keys, page or box focused, do the command and nothing else: no watcher, no window.
    void command()
    {
        QFETCH(Command, command);
        const auto &[at, receiver, hint, ownArea, keys, expected, busy] = command;
        const QByteArray area = ownArea ? receiver.toLatin1() : QByteArray();
        if (!at.isNull()) {
            QWidget *front = m_form->childAt(at);
            while (front && front->parentWidget() != m_form)
                front = front->parentWidget();
            QCOMPARE(front ? front->objectName() : QString(), receiver);
            click(at); // the pointer moves there first: a picture names itself
            QStringList clicked = expected;
            clicked[2] = hint;
            QCOMPARE(effect(), clicked);
            QVERIFY(!m_form->timTimer->isActive() && list().isEmpty());
        }
        if (!area.isEmpty()) {
            reopen(busy, false);
            QAccessibleActionInterface *actions = QAccessible::queryAccessibleInterface(m_form->area(area.constData()))->actionInterface();
            QCOMPARE(actions->keyBindingsForAction(QAccessibleActionInterface::pressAction()), keys);
            actions->doAction(QAccessibleActionInterface::pressAction()); // only a press of Back names it
            QCOMPARE(effect(), expected);
            for (const Qt::Key key : {Qt::Key_Space, Qt::Key_Return}) { // reached with Tab from the box
                reopen(busy, true);
                for (int tabs = 0; tabs < 20 && m_form->focusWidget() != m_form->area(area.constData()); ++tabs)
                    QTest::keyClick(m_form->focusWidget(), Qt::Key_Tab);
                QTest::keyClick(m_form->focusWidget(), key);
                QCOMPARE(effect(), expected);
            }
        }
        for (const QString &key : keys) {
            for (const bool focusOnBox : {false, true}) {
                reopen(busy, focusOnBox);
                const QKeyCombination combination = QKeySequence(key)[0];
                QTest::keyClick(m_form->windowHandle(), combination.key(), combination.keyboardModifiers());
                QVERIFY2(effect() == expected, qPrintable(key + (focusOnBox ? " in the box" : " on the page")));
            }
        }
    }

    // Tab goes from the box through the commands as drawn and the page back to the box,
    // Shift+Tab the other way; a focused command is framed, one clicked with the mouse is not.
    void tabGoesRound()
    {
        const QStringList ring = QStringList{"Address"} << m_commands << "brwWebBrowser";
        const auto band = [this] { return m_form->grab(m_form->area("Image1")->geometry()).toImage(); };
        const QImage unframed = band();
        for (const char *name : {"Image5", "Label9", "Label10"})
            click(centreOf(name));
        QCOMPARE(band(), unframed);
        for (const Qt::KeyboardModifier modifier : {Qt::NoModifier, Qt::ShiftModifier}) {
            (modifier ? static_cast<QWidget *>(m_form->cboAddress) : m_form->brwWebBrowser)->setFocus();
            QStringList seen; // read backwards when going back
            for (qsizetype i = 0; i < ring.size(); ++i) {
                QTest::keyClick(m_form->focusWidget(), Qt::Key_Tab, modifier);
                QWidget *focus = m_form->focusWidget();
                seen.insert(modifier ? 0 : seen.size(), focus->accessibleName().isEmpty() ? focus->objectName() : focus->accessibleName());
                QImage now = band();
                QPainter restore(&now);
                if (qobject_cast<ClickArea *>(focus)) { // framed, the rest of the band as drawn
                    QVERIFY(now.copy(focus->geometry()) != unframed.copy(focus->geometry()));
                    restore.drawImage(focus->pos(), unframed.copy(focus->geometry()));
                }
                const QRect box = m_form->cboAddress->geometry(); // which draws its own focus
                restore.drawImage(box.topLeft(), unframed.copy(box));
                restore.end();
                QCOMPARE(now, unframed);
            }
            QCOMPARE(seen, ring);
        }
    }

    void sandboxNeedsUserNamespaces()
    {
        // Root runs without the sandbox; anyone with user namespaces runs it.
        QVERIFY(sandboxProblem(true, false).isEmpty() && sandboxProblem(true, true).isEmpty() && sandboxProblem(false, true).isEmpty());
        QVERIFY(sandboxProblem(false, false).contains("user namespaces")); // a user without them gets no engine
    }
};

QTEST_MAIN(tst_Form1)
#include "tst_form1.moc"
