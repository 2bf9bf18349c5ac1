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

// The command icons of the picture band, against the fake engine and desktop.
class tst_Commands : public QObject
{
    Q_OBJECT
    EditorListPlatform *m_platform = nullptr;
    FakeWebBrowser *m_engine = nullptr;
    Form1 *m_form = nullptr;

    void click(const char *area) { emit m_form->area(area)->clicked(); }

private slots:
    void init()
    {
        m_platform = new EditorListPlatform;
        m_engine = new FakeWebBrowser;
        m_form = new Form1(m_engine, *m_platform);
        m_form->Form_Load();
        QVERIFY(QTest::qWaitForWindowExposed(m_form));
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
};

QTEST_MAIN(tst_Commands)
#include "tst_commands.moc"
