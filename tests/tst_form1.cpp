#include "clickarea.h"
#include "fakes/fakeplatform.h"
#include "fakes/fakewebbrowser.h"
#include "form1.h"
#include "form1layout.h"
#include "statusbar.h"

#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QSignalSpy>
#include <QTest>
#include <QTimer>

using namespace Form1Layout;

class tst_Form1 : public QObject
{
    Q_OBJECT
private slots:
    void init();
    void cleanup();

    void startState();
    void bandAreasFollowTheTable();
    void childControlsLieAboveTheBand();
    void clickReachesFrontArea_data();
    void clickReachesFrontArea();
    void nothingMovesOnResize();
    void bandDrawnForTheScreensDensity_data();
    void bandDrawnForTheScreensDensity();

    void enterNavigatesThenAppends_data();
    void enterNavigatesThenAppends();
    void enterNavigatesBeforeAppending();
    void refusedEnterAppendsNothingAndSaysSo();
    void otherKeysDoNothing();
    void pickNavigatesAndStartsWatcher_data();
    void pickNavigatesAndStartsWatcher();
    void pickOfListedTextByEnterIsNoPick();
    void downloadCompleteReplacesText();
    void unreadableLocationLeavesText();

private:
    void typeAndEnter(const QString &text);
    QStringList listEntries() const;

    FakePlatform *m_platform = nullptr;
    FakeWebBrowser *m_engine = nullptr;
    Form1 *m_form = nullptr;
};

void tst_Form1::init()
{
    m_platform = new FakePlatform;
    m_engine = new FakeWebBrowser;
    m_form = new Form1(m_engine, *m_platform);
    m_form->Form_Load();
    QVERIFY(QTest::qWaitForWindowExposed(m_form));
}

void tst_Form1::cleanup()
{
    delete m_form;
    delete m_platform;
}

void tst_Form1::typeAndEnter(const QString &text)
{
    QLineEdit *edit = m_form->cboAddress->lineEdit();
    edit->clear();
    QTest::keyClicks(m_form->cboAddress, text);
    QTest::keyClick(m_form->cboAddress, Qt::Key_Return);
}

QStringList tst_Form1::listEntries() const
{
    QStringList entries;
    for (int i = 0; i < m_form->cboAddress->count(); ++i)
        entries << m_form->cboAddress->itemText(i);
    return entries;
}

void tst_Form1::startState()
{
    QCOMPARE(m_form->windowTitle(), QStringLiteral("Ovo"));
    QVERIFY(m_form->windowFlags() & Qt::FramelessWindowHint);
    QVERIFY(m_form->isMaximized());
    QCOMPARE(m_form->cboAddress->currentText(), QString::fromLatin1(kDefaultAddress));
    QCOMPARE(m_form->cboAddress->count(), 0);
    QVERIFY(!m_form->timTimer->isActive());
    QVERIFY(!m_form->Timer1->isActive());
    QCOMPARE(m_form->timTimer->interval(), 5);
    QCOMPARE(m_form->Timer1->interval(), 200);
    QVERIFY(m_engine->calls.isEmpty()); // nothing fetched until the user acts
    QCOMPARE(m_form->focusWidget(), static_cast<QWidget *>(m_engine)); // first in tab order
    QCOMPARE(m_form->StatusBar1->panelText(1), QString());
    QCOMPARE(m_form->StatusBar1->panelText(2), QString());
    QCOMPARE(m_form->StatusBar1->panelText(3),
             QLocale().toString(QDate::currentDate(), QLocale::ShortFormat));
    QVERIFY(!m_form->StatusBar1->panelText(4).isEmpty());
    QVERIFY(!m_form->area("Image1")->picture().isNull());
    QCOMPARE(m_form->area("Image1")->picture().size(), QSize(640, 81));
}

void tst_Form1::bandAreasFollowTheTable()
{
    const QList<QObject *> children = m_form->children();
    qsizetype previousIndex = -1;
    // Walk the table from back to front: each area must lie in front of the one before.
    for (auto row = kBandAreas.rbegin(); row != kBandAreas.rend(); ++row) {
        ClickArea *area = m_form->area(row->name);
        QVERIFY2(area, row->name);
        QCOMPARE(area->objectName(), QString::fromLatin1(row->name));
        QCOMPARE(area->geometry(),
                 QRect(qRound(row->at.left / 15.0), qRound(row->at.top / 15.0),
                       qRound(row->at.width / 15.0), qRound(row->at.height / 15.0)));
        QCOMPARE(area->toolTip(), row->toolTip ? QString::fromLatin1(row->toolTip) : QString());
        const qsizetype index = children.indexOf(area);
        QVERIFY2(index > previousIndex, row->name);
        previousIndex = index;
    }
}

void tst_Form1::childControlsLieAboveTheBand()
{
    QCOMPARE(m_form->cboAddress->geometry(), QRect(16, 32, 613, 21));
    QCOMPARE(m_form->brwWebBrowser->geometry(), QRect(0, 80, 640, 385));
    QCOMPARE(m_form->StatusBar1->geometry(),
             QRect(0, m_form->height() - 17, m_form->width(), 17));
    // Where the engine and the address box cover band areas, they are in front.
    QCOMPARE(m_form->childAt(20, 40), m_form->cboAddress->lineEdit());
    QCOMPARE(m_form->childAt(100, 80), static_cast<QWidget *>(m_engine));
    QCOMPARE(m_form->nextInFocusChain() == m_engine || m_engine->nextInFocusChain(), true);
}

void tst_Form1::clickReachesFrontArea_data()
{
    QTest::addColumn<QPoint>("twips");
    QTest::addColumn<QString>("receiver");

    QTest::newRow("exit icon: both areas, the front one") << QPoint(8100, 900) << "Label14";
    QTest::newRow("top row over Label2") << QPoint(1250, 100) << "Image2";
    QTest::newRow("top row, Forward") << QPoint(1400, 200) << "Image3";
    QTest::newRow("top row over Label6") << QPoint(7100, 100) << "Image7";
    QTest::newRow("Stop label strip") << QPoint(3000, 420) << "Label3";
    QTest::newRow("Back label strip below the box") << QPoint(600, 870) << "Label1";
    QTest::newRow("Back label under the box") << QPoint(600, 700) << "cboAddress";
    QTest::newRow("logo") << QPoint(8700, 950) << "Label16";
    QTest::newRow("clock") << QPoint(5500, 900) << "Label15";
    QTest::newRow("open") << QPoint(6300, 900) << "Label8";
    QTest::newRow("bare band") << QPoint(4000, 1000) << "Image1";
    QTest::newRow("the band's last pixel row lies under the engine") << QPoint(100, 1205)
                                                                     << "brwWebBrowser";
}

void tst_Form1::clickReachesFrontArea()
{
    QFETCH(QPoint, twips);
    QFETCH(QString, receiver);

    const QPoint at(twips.x() / 15, twips.y() / 15);
    QWidget *hit = m_form->childAt(at);
    QVERIFY(hit);
    while (hit->parentWidget() != m_form)
        hit = hit->parentWidget();
    QCOMPARE(hit->objectName(), receiver);

    if (auto *area = qobject_cast<ClickArea *>(hit)) {
        QSignalSpy clicked(area, &ClickArea::clicked);
        QTest::mouseClick(m_form->windowHandle(), Qt::LeftButton, {}, at);
        QCOMPARE(clicked.count(), 1);
    }
}

void tst_Form1::nothingMovesOnResize()
{
    const QRect box = m_form->cboAddress->geometry();
    const QRect engine = m_form->brwWebBrowser->geometry();
    const QRect label = m_form->area("Label16")->geometry();
    m_form->showNormal();
    m_form->resize(500, 300);
    QTRY_COMPARE(m_form->size(), QSize(500, 300));
    QCOMPARE(m_form->cboAddress->geometry(), box);
    QCOMPARE(m_form->brwWebBrowser->geometry(), engine);
    QCOMPARE(m_form->area("Label16")->geometry(), label);
    QCOMPARE(m_form->StatusBar1->geometry(), QRect(0, 300 - 17, 500, 17));
}

void tst_Form1::bandDrawnForTheScreensDensity_data()
{
    QTest::addColumn<qreal>("ratio");
    QTest::addColumn<QString>("file");
    QTest::newRow("1x") << 1.0 << ":/assets/band.jpg";
    QTest::newRow("2x") << 2.0 << ":/assets/band@2x.jpg";
}

// Painted at a device pixel ratio, the band is the drawing made for it, at the same
// logical size: a 2x screen gets the 1280 x 162 drawing, not the 640 x 81 one enlarged.
void tst_Form1::bandDrawnForTheScreensDensity()
{
    QFETCH(qreal, ratio);
    QFETCH(QString, file);
    ClickArea *band = m_form->area("Image1");
    QImage painted(band->size() * ratio, QImage::Format_RGB32);
    painted.setDevicePixelRatio(ratio);
    band->render(&painted);
    const QImage drawn = QImage(file).convertToFormat(QImage::Format_RGB32);
    QCOMPARE(drawn.size(), QSize(640, 81) * ratio);
    QCOMPARE(painted, drawn);
}

void tst_Form1::enterNavigatesThenAppends_data()
{
    QTest::addColumn<QStringList>("typed");
    QTest::addColumn<QStringList>("list");

    QTest::newRow("one address") << QStringList{"example.org"} << QStringList{"example.org"};
    QTest::newRow("duplicates kept") << QStringList{"a.org", "a.org"} << QStringList{"a.org", "a.org"};
    QTest::newRow("empty entry") << QStringList{""} << QStringList{""};
    QTest::newRow("order of sending") << QStringList{"b.org", "a.org", "c.org"}
                                      << QStringList{"b.org", "a.org", "c.org"};
    QTest::newRow("text as typed") << QStringList{"  Mixed Case  "} << QStringList{"  Mixed Case  "};
}

void tst_Form1::enterNavigatesThenAppends()
{
    QFETCH(QStringList, typed);
    QFETCH(QStringList, list);

    QStringList expectedCalls;
    for (const QString &text : typed) {
        typeAndEnter(text);
        expectedCalls << QStringLiteral("Navigate(%1)").arg(text);
    }
    QCOMPARE(m_engine->calls, expectedCalls);
    QCOMPARE(listEntries(), list);
    QVERIFY(!m_form->timTimer->isActive()); // Enter is not a pick
}

void tst_Form1::enterNavigatesBeforeAppending()
{
    // Enter right after start sends the default text; the engine answers at once,
    // and the list takes the text as it reads after the call.
    connect(m_engine, &FakeWebBrowser::DownloadComplete, this, [this] {
        QCOMPARE(m_form->cboAddress->count(), 0);
    });
    int keyAscii = 13;
    m_form->cboAddress_KeyPress(keyAscii);
    QCOMPARE(keyAscii, 13);
    QCOMPARE(m_engine->calls, QStringList{"Navigate(www.example.com)"});
    QCOMPARE(listEntries(), QStringList{"www.example.com"});
}

void tst_Form1::refusedEnterAppendsNothingAndSaysSo()
{
    typeAndEnter("good.org");
    m_engine->refusing.insert("Navigate");
    typeAndEnter("http://[::1");
    QCOMPARE(listEntries(), QStringList{"good.org"});
    auto *message = m_form->findChild<QLabel *>("addressMessage");
    QVERIFY(message);
    QVERIFY(message->isVisible());
    QVERIFY(message->text().contains("http://[::1"));
    QVERIFY(message->text().contains(m_engine->lastError()));
    QCOMPARE(m_form->cboAddress->currentText(), QStringLiteral("http://[::1")); // nothing lost
    QVERIFY(m_platform->calls.isEmpty()); // and the program goes on

    // Typing on takes the report away; a good address is taken again.
    m_engine->refusing.clear();
    QTest::keyClick(m_form->cboAddress, Qt::Key_Backspace);
    QTest::keyClick(m_form->cboAddress, 'x');
    QVERIFY(!message->isVisible());
    typeAndEnter("next.org");
    QCOMPARE(listEntries(), (QStringList{"good.org", "next.org"}));
}

void tst_Form1::otherKeysDoNothing()
{
    QTest::keyClicks(m_form->cboAddress, "abc");
    QTest::keyClick(m_form->cboAddress, Qt::Key_Escape);
    QVERIFY(m_engine->calls.isEmpty());
    QCOMPARE(m_form->cboAddress->count(), 0);
}

void tst_Form1::pickNavigatesAndStartsWatcher_data()
{
    QTest::addColumn<QString>("entry");
    QTest::addColumn<QStringList>("calls");

    QTest::newRow("address") << "b.org" << QStringList{"Navigate(b.org)"};
    QTest::newRow("empty entry") << "" << QStringList{};
}

void tst_Form1::pickNavigatesAndStartsWatcher()
{
    QFETCH(QString, entry);
    QFETCH(QStringList, calls);

    m_form->cboAddress->addItem("a.org");
    m_form->cboAddress->addItem(entry);
    m_form->cboAddress->addItem("c.org");
    m_engine->busy = true; // keep the watcher running so it can be seen
    m_form->cboAddress->setCurrentIndex(1);
    emit m_form->cboAddress->activated(1);

    QVERIFY(m_form->timTimer->isActive());
    QCOMPARE(m_engine->calls, calls);
    QCOMPARE(listEntries(), (QStringList{"a.org", entry, "c.org"}));

    // A refused pick is ignored: the watcher still runs and nothing else changes.
    m_engine->refusing.insert("Navigate");
    m_form->cboAddress->setCurrentIndex(2);
    emit m_form->cboAddress->activated(2);
    QVERIFY(m_form->timTimer->isActive());
    QCOMPARE(listEntries().size(), 3);
}

void tst_Form1::pickOfListedTextByEnterIsNoPick()
{
    // Typing a listed text, with Enter or leaving the box, is not a pick.
    typeAndEnter("a.org");
    typeAndEnter("b.org");
    typeAndEnter("a.org");
    m_form->cboAddress->lineEdit()->setText("b.org");
    m_form->brwWebBrowser->setFocus();
    emit m_form->cboAddress->lineEdit()->editingFinished();
    QVERIFY(!m_form->timTimer->isActive());
    QCOMPARE(m_engine->calls,
             (QStringList{"Navigate(a.org)", "Navigate(b.org)", "Navigate(a.org)"}));
}

void tst_Form1::downloadCompleteReplacesText()
{
    typeAndEnter("a.org");
    QTest::keyClicks(m_form->cboAddress, "half-typ");
    m_engine->finishLoad("http://a.org/", "A");
    QCOMPARE(m_form->cboAddress->currentText(), QStringLiteral("http://a.org/"));
    m_engine->finishLoad("http://a.org/frame", "A");
    QCOMPARE(m_form->cboAddress->currentText(), QStringLiteral("http://a.org/frame"));
    QCOMPARE(listEntries(), QStringList{"a.org"});
    QVERIFY(!m_form->timTimer->isActive()); // never a pick
    QCOMPARE(m_engine->calls, QStringList{"Navigate(a.org)"});
}

void tst_Form1::unreadableLocationLeavesText()
{
    m_form->cboAddress->setEditText("typed");
    m_engine->refusing.insert("LocationURL");
    m_engine->finishLoad("http://a.org/");
    QCOMPARE(m_form->cboAddress->currentText(), QStringLiteral("typed"));
}

QTEST_MAIN(tst_Form1)
#include "tst_form1.moc"
