#include "fakes/fakeplatform.h"
#include "fakes/fakewebbrowser.h"
#include "form1.h"
#include "statusbar.h"

#include <QComboBox>
#include <QTest>
#include <QTimer>

namespace {

// The fake engine, counting how often the watcher asks whether it is busy. A failed
// read still gives `busy`, so only `ok` tells the watcher not to trust it.
class PolledEngine : public FakeWebBrowser
{
    Q_OBJECT
public:
    mutable int busyReads = 0;
    bool Busy(bool *ok = nullptr) const override { ++busyReads; FakeWebBrowser::Busy(ok); return busy; }
};

} // namespace

// The page-load watcher against the fake engine.
class tst_Watcher : public QObject
{
    Q_OBJECT
    FakePlatform m_platform;
    PolledEngine *m_engine = nullptr;
    Form1 *m_form = nullptr;

    QString panel(int number) const { return m_form->StatusBar1->panelText(number); }
    void pick(const QString &entry) // the one thing that starts the watcher
    {
        m_form->cboAddress->addItem(entry);
        m_form->cboAddress->setCurrentIndex(0);
        emit m_form->cboAddress->activated(0);
    }

private slots:
    void init()
    {
        m_engine = new PolledEngine;
        m_form = new Form1(m_engine, m_platform);
        m_form->Form_Load();
        QVERIFY(QTest::qWaitForWindowExposed(m_form));
    }
    void cleanup() { delete m_form; }

    void tick_data()
    {
        QTest::addColumn<bool>("busy");
        QTest::addColumn<QString>("refusing");
        QTest::addColumn<QString>("name");
        QTest::addColumn<QString>("panel2");
        QTest::addColumn<QString>("caption");
        QTest::newRow("busy") << true << "" << "Page" << "Opening..." << "Ovo";
        QTest::newRow("idle") << false << "" << "Page" << "Done" << "Page - Ovo ";
        QTest::newRow("idle, empty name") << false << "" << "" << "Done" << " - Ovo ";
        QTest::newRow("Busy unreadable: idle branch") << true << "Busy" << "Page" << "Done" << "Page - Ovo ";
        QTest::newRow("name unreadable: caption left") << false << "LocationName" << "Page" << "Done" << "Earlier";
    }
    void tick()
    {
        QFETCH(bool, busy);
        QFETCH(QString, refusing);
        QFETCH(QString, name);
        QFETCH(QString, panel2);
        QFETCH(QString, caption);
        m_form->setWindowTitle(QStringLiteral("Earlier"));
        m_engine->busy = busy;
        m_engine->name = name;
        m_engine->refusing = {refusing};
        m_form->timTimer->start();
        m_form->timTimer_Timer();
        QCOMPARE(panel(2), panel2);
        QCOMPARE(m_form->windowTitle(), caption);
        QCOMPARE(m_form->timTimer->isActive(), panel2 == "Opening..."); // only an idle tick stops it
        QVERIFY(m_engine->calls.isEmpty());
    }

    void pickWhileIdleIsDoneAtOnce()
    {
        m_engine->name = QStringLiteral("Shown already");
        pick(QString());
        QVERIFY(m_form->timTimer->isActive());
        QTRY_VERIFY(!m_form->timTimer->isActive());
        QCOMPARE(m_engine->busyReads, 1);
        QCOMPARE(panel(2), QStringLiteral("Done"));
        QCOMPARE(m_form->windowTitle(), QStringLiteral("Shown already - Ovo "));
    }

    void pollsWhileBusy()
    {
        m_form->Image5_MouseMove(); // a hint the watcher leaves alone
        m_engine->busy = true;
        pick(QStringLiteral("slow.org"));
        QCOMPARE(m_engine->calls, QStringList{"Navigate(slow.org)"});
        QTRY_COMPARE(panel(2), QStringLiteral("Opening..."));
        QCOMPARE(m_form->windowTitle(), QStringLiteral("Ovo"));

        // However long the engine stays busy, the watcher keeps asking.
        QTRY_VERIFY(m_engine->busyReads >= 50);
        QVERIFY(m_form->timTimer->isActive());
        QCOMPARE(panel(2), QStringLiteral("Opening..."));

        m_engine->finishLoad(QStringLiteral("http://slow.org/"), QStringLiteral("Slow"));
        QTRY_VERIFY(!m_form->timTimer->isActive());
        QCOMPARE(panel(2), QStringLiteral("Done"));
        QCOMPARE(m_form->windowTitle(), QStringLiteral("Slow - Ovo "));
        QCOMPARE(panel(1), QStringLiteral("  Refresh"));
    }
};

QTEST_MAIN(tst_Watcher)
#include "tst_watcher.moc"
