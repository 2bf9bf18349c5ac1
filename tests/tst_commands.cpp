#include "about/aboutwindow.h"
#include "about/form2.h"
#include "clickarea.h"
#include "fakes/fakeplatform.h"
#include "fakes/fakewebbrowser.h"
#include "form1.h"
#include "statusbar.h"
#include "timewin/form3.h"

#include <QAccessible>
#include <QApplication>
#include <QComboBox>
#include <QLineEdit>
#include <QSignalSpy>
#include <QTest>
#include <QTimer>

namespace {

// The fake desktop, also naming the editors it would have tried.
struct EditorListPlatform : FakePlatform
{
    QStringList editorsLookedFor() const override { return {"gedit", "kate"}; }
};

template <typename Window>
QList<Window *> windowsOf()
{
    QList<Window *> found;
    for (QWidget *window : QApplication::topLevelWidgets())
        found << qobject_cast<Window *>(window);
    found.removeAll(nullptr);
    return found;
}

} // namespace

// The command icons of the picture band, and every command of the band as assistive
// technology and the keyboard reach it, against the fake engine and desktop.
class tst_Commands : public QObject
{
    Q_OBJECT
    EditorListPlatform *m_platform = nullptr;
    FakeWebBrowser *m_engine = nullptr;
    Form1 *m_form = nullptr;

    void click(const char *area) { emit m_form->area(area)->clicked(); }

    // All that a command may touch: engine, desktop, hint, windows shown, the address box.
    QStringList effect() const
    {
        QStringList shown;
        for (const QWidget *other : QApplication::topLevelWidgets()) {
            if (other != m_form && other->isVisible())
                shown << other->windowTitle();
        }
        const QLineEdit *box = m_form->cboAddress->lineEdit();
        const bool boxSelected = m_form->cboAddress->hasFocus() && box->selectedText() == box->text();
        return {m_engine->calls.join(','), m_platform->calls.join(','), m_form->StatusBar1->panelText(1),
                shown.join(','), boxSelected ? "box selected" : ""};
    }

    // A fresh window, with or without a load running, the focus on the page or in the box.
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
        m_platform = new EditorListPlatform;
        m_engine = new FakeWebBrowser;
        m_form = new Form1(m_engine, *m_platform);
        m_form->Form_Load();
        QVERIFY(QTest::qWaitForWindowActive(m_form));
    }
    void cleanup()
    {
        delete m_form;
        delete m_platform;
        // The secondary windows go with the main window.
        QVERIFY(windowsOf<Form2>().isEmpty() && windowsOf<Form3>().isEmpty());
    }

    void command_data()
    {
        QTest::addColumn<QByteArray>("label");
        QTest::addColumn<QString>("chosen"); // what the file dialog gives; "" is Cancel
        QTest::addColumn<QStringList>("platformCalls");
        QTest::addColumn<QStringList>("engineCalls");
        const QStringList none;
        const QString page = QStringLiteral("/home/user/page.html");
        QTest::newRow("New HTML Document") << QByteArray("Label7") << page
                                           << QStringList{"startProgram(c:\\windows\\notepad.exe)"} << none;
        QTest::newRow("Open") << QByteArray("Label8") << page << QStringList{"chooseFileToOpen"}
                              << QStringList{"Navigate(" + page + ")"};
        QTest::newRow("Open, Cancel") << QByteArray("Label8") << "" << QStringList{"chooseFileToOpen"}
                                      << QStringList{"Navigate()"};
        QTest::newRow("Save") << QByteArray("Label9") << page << none << none;
        QTest::newRow("Work online") << QByteArray("Label10") << page << none << QStringList{"Offline=False"};
        QTest::newRow("Work offline") << QByteArray("Label11") << page << none << QStringList{"Offline=True"};
        QTest::newRow("Edit HTML Document") << QByteArray("Label12") << page << none << none;
        QTest::newRow("Exit") << QByteArray("Label13") << page << QStringList{"endProgram"} << none;
        QTest::newRow("Exit Browser") << QByteArray("Label14") << page << QStringList{"endProgram"} << none;
    }
    // Each command reaches only its target and leaves the window as it was: the box
    // follows the engine's completion event alone, and no watcher or window starts.
    void command()
    {
        QFETCH(QByteArray, label);
        QFETCH(QString, chosen);
        QFETCH(QStringList, platformCalls);
        QFETCH(QStringList, engineCalls);
        m_platform->fileToOpen = chosen;
        m_form->cboAddress->setEditText(QStringLiteral("typed"));
        click(label.constData());
        QCOMPARE(m_platform->calls, platformCalls);
        QCOMPARE(m_engine->calls, engineCalls);
        QCOMPARE(m_form->cboAddress->currentText(), QStringLiteral("typed"));
        QCOMPARE(m_form->cboAddress->count(), 0);
        QCOMPARE(m_form->windowTitle(), QStringLiteral("Ovo"));
        QCOMPARE(m_form->StatusBar1->panelText(1) + m_form->StatusBar1->panelText(2), QString());
        QVERIFY(!m_form->timTimer->isActive() && !m_form->Timer1->isActive());
        QVERIFY(windowsOf<Form2>().isEmpty() && windowsOf<Form3>().isEmpty());
    }

    void failedEditorStartIsShown()
    {
        m_platform->programStarts = false;
        click("Label7");
        QCOMPARE(m_platform->calls, (QStringList{"startProgram(c:\\windows\\notepad.exe)", "showMessage"}));
        const QString message = m_platform->messages.value(0);
        for (const char *looked : {"c:\\windows\\notepad.exe", "gedit", "kate"})
            QVERIFY2(message.contains(QLatin1String(looked)), qPrintable(message));
        QVERIFY(m_form->isVisible()); // the browser goes on
    }

    void timeZoneShowsTheOneTimeWindow()
    {
        click("Label15");
        click("Label15");
        QCOMPARE(windowsOf<Form3>().size(), 1);
        QPointer<Form3> first = windowsOf<Form3>().constFirst();
        QVERIFY(first->isVisible() && !first->parentWidget() && m_form->isVisible());
        // Shown again after its own Back has hidden it; made anew once closed through its frame.
        first->Command1_Click();
        click("Label15");
        QVERIFY(first->isVisible());
        first->close();
        QTRY_VERIFY(first.isNull());
        click("Label15");
        QCOMPARE(windowsOf<Form3>().size(), 1);
    }

    void aboutOpensCollapsedAndGrowsInSixTicks()
    {
        QSignalSpy ticks(m_form->Timer1, &QTimer::timeout);
        click("Label16");
        QCOMPARE(windowsOf<Form2>().size(), 1);
        Form2 *about = windowsOf<Form2>().constFirst();
        QVERIFY(about->isVisible() && !about->parentWidget() && m_form->Timer1->isActive());
        QVERIFY(about->Width() < kAboutGrowthStep && about->Height() < kAboutGrowthStep);
        QTRY_VERIFY_WITH_TIMEOUT(!m_form->Timer1->isActive(), 10000);
        QCOMPARE(ticks.count(), 6);
        QVERIFY(about->Width() >= kAboutFullSize && about->Height() >= kAboutFullSize);
    }

    // One push button per command, named by its hint or tool tip; the window reads row
    // by row, left to right, shows no other area of the band, and hit testing finds
    // what the mouse finds.
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
        QCOMPARE(read, (QStringList{"Back", "Forward", "Stop", "Refresh", "Home", "Search", "cboAddress",
                                    "addressMessage", "Time Zone", "New HTML Document", "Open", "Save",
                                    "Work online", "Work offline", "Edit HTML Document", "Exit",
                                    "About Velt Browser", "brwWebBrowser", "StatusBar1"}));
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

    void pressAndKeys_data()
    {
        QTest::addColumn<QByteArray>("area"); // the drawn button's area, if any
        QTest::addColumn<QStringList>("keys");
        QTest::addColumn<bool>("busy");
        QTest::addColumn<QStringList>("expected");
        const auto row = [](const char *name, const char *area, QStringList keys, QStringList expected, bool busy = true) {
            QTest::newRow(name) << QByteArray(area) << keys << busy << expected;
        };
        row("Back", "Image2", {"Alt+Left"}, {"GoBack", "", "  Back", "", ""});
        row("Forward", "Image3", {"Alt+Right"}, {"GoForward", "", "", "", ""});
        row("Stop", "Image4", {"Esc"}, {"Stop", "", "", "", ""});
        row("Refresh", "Image5", {"F5", "Ctrl+R"}, {"Refresh", "", "", "", ""});
        row("Home", "Image6", {"Alt+Home"}, {"GoHome", "", "", "", ""});
        row("Search", "Image7", {}, {"GoSearch", "", "", "", ""});
        row("Time Zone", "Label15", {}, {"", "", "", "Time Zone", ""});
        row("New HTML Document", "Label7", {}, {"", "startProgram(c:\\windows\\notepad.exe)", "", "", ""});
        row("Open", "Label8", {"Ctrl+O"}, {"Navigate()", "chooseFileToOpen", "", "", ""});
        row("Save", "Label9", {}, {"", "", "", "", ""});
        row("Work online", "Label10", {}, {"Offline=False", "", "", "", ""});
        row("Work offline", "Label11", {}, {"Offline=True", "", "", "", ""});
        row("Edit HTML Document", "Label12", {}, {"", "", "", "", ""});
        row("Exit", "Label14", {"Ctrl+Q"}, {"", "endProgram", "", "", ""});
        row("About Velt Browser", "Label16", {}, {"", "", "", "About Velt Browser", ""});
        row("address box", "", {"Ctrl+L", "F6", "Alt+D"}, {"", "", "", "", "box selected"});
        row("zoom in", "", {"Ctrl++", "Ctrl+="}, {"zoom(In)", "", "", "", ""});
        row("zoom out", "", {"Ctrl+-"}, {"zoom(Out)", "", "", "", ""});
        row("zoom reset", "", {"Ctrl+0"}, {"zoom(Reset)", "", "", "", ""});
        row("Escape with no load running", "", {"Esc"}, {"", "", "", "", ""}, false);
    }

    // A press of the command's accessible button and each of its keys, with the page or
    // the address box focused, do what a click on the drawn button does.
    void pressAndKeys()
    {
        QFETCH(QByteArray, area);
        QFETCH(QStringList, keys);
        QFETCH(bool, busy);
        QFETCH(QStringList, expected);
        if (!area.isEmpty()) {
            QAccessibleInterface *button = QAccessible::queryAccessibleInterface(m_form->area(area.constData()));
            QCOMPARE(button->role(), QAccessible::PushButton);
            QCOMPARE(button->text(QAccessible::Name), QString::fromLatin1(QTest::currentDataTag()));
            QAccessibleActionInterface *actions = button->actionInterface();
            QCOMPARE(actions->keyBindingsForAction(QAccessibleActionInterface::pressAction()), keys);
            actions->doAction(QAccessibleActionInterface::pressAction());
            QCOMPARE(effect(), expected);
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

    void smallWindowKeys_data()
    {
        QTest::addColumn<QByteArray>("command");
        QTest::addColumn<QKeySequence>("key");
        QTest::newRow("Time Zone: Escape") << QByteArray("Label15") << QKeySequence(Qt::Key_Escape);
        QTest::newRow("Time Zone: Return") << QByteArray("Label15") << QKeySequence(Qt::Key_Return);
        QTest::newRow("About: Escape") << QByteArray("Label16") << QKeySequence(Qt::Key_Escape);
        QTest::newRow("About: keypad Enter") << QByteArray("Label16") << QKeySequence(Qt::KeypadModifier | Qt::Key_Enter);
    }

    // Escape and Return press the time window's Back and the About window's OK.
    void smallWindowKeys()
    {
        QFETCH(QByteArray, command);
        QFETCH(QKeySequence, key);
        m_form->hide();
        m_form->area(command.constData())->click();
        QWidget *small = nullptr;
        for (QWidget *window : QApplication::topLevelWidgets())
            small = window != m_form && window->isVisible() ? window : small;
        QVERIFY(small && QTest::qWaitForWindowActive(small));
        QTest::keyClick(QApplication::focusWidget(), key[0].key(), key[0].keyboardModifiers());
        QVERIFY(!small->isVisible() && m_form->isVisible());
    }
};

QTEST_MAIN(tst_Commands)
#include "tst_commands.moc"
