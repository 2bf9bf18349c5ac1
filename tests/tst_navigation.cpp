#include "clickarea.h"
#include "fakes/fakeplatform.h"
#include "fakes/fakewebbrowser.h"
#include "form1.h"
#include "statusbar.h"

#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QTest>
#include <QTimer>

#include <functional>

namespace {

// The fake engine, with a look at the window at the moment Back reaches it.
class WatchedEngine : public FakeWebBrowser
{
    Q_OBJECT
public:
    using FakeWebBrowser::FakeWebBrowser;
    std::function<void()> onGoBack;

    bool GoBack() override
    {
        if (onGoBack)
            onGoBack();
        return FakeWebBrowser::GoBack();
    }
};

} // namespace

// The six navigation buttons and the hints of the picture band, against the fake engine.
class tst_Navigation : public QObject
{
    Q_OBJECT
private slots:
    void init();
    void cleanup();

    void clickAreasReachTheirOperation_data();
    void clickAreasReachTheirOperation();
    void refusedOperationChangesNothing_data();
    void refusedOperationChangesNothing();
    void backNamesItselfBeforeGoingBack();
    void hintUnderThePointer_data();
    void hintUnderThePointer();
    void hintFollowsThePointerAcrossTheBand();

private:
    void addButtonRows();
    QPoint centreOf(const char *area) const;
    void moveTo(QPoint at);
    void clickAt(QPoint at);
    QString panel(int number) const { return m_form->StatusBar1->panelText(number); }

    FakePlatform *m_platform = nullptr;
    WatchedEngine *m_engine = nullptr;
    Form1 *m_form = nullptr;
};

void tst_Navigation::init()
{
    m_platform = new FakePlatform;
    m_engine = new WatchedEngine;
    m_form = new Form1(m_engine, *m_platform);
    m_form->Form_Load();
    QVERIFY(QTest::qWaitForWindowExposed(m_form));
}

void tst_Navigation::cleanup()
{
    delete m_form;
    delete m_platform;
}

QPoint tst_Navigation::centreOf(const char *area) const
{
    return m_form->area(area)->geometry().center();
}

void tst_Navigation::moveTo(QPoint at)
{
    QTest::mouseMove(m_form->windowHandle(), at);
}

void tst_Navigation::clickAt(QPoint at)
{
    QTest::mouseClick(m_form->windowHandle(), Qt::LeftButton, {}, at);
}

void tst_Navigation::addButtonRows()
{
    QTest::addColumn<QByteArray>("image");
    QTest::addColumn<QByteArray>("label");
    QTest::addColumn<QString>("operation");

    QTest::newRow("Back") << QByteArray("Image2") << QByteArray("Label1") << "GoBack";
    QTest::newRow("Forward") << QByteArray("Image3") << QByteArray("Label2") << "GoForward";
    QTest::newRow("Stop") << QByteArray("Image4") << QByteArray("Label3") << "Stop";
    QTest::newRow("Refresh") << QByteArray("Image5") << QByteArray("Label4") << "Refresh";
    QTest::newRow("Home") << QByteArray("Image6") << QByteArray("Label5") << "GoHome";
    QTest::newRow("Search") << QByteArray("Image7") << QByteArray("Label6") << "GoSearch";
}

void tst_Navigation::clickAreasReachTheirOperation_data()
{
    addButtonRows();
}

void tst_Navigation::clickAreasReachTheirOperation()
{
    QFETCH(QByteArray, image);
    QFETCH(QByteArray, label);
    QFETCH(QString, operation);

    // The pointer is already there, so the click itself brings no hint with it.
    const QPoint at = centreOf(image.constData());
    moveTo(at);
    m_form->StatusBar1->setPanelText(1, QStringLiteral("before"));
    clickAt(at);
    QCOMPARE(m_engine->calls, QStringList{operation});
    QCOMPARE(panel(1), image == "Image2" ? QStringLiteral("  Back") : QStringLiteral("before"));

    // Most labels lie under the picture row; their own click reaches the same operation.
    m_engine->calls.clear();
    m_form->StatusBar1->setPanelText(1, QStringLiteral("before"));
    emit m_form->area(label.constData())->clicked();
    QCOMPARE(m_engine->calls, QStringList{operation});
    QCOMPARE(panel(1), QStringLiteral("before"));

    // None of the buttons follows its load.
    QVERIFY(!m_form->timTimer->isActive());
    QCOMPARE(panel(2), QString());
    QCOMPARE(m_form->windowTitle(), QStringLiteral("Ovo"));
}

void tst_Navigation::refusedOperationChangesNothing_data()
{
    addButtonRows();
}

void tst_Navigation::refusedOperationChangesNothing()
{
    QFETCH(QByteArray, image);
    QFETCH(QByteArray, label);
    QFETCH(QString, operation);

    m_form->cboAddress->addItem(QStringLiteral("a.org"));
    m_form->cboAddress->setEditText(QStringLiteral("typed"));
    m_form->setWindowTitle(QStringLiteral("A - Ovo "));
    m_form->StatusBar1->setPanelText(2, QStringLiteral("Done"));
    m_engine->refusing.insert(operation);

    emit m_form->area(label.constData())->clicked();
    emit m_form->area(image.constData())->clicked();
    QCOMPARE(m_engine->calls, (QStringList{operation, operation}));
    QCOMPARE(m_form->cboAddress->currentText(), QStringLiteral("typed"));
    QCOMPARE(m_form->cboAddress->count(), 1);
    QCOMPARE(m_form->windowTitle(), QStringLiteral("A - Ovo "));
    QCOMPARE(panel(2), QStringLiteral("Done"));
    QVERIFY(!m_form->timTimer->isActive());
    QVERIFY(m_platform->calls.isEmpty());
    QVERIFY(!m_form->findChild<QLabel *>(QStringLiteral("addressMessage"))->isVisible());
}

void tst_Navigation::backNamesItselfBeforeGoingBack()
{
    QString hintWhenGoingBack;
    m_engine->onGoBack = [&] { hintWhenGoingBack = panel(1); };
    m_engine->refusing.insert(QStringLiteral("GoBack")); // right after start: nowhere to go
    m_form->Image2_Click();
    QCOMPARE(hintWhenGoingBack, QStringLiteral("  Back"));
    QCOMPARE(panel(1), QStringLiteral("  Back"));
}

void tst_Navigation::hintUnderThePointer_data()
{
    QTest::addColumn<QByteArray>("area");
    QTest::addColumn<QString>("hint");

    QTest::newRow("Back") << QByteArray("Image2") << "  Back";
    QTest::newRow("Forward") << QByteArray("Image3") << "  Forward";
    QTest::newRow("Stop") << QByteArray("Image4") << "  Stop";
    QTest::newRow("Refresh") << QByteArray("Image5") << "  Refresh";
    QTest::newRow("Home") << QByteArray("Image6") << "  Home";
    QTest::newRow("Search") << QByteArray("Image7") << "  Search";
}

void tst_Navigation::hintUnderThePointer()
{
    QFETCH(QByteArray, area);
    QFETCH(QString, hint);

    // Outside the band nothing writes the panel: it is still empty.
    moveTo(m_form->brwWebBrowser->geometry().center());
    QCOMPARE(panel(1), QString());

    moveTo(centreOf(area.constData()));
    QCOMPARE(panel(1), hint);
    // The pointer moving on over the same button keeps its hint; nothing is clicked.
    moveTo(centreOf(area.constData()) + QPoint(3, 2));
    QCOMPARE(panel(1), hint);
    QVERIFY(m_engine->calls.isEmpty());
}

void tst_Navigation::hintFollowsThePointerAcrossTheBand()
{
    // A spot of the band that no other area covers.
    const QPoint bareBand(4000 / 15, 1000 / 15);
    QCOMPARE(m_form->childAt(bareBand), static_cast<QWidget *>(m_form->area("Image1")));
    const QPoint backRightEdge = m_form->area("Image2")->geometry().center() + QPoint(40, 0);
    const QPoint forwardLeftEdge = m_form->area("Image3")->geometry().topLeft() + QPoint(1, 5);
    QCOMPARE(m_form->childAt(backRightEdge), static_cast<QWidget *>(m_form->area("Image2")));

    QStringList seen;
    const auto visit = [&](QPoint at) {
        moveTo(at);
        seen << panel(1);
    };
    visit(centreOf("Image2"));
    visit(bareBand);
    visit(backRightEdge);
    visit(forwardLeftEdge); // straight from one button onto the next
    visit(m_form->brwWebBrowser->geometry().center());
    visit(m_form->cboAddress->geometry().center());
    visit(centreOf("Label7")); // a command icon in front of the band
    visit(bareBand + QPoint(5, 0));

    QCOMPARE(seen, (QStringList{"  Back", "  ", "  Back", "  Forward", "  Forward", "  Forward",
                                "  Forward", "  "}));
}

QTEST_MAIN(tst_Navigation)
#include "tst_navigation.moc"
