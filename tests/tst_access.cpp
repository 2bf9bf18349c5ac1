#include "clickarea.h"
#include "fakes/fakeplatform.h"
#include "fakes/fakewebbrowser.h"
#include "form1.h"
#include "statusbar.h"

#include <QAccessible>
#include <QApplication>
#include <QComboBox>
#include <QLineEdit>
#include <QTest>

// The main window without a mouse, against the fake engine and desktop: the band's
// commands as assistive technology sees and presses them, and the keys.
class tst_Access : public QObject
{
    Q_OBJECT
    FakePlatform *m_platform = nullptr;
    FakeWebBrowser *m_engine = nullptr;
    Form1 *m_form = nullptr;

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
    void reopen(bool busy = true, bool focusOnBox = false)
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
        m_platform = new FakePlatform;
        m_engine = new FakeWebBrowser;
        m_form = new Form1(m_engine, *m_platform);
        m_form->Form_Load();
        QVERIFY(QTest::qWaitForWindowActive(m_form));
    }
    void cleanup()
    {
        delete m_form;
        delete m_platform;
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
            return hit ? hit->text(QAccessible::Name) : QString();
        };
        // Label14 over Label13, Image2 over Label2, Label1's strip (Back again), the box.
        QCOMPARE((QStringList{at({8100, 900}), at({1250, 100}), at({600, 870}), at({600, 700})}),
                 (QStringList{"Exit", "Back", "", "Address"}));

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
        QTest::addColumn<QByteArray>("area"); // where a click on the drawn button lands
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

    // A click on the drawn button, a press of its accessible button and each of its
    // keys, with the page or the address box focused, all do the same.
    void command()
    {
        QFETCH(QByteArray, area);
        QFETCH(QStringList, keys);
        QFETCH(bool, busy);
        QFETCH(QStringList, expected);
        if (!area.isEmpty()) {
            // The mouse rests on the spot first, so that only the click itself is seen.
            reopen();
            const QPoint spot = m_form->area(area.constData())->geometry().center();
            QTest::mouseMove(m_form->windowHandle(), spot);
            m_form->StatusBar1->setPanelText(1, QString());
            QTest::mouseClick(m_form->windowHandle(), Qt::LeftButton, {}, spot);
            QCOMPARE(effect(), expected);

            reopen();
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

QTEST_MAIN(tst_Access)
#include "tst_access.moc"
