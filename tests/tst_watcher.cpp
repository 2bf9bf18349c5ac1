#include "fakes/fakeplatform.h"
#include "fakes/fakewebbrowser.h"
#include "form1.h"
#include "statusbar.h"

#include <QComboBox>
#include <QLabel>
#include <QTest>
#include <QTimer>

namespace {

// The fake engine, counting how often the watcher asks whether it is busy.
class PolledEngine : public FakeWebBrowser
{
    Q_OBJECT
public:
    using FakeWebBrowser::FakeWebBrowser;
    mutable int busyReads = 0;

    bool Busy(bool *ok = nullptr) const override
    {
        ++busyReads;
        return FakeWebBrowser::Busy(ok);
    }
};

// Counts the events of one kind that reach an object.
class EventCounter : public QObject
{
public:
    EventCounter(QObject *watched, QEvent::Type type) : m_type(type)
    {
        watched->installEventFilter(this);
    }
    int count = 0;

protected:
    bool eventFilter(QObject *, QEvent *event) override
    {
        if (event->type() == m_type)
            ++count;
        return false;
    }

private:
    QEvent::Type m_type;
};

} // namespace

// The page-load watcher against the fake engine.
class tst_Watcher : public QObject
{
    Q_OBJECT
private slots:
    void init();
    void cleanup();

    void tick_data();
    void tick();
    void pickWhileIdleIsDoneAtOnce();
    void pollsUntilTheEngineIsIdle();
    void busyTicksRepaintNothing();
    void watcherLeavesTheHintAlone();

private:
    void pick(const QString &entry);
    QString panel(int number) const { return m_form->StatusBar1->panelText(number); }

    FakePlatform *m_platform = nullptr;
    PolledEngine *m_engine = nullptr;
    Form1 *m_form = nullptr;
};

void tst_Watcher::init()
{
    m_platform = new FakePlatform;
    m_engine = new PolledEngine;
    m_form = new Form1(m_engine, *m_platform);
    m_form->Form_Load();
    QVERIFY(QTest::qWaitForWindowExposed(m_form));
}

void tst_Watcher::cleanup()
{
    delete m_form;
    delete m_platform;
}

// A pick from the address list, the one thing that starts the watcher.
void tst_Watcher::pick(const QString &entry)
{
    m_form->cboAddress->addItem(entry);
    const int index = m_form->cboAddress->count() - 1;
    m_form->cboAddress->setCurrentIndex(index);
    emit m_form->cboAddress->activated(index);
}

void tst_Watcher::tick_data()
{
    QTest::addColumn<bool>("busy");
    QTest::addColumn<QStringList>("refusing");
    QTest::addColumn<QString>("name");
    QTest::addColumn<QString>("panel2");
    QTest::addColumn<QString>("caption");
    QTest::addColumn<bool>("running");

    const QString earlier = QStringLiteral("Earlier - Ovo ");
    QTest::newRow("busy") << true << QStringList{} << "Page" << "Opening..." << "Ovo" << true;
    QTest::newRow("busy, name unreadable: not needed")
            << true << QStringList{"LocationName"} << "Page" << "Opening..." << "Ovo" << true;
    QTest::newRow("idle") << false << QStringList{} << "Page" << "Done" << "Page - Ovo " << false;
    QTest::newRow("idle, empty name") << false << QStringList{} << "" << "Done" << " - Ovo " << false;
    QTest::newRow("name kept as it is")
            << false << QStringList{} << "  A - B  " << "Done" << "  A - B   - Ovo " << false;
    QTest::newRow("Busy unreadable: the idle branch")
            << true << QStringList{"Busy"} << "Page" << "Done" << "Page - Ovo " << false;
    QTest::newRow("idle, name unreadable: caption left")
            << false << QStringList{"LocationName"} << "Page" << "Done" << earlier << false;
    QTest::newRow("nothing readable")
            << true << QStringList{"Busy", "LocationName"} << "Page" << "Done" << earlier << false;
}

void tst_Watcher::tick()
{
    QFETCH(bool, busy);
    QFETCH(QStringList, refusing);
    QFETCH(QString, name);
    QFETCH(QString, panel2);
    QFETCH(QString, caption);
    QFETCH(bool, running);

    m_form->setWindowTitle(QStringLiteral("Earlier - Ovo "));
    m_engine->busy = busy;
    m_engine->name = name;
    m_engine->refusing = QSet<QString>(refusing.begin(), refusing.end());
    m_form->timTimer->start();

    m_form->timTimer_Timer();
    QCOMPARE(panel(2), panel2);
    QCOMPARE(m_form->windowTitle(), caption);
    QCOMPARE(m_form->timTimer->isActive(), running);
    QVERIFY(m_engine->calls.isEmpty()); // the watcher only reads
}

void tst_Watcher::pickWhileIdleIsDoneAtOnce()
{
    m_engine->url = QStringLiteral("http://a.org/");
    m_engine->name = QStringLiteral("Shown already");
    pick(QString()); // starts the watcher, navigates nowhere
    QVERIFY(m_form->timTimer->isActive());
    QTRY_VERIFY(!m_form->timTimer->isActive());
    QCOMPARE(m_engine->busyReads, 1);
    QCOMPARE(panel(2), QStringLiteral("Done"));
    QCOMPARE(m_form->windowTitle(), QStringLiteral("Shown already - Ovo "));
    QVERIFY(m_engine->calls.isEmpty());
}

void tst_Watcher::pollsUntilTheEngineIsIdle()
{
    m_engine->busy = true;
    pick(QStringLiteral("slow.org"));
    QCOMPARE(m_engine->calls, QStringList{"Navigate(slow.org)"});

    // However long the engine stays busy, the watcher keeps asking.
    QTRY_VERIFY(m_engine->busyReads >= 20);
    QVERIFY(m_form->timTimer->isActive());
    QCOMPARE(panel(2), QStringLiteral("Opening..."));
    QCOMPARE(m_form->windowTitle(), QStringLiteral("Ovo"));

    m_engine->finishLoad(QStringLiteral("http://slow.org/"), QStringLiteral("Slow"));
    QTRY_VERIFY(!m_form->timTimer->isActive());
    QCOMPARE(panel(2), QStringLiteral("Done"));
    QCOMPARE(m_form->windowTitle(), QStringLiteral("Slow - Ovo "));

    // A later load that the watcher does not follow leaves the report alone.
    m_engine->busy = true;
    m_form->Label4_Click();
    QVERIFY(!m_form->timTimer->isActive());
    QCOMPARE(panel(2), QStringLiteral("Done"));
    QCOMPARE(m_form->windowTitle(), QStringLiteral("Slow - Ovo "));
}

void tst_Watcher::busyTicksRepaintNothing()
{
    auto *panel2 = m_form->StatusBar1->findChild<QLabel *>(QStringLiteral("Panel2"));
    QVERIFY(panel2);
    m_engine->busy = true;
    pick(QStringLiteral("slow.org"));
    QTRY_COMPARE(panel(2), QStringLiteral("Opening..."));
    QTRY_VERIFY(m_engine->busyReads >= 2);

    // From here on every tick writes what is already shown.
    const EventCounter paints(panel2, QEvent::Paint);
    const EventCounter captions(m_form, QEvent::WindowTitleChange);
    const int reads = m_engine->busyReads;
    QTRY_VERIFY(m_engine->busyReads >= reads + 50);
    QCOMPARE(paints.count, 0);
    QCOMPARE(captions.count, 0);

    // The counters do see a change when there is one.
    m_engine->finishLoad(QStringLiteral("http://slow.org/"), QStringLiteral("Slow"));
    QTRY_COMPARE(captions.count, 1);
    QTRY_VERIFY(paints.count > 0);
}

void tst_Watcher::watcherLeavesTheHintAlone()
{
    m_form->Image5_MouseMove();
    m_engine->busy = true;
    pick(QStringLiteral("a.org"));
    QTRY_VERIFY(m_engine->busyReads >= 2);
    m_engine->finishLoad(QStringLiteral("http://a.org/"), QStringLiteral("A"));
    QTRY_VERIFY(!m_form->timTimer->isActive());
    QCOMPARE(panel(1), QStringLiteral("  Refresh"));
}

QTEST_MAIN(tst_Watcher)
#include "tst_watcher.moc"
