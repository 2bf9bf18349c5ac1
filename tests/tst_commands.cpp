#include "about/aboutwindow.h"
#include "about/form2.h"
#include "clickarea.h"
#include "fakes/fakeplatform.h"
#include "fakes/fakewebbrowser.h"
#include "form1.h"
#include "statusbar.h"
#include "timewin/form3.h"

#include <QApplication>
#include <QComboBox>
#include <QLabel>
#include <QSignalSpy>
#include <QTest>
#include <QTimer>

namespace {

// The fake desktop, also naming the editors it would have tried.
class EditorListPlatform : public FakePlatform
{
public:
    QStringList editors;
    QStringList editorsLookedFor() const override { return editors; }
};

template <typename Window>
QList<Window *> windowsOf()
{
    QList<Window *> found;
    const QWidgetList windows = QApplication::topLevelWidgets();
    for (QWidget *window : windows) {
        if (auto *typed = qobject_cast<Window *>(window))
            found << typed;
    }
    return found;
}

} // namespace

// The command icons of the picture band, against the fake engine and desktop.
class tst_Commands : public QObject
{
    Q_OBJECT
private slots:
    void init();
    void cleanup();

    void commandReachesItsTarget_data();
    void commandReachesItsTarget();
    void openNavigatesToTheChosenName_data();
    void openNavigatesToTheChosenName();
    void failedEditorStartIsShown_data();
    void failedEditorStartIsShown();
    void timeZoneShowsTheOneTimeWindow();
    void aboutOpensCollapsedAndGrowsInSixTicks();
    void aboutAgainCollapsesAndGrowsAgain();
    void okHidesAndTheHiddenWindowGrows();
    void tickAfterAboutWasClosedMakesItHidden();
    void secondaryWindowsGoWithTheMainWindow();

private:
    void click(const char *area) { emit m_form->area(area)->clicked(); }

    EditorListPlatform *m_platform = nullptr;
    FakeWebBrowser *m_engine = nullptr;
    Form1 *m_form = nullptr;
};

void tst_Commands::init()
{
    m_platform = new EditorListPlatform;
    m_engine = new FakeWebBrowser;
    m_form = new Form1(m_engine, *m_platform);
    m_form->Form_Load();
    QVERIFY(QTest::qWaitForWindowExposed(m_form));
}

void tst_Commands::cleanup()
{
    delete m_form;
    m_form = nullptr;
    delete m_platform;
    QVERIFY(windowsOf<Form2>().isEmpty());
    QVERIFY(windowsOf<Form3>().isEmpty());
}

void tst_Commands::commandReachesItsTarget_data()
{
    QTest::addColumn<QByteArray>("label");
    QTest::addColumn<QStringList>("platformCalls");
    QTest::addColumn<QStringList>("engineCalls");

    QTest::newRow("New HTML Document")
            << QByteArray("Label7") << QStringList{"startProgram(c:\\windows\\notepad.exe)"}
            << QStringList{};
    QTest::newRow("Open") << QByteArray("Label8") << QStringList{"chooseFileToOpen"}
                          << QStringList{"Navigate(/home/user/page.html)"};
    QTest::newRow("Save") << QByteArray("Label9") << QStringList{} << QStringList{};
    QTest::newRow("Work online") << QByteArray("Label10") << QStringList{}
                                 << QStringList{"Offline=False"};
    QTest::newRow("Work offline") << QByteArray("Label11") << QStringList{}
                                  << QStringList{"Offline=True"};
    QTest::newRow("Edit HTML Document") << QByteArray("Label12") << QStringList{} << QStringList{};
    QTest::newRow("Exit") << QByteArray("Label13") << QStringList{"endProgram"} << QStringList{};
    QTest::newRow("Exit Browser") << QByteArray("Label14") << QStringList{"endProgram"}
                                  << QStringList{};
}

void tst_Commands::commandReachesItsTarget()
{
    QFETCH(QByteArray, label);
    QFETCH(QStringList, platformCalls);
    QFETCH(QStringList, engineCalls);

    m_platform->fileToOpen = QStringLiteral("/home/user/page.html");
    m_form->cboAddress->setEditText(QStringLiteral("typed"));
    click(label.constData());

    QCOMPARE(m_platform->calls, platformCalls);
    QCOMPARE(m_engine->calls, engineCalls);
    // None of them touches the window itself or opens another.
    QCOMPARE(m_form->cboAddress->currentText(), QStringLiteral("typed"));
    QCOMPARE(m_form->cboAddress->count(), 0);
    QCOMPARE(m_form->windowTitle(), QStringLiteral("Ovo"));
    QCOMPARE(m_form->StatusBar1->panelText(1), QString());
    QCOMPARE(m_form->StatusBar1->panelText(2), QString());
    QVERIFY(!m_form->timTimer->isActive());
    QVERIFY(!m_form->Timer1->isActive());
    QVERIFY(windowsOf<Form2>().isEmpty());
    QVERIFY(windowsOf<Form3>().isEmpty());
}

void tst_Commands::openNavigatesToTheChosenName_data()
{
    QTest::addColumn<QString>("chosen");
    QTest::addColumn<bool>("refused");

    QTest::newRow("a file") << "/home/user/page.html" << false;
    QTest::newRow("Cancel: the empty name all the same") << "" << false;
    QTest::newRow("a name the engine refuses") << "/home/user/\x01.html" << true;
}

void tst_Commands::openNavigatesToTheChosenName()
{
    QFETCH(QString, chosen);
    QFETCH(bool, refused);

    m_platform->fileToOpen = chosen;
    if (refused)
        m_engine->refusing.insert(QStringLiteral("Navigate"));
    m_form->cboAddress->addItem(QStringLiteral("a.org"));
    m_form->cboAddress->setEditText(QStringLiteral("typed"));
    m_form->setWindowTitle(QStringLiteral("A - Ovo "));

    click("Label8");
    QCOMPARE(m_platform->calls, QStringList{"chooseFileToOpen"});
    QCOMPARE(m_engine->calls, QStringList{QStringLiteral("Navigate(%1)").arg(chosen)});
    // The box follows only the engine's completion event; the watcher is not started.
    QCOMPARE(m_form->cboAddress->currentText(), QStringLiteral("typed"));
    QCOMPARE(m_form->cboAddress->count(), 1);
    QCOMPARE(m_form->windowTitle(), QStringLiteral("A - Ovo "));
    QVERIFY(!m_form->timTimer->isActive());
    QVERIFY(!m_form->findChild<QLabel *>(QStringLiteral("addressMessage"))->isVisible());
}

void tst_Commands::failedEditorStartIsShown_data()
{
    QTest::addColumn<QStringList>("editors");
    QTest::newRow("no editor list") << QStringList{};
    QTest::newRow("editors tried in its place") << QStringList{"gedit", "kate", "mousepad"};
}

void tst_Commands::failedEditorStartIsShown()
{
    QFETCH(QStringList, editors);

    m_platform->programStarts = false;
    m_platform->editors = editors;
    click("Label7");

    QCOMPARE(m_platform->calls,
             (QStringList{"startProgram(c:\\windows\\notepad.exe)", "showMessage"}));
    const QString message = m_platform->messages.value(0);
    QVERIFY2(message.contains(QStringLiteral("c:\\windows\\notepad.exe")), qPrintable(message));
    for (const QString &editor : editors)
        QVERIFY2(message.contains(editor), qPrintable(message));
    // The browser goes on as it was.
    QVERIFY(m_form->isVisible());
    QVERIFY(m_engine->calls.isEmpty());

    // A start that works says nothing.
    m_platform->programStarts = true;
    click("Label7");
    QCOMPARE(m_platform->messages.size(), 1);
}

void tst_Commands::timeZoneShowsTheOneTimeWindow()
{
    click("Label15");
    QCOMPARE(windowsOf<Form3>().size(), 1);
    QPointer<Form3> first = windowsOf<Form3>().constFirst();
    QVERIFY(first->isVisible());
    QVERIFY(!first->parentWidget()); // no owner
    QVERIFY(m_form->isVisible());

    // Shown again, not made again; nor after its own Back has hidden it.
    click("Label15");
    QCOMPARE(windowsOf<Form3>(), QList<Form3 *>{first.data()});
    first->Command1_Click();
    QVERIFY(!first->isVisible());
    click("Label15");
    QCOMPARE(windowsOf<Form3>(), QList<Form3 *>{first.data()});
    QVERIFY(first->isVisible());

    // Closed through its frame it is gone, and the next click makes a new one.
    first->close();
    QTRY_VERIFY(first.isNull());
    click("Label15");
    QCOMPARE(windowsOf<Form3>().size(), 1);
    QVERIFY(windowsOf<Form3>().constFirst()->isVisible());
    QVERIFY(m_engine->calls.isEmpty());
}

void tst_Commands::aboutOpensCollapsedAndGrowsInSixTicks()
{
    QSignalSpy ticks(m_form->Timer1, &QTimer::timeout);
    click("Label16");
    QCOMPARE(windowsOf<Form2>().size(), 1);
    Form2 *about = windowsOf<Form2>().constFirst();
    QVERIFY(about->isVisible());
    QVERIFY(!about->parentWidget());
    QVERIFY(m_form->Timer1->isActive());
    QVERIFY(about->Width() < kAboutGrowthStep);
    QVERIFY(about->Height() < kAboutGrowthStep);

    QTRY_VERIFY_WITH_TIMEOUT(!m_form->Timer1->isActive(), 10000);
    QCOMPARE(ticks.count(), 6);
    QVERIFY(about->Width() >= kAboutFullSize);
    QVERIFY(about->Height() >= kAboutFullSize);
    QCOMPARE(windowsOf<Form2>().size(), 1);
}

void tst_Commands::aboutAgainCollapsesAndGrowsAgain()
{
    click("Label16");
    QTRY_VERIFY_WITH_TIMEOUT(!m_form->Timer1->isActive(), 10000);
    Form2 *about = windowsOf<Form2>().constFirst();
    QVERIFY(about->Width() >= kAboutFullSize);

    click("Label16");
    QCOMPARE(windowsOf<Form2>(), QList<Form2 *>{about});
    QVERIFY(about->Width() < kAboutGrowthStep);
    QVERIFY(m_form->Timer1->isActive());
    QTRY_VERIFY_WITH_TIMEOUT(!m_form->Timer1->isActive(), 10000);
    QVERIFY(about->Width() >= kAboutFullSize);
}

void tst_Commands::okHidesAndTheHiddenWindowGrows()
{
    click("Label16");
    Form2 *about = windowsOf<Form2>().constFirst();
    QTRY_VERIFY_WITH_TIMEOUT(!m_form->Timer1->isActive(), 10000);

    about->Command1_Click();
    QVERIFY(!about->isVisible());
    QVERIFY(m_form->Timer1->isActive());
    QTRY_VERIFY_WITH_TIMEOUT(!m_form->Timer1->isActive(), 10000);
    QVERIFY(!about->isVisible());
    QVERIFY(about->Width() >= kAboutFullSize);
    QCOMPARE(windowsOf<Form2>(), QList<Form2 *>{about});
}

void tst_Commands::tickAfterAboutWasClosedMakesItHidden()
{
    click("Label16");
    QTRY_VERIFY_WITH_TIMEOUT(!m_form->Timer1->isActive(), 10000);
    QPointer<Form2> closed = windowsOf<Form2>().constFirst();
    closed->close();
    QTRY_VERIFY(closed.isNull());

    m_form->Timer1_Timer();
    QCOMPARE(windowsOf<Form2>().size(), 1);
    Form2 *made = windowsOf<Form2>().constFirst();
    QVERIFY(!made->isVisible());

    // The About command afterwards shows that same window.
    click("Label16");
    QCOMPARE(windowsOf<Form2>(), QList<Form2 *>{made});
    QVERIFY(made->isVisible());
}

void tst_Commands::secondaryWindowsGoWithTheMainWindow()
{
    click("Label15");
    click("Label16");
    QPointer<QWidget> time = windowsOf<Form3>().value(0);
    QPointer<QWidget> about = windowsOf<Form2>().value(0);
    QVERIFY(time && about);
    delete m_form;
    m_form = nullptr;
    QVERIFY(time.isNull());
    QVERIFY(about.isNull());
}

QTEST_MAIN(tst_Commands)
#include "tst_commands.moc"
