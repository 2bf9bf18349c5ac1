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
#include <QTimer>

// The main window without a mouse: the band's commands as assistive technology sees
// and presses them, and the browser keys, against the fake engine and desktop.
class tst_Access : public QObject
{
    Q_OBJECT
    FakePlatform *m_platform = nullptr;
    FakeWebBrowser *m_engine = nullptr;
    Form1 *m_form = nullptr;

    QAccessibleInterface *window() const { return QAccessible::queryAccessibleInterface(m_form); }

    // Everything a command may touch: engine, desktop, button hint, other windows shown.
    QStringList effect() const
    {
        QStringList shown;
        for (const QWidget *other : QApplication::topLevelWidgets()) {
            if (other != m_form && other->isVisible())
                shown << other->windowTitle();
        }
        return {m_engine->calls.join(','), m_platform->calls.join(','), m_form->StatusBar1->panelText(1),
                shown.join(',')};
    }

    // A fresh window with a load running, the focus on the page or in the address box.
    void reopen(bool focusOnBox = false)
    {
        cleanup();
        init();
        m_engine->busy = true;
        if (focusOnBox)
            m_form->cboAddress->setFocus();
    }

    void press(QKeyCombination key)
    {
        QTest::keyClick(m_form->windowHandle(), key.key(), key.keyboardModifiers());
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

    // Each command is one push button, named by its hint or tool tip; the window reads
    // row by row, left to right, shows no other area of the band, and hit testing finds
    // what the mouse does.
    void buttonsAreTheCommandsOnly()
    {
        QAccessibleInterface *form = window();
        QCOMPARE(form->role(), QAccessible::Window);
        QStringList read; // buttons by name, other controls by object name
        for (int i = 0; i < form->childCount(); ++i) {
            QAccessibleInterface *child = form->child(i);
            QCOMPARE(form->indexOfChild(child), i);
            QCOMPARE(child->parent()->object(), m_form);
            const bool button = child->role() == QAccessible::PushButton;
            QCOMPARE(button, qobject_cast<ClickArea *>(child->object()) != nullptr);
            read << (button ? child->text(QAccessible::Name) : child->object()->objectName());
        }
        QCOMPARE(read, (QStringList{"Back", "Forward", "Stop", "Refresh", "Home", "Search", "cboAddress",
                                    "addressMessage", "Time Zone", "New HTML Document", "Open", "Save",
                                    "Work online", "Work offline", "Edit HTML Document", "Exit",
                                    "About Velt Browser", "brwWebBrowser", "StatusBar1"}));

        const auto at = [&](QPoint twips) {
            QAccessibleInterface *hit = form->childAt(m_form->mapToGlobal(twips / 15).x(), m_form->mapToGlobal(twips / 15).y());
            return hit ? hit->text(QAccessible::Name) : QStringLiteral("-");
        };
        QCOMPARE(at({8100, 900}), QStringLiteral("Exit"));  // Label14 in front of Label13
        QCOMPARE(at({1250, 100}), QStringLiteral("Back"));  // Image2 in front of Label2
        QCOMPARE(at({600, 870}), QStringLiteral("-"));      // Label1's strip: Back again, not shown
        QCOMPARE(at({600, 700}), QStringLiteral("Address"));
    }

    void command_data()
    {
        QTest::addColumn<QByteArray>("area"); // where a click on the drawn button lands
        QTest::addColumn<QStringList>("keys");
        QTest::addColumn<QStringList>("expected");
        const QString none;
        QTest::newRow("Back") << QByteArray("Image2") << QStringList{"Alt+Left"} << QStringList{"GoBack", none, "  Back", none};
        QTest::newRow("Forward") << QByteArray("Image3") << QStringList{"Alt+Right"} << QStringList{"GoForward", none, none, none};
        QTest::newRow("Stop") << QByteArray("Image4") << QStringList{"Esc"} << QStringList{"Stop", none, none, none};
        QTest::newRow("Refresh") << QByteArray("Image5") << QStringList{"F5", "Ctrl+R"} << QStringList{"Refresh", none, none, none};
        QTest::newRow("Home") << QByteArray("Image6") << QStringList{"Alt+Home"} << QStringList{"GoHome", none, none, none};
        QTest::newRow("Search") << QByteArray("Image7") << QStringList{} << QStringList{"GoSearch", none, none, none};
        QTest::newRow("Time Zone") << QByteArray("Label15") << QStringList{} << QStringList{none, none, none, "Time Zone"};
        QTest::newRow("New HTML Document") << QByteArray("Label7") << QStringList{}
                                           << QStringList{none, "startProgram(c:\\windows\\notepad.exe)", none, none};
        QTest::newRow("Open") << QByteArray("Label8") << QStringList{"Ctrl+O"} << QStringList{"Navigate()", "chooseFileToOpen", none, none};
        QTest::newRow("Save") << QByteArray("Label9") << QStringList{} << QStringList{none, none, none, none};
        QTest::newRow("Work online") << QByteArray("Label10") << QStringList{} << QStringList{"Offline=False", none, none, none};
        QTest::newRow("Work offline") << QByteArray("Label11") << QStringList{} << QStringList{"Offline=True", none, none, none};
        QTest::newRow("Edit HTML Document") << QByteArray("Label12") << QStringList{} << QStringList{none, none, none, none};
        QTest::newRow("Exit") << QByteArray("Label14") << QStringList{"Ctrl+Q"} << QStringList{none, "endProgram", none, none};
        QTest::newRow("About Velt Browser") << QByteArray("Label16") << QStringList{} << QStringList{none, none, none, "About Velt Browser"};
    }

    // Pressing the command's button, clicking the drawn button and each of its keys,
    // with the page or the address box focused, all do what the command does.
    void command()
    {
        QFETCH(QByteArray, area);
        QFETCH(QStringList, keys);
        QFETCH(QStringList, expected);

        // The mouse first rests on the spot, so that only the click itself is seen.
        reopen();
        const QPoint spot = m_form->area(area.constData())->geometry().center();
        QTest::mouseMove(m_form->windowHandle(), spot);
        m_form->StatusBar1->setPanelText(1, QString());
        QTest::mouseClick(m_form->windowHandle(), Qt::LeftButton, {}, spot);
        QCOMPARE(effect(), expected);

        reopen();
        QAccessibleInterface *button = nullptr;
        for (int i = 0; i < window()->childCount() && !button; ++i) {
            if (window()->child(i)->text(QAccessible::Name) == QLatin1String(QTest::currentDataTag()))
                button = window()->child(i);
        }
        QVERIFY(button);
        QCOMPARE(button->role(), QAccessible::PushButton);
        QCOMPARE(button->actionInterface()->keyBindingsForAction(QAccessibleActionInterface::pressAction()),
                 keys);
        button->actionInterface()->doAction(QAccessibleActionInterface::pressAction());
        QCOMPARE(effect(), expected);

        for (const QString &key : keys) {
            for (const bool focusOnBox : {false, true}) {
                reopen(focusOnBox);
                press(QKeySequence(key)[0]);
                QVERIFY2(effect() == expected, qPrintable(key + (focusOnBox ? " in the box" : " on the page")));
            }
        }
    }

    void otherKeys_data()
    {
        QTest::addColumn<QString>("key");
        QTest::addColumn<bool>("focusOnBox");
        QTest::addColumn<QString>("engineCall");
        QTest::newRow("Ctrl+plus") << "Ctrl++" << false << "zoom(In)";
        QTest::newRow("Ctrl with the = key") << "Ctrl+=" << true << "zoom(In)";
        QTest::newRow("Ctrl+minus") << "Ctrl+-" << false << "zoom(Out)";
        QTest::newRow("Ctrl+0") << "Ctrl+0" << true << "zoom(Reset)";
        QTest::newRow("Ctrl+L") << "Ctrl+L" << false << "";
        QTest::newRow("F6") << "F6" << false << "";
        QTest::newRow("Alt+D") << "Alt+D" << true << "";
    }

    void otherKeys()
    {
        QFETCH(QString, key);
        QFETCH(bool, focusOnBox);
        QFETCH(QString, engineCall);
        reopen(focusOnBox);
        m_form->cboAddress->lineEdit()->setCursorPosition(2);
        press(QKeySequence(key)[0]);
        QCOMPARE(m_engine->calls.join(','), engineCall);
        // The address keys put the focus in the box with all its text selected.
        if (engineCall.isEmpty()) {
            QCOMPARE(QApplication::focusWidget(), m_form->cboAddress);
            QCOMPARE(m_form->cboAddress->lineEdit()->selectedText(), m_form->cboAddress->currentText());
        }
    }

    // With no load running, Escape is the page's or the box's, not Stop.
    void escapeWhileIdleStaysWithTheFocus()
    {
        int pageGotEscape = 0;
        struct Tap : QObject
        {
            int *count;
            bool eventFilter(QObject *, QEvent *event) override
            {
                if (event->type() == QEvent::KeyPress && static_cast<QKeyEvent *>(event)->key() == Qt::Key_Escape)
                    ++*count;
                return false;
            }
        } tap;
        tap.count = &pageGotEscape;
        m_engine->installEventFilter(&tap);
        press(QKeyCombination(Qt::Key_Escape));
        m_form->cboAddress->setFocus();
        press(QKeyCombination(Qt::Key_Escape));
        QCOMPARE(pageGotEscape, 1);
        QVERIFY(m_engine->calls.isEmpty());
    }

    void addressBoxStatusBarAndCaption()
    {
        QAccessibleInterface *box = QAccessible::queryAccessibleInterface(m_form->cboAddress);
        QCOMPARE(box->text(QAccessible::Name), QStringLiteral("Address"));
        QCOMPARE(box->text(QAccessible::Value), QStringLiteral("www.example.com"));
        QCOMPARE(box->focusChild()->text(QAccessible::Name), QStringLiteral("Address"));
        QCOMPARE(box->focusChild()->object(), m_form->cboAddress->lineEdit());

        QAccessibleInterface *bar = QAccessible::queryAccessibleInterface(m_form->StatusBar1);
        QCOMPARE(bar->role(), QAccessible::StatusBar);
        m_form->StatusBar1->setPanelText(2, QStringLiteral("Done"));
        QStringList panels;
        for (int i = 0; i < bar->childCount(); ++i)
            panels << bar->child(i)->text(QAccessible::Name);
        QCOMPARE(panels.mid(0, 3), (QStringList{"", "Done", m_form->StatusBar1->panelText(3)}));

        m_engine->name = QStringLiteral("A page");
        m_form->timTimer_Timer();
        QCOMPARE(window()->text(QAccessible::Name), QStringLiteral("A page - Ovo "));
    }
};

QTEST_MAIN(tst_Access)
#include "tst_access.moc"
