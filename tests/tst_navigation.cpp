#include "clickarea.h"
#include "fakes/fakeplatform.h"
#include "fakes/fakewebbrowser.h"
#include "form1.h"
#include "statusbar.h"

#include <QComboBox>
#include <QLabel>
#include <QTest>
#include <QTimer>

// The six navigation buttons and the hints of the picture band, against the fake engine.
class tst_Navigation : public QObject
{
    Q_OBJECT
    FakePlatform m_platform;
    FakeWebBrowser *m_engine = nullptr;
    Form1 *m_form = nullptr;

    QPoint centreOf(const char *area) const { return m_form->area(area)->geometry().center(); }
    void moveTo(QPoint at) { QTest::mouseMove(m_form->windowHandle(), at); }
    QString panel(int number) const { return m_form->StatusBar1->panelText(number); }

private slots:
    void init()
    {
        m_engine = new FakeWebBrowser;
        m_form = new Form1(m_engine, m_platform);
        m_form->Form_Load();
        QVERIFY(QTest::qWaitForWindowExposed(m_form));
    }
    void cleanup() { delete m_form; }

    void button_data()
    {
        QTest::addColumn<QByteArray>("image");
        QTest::addColumn<QByteArray>("label");
        QTest::addColumn<QString>("operation");
        QTest::newRow("  Back") << QByteArray("Image2") << QByteArray("Label1") << "GoBack";
        QTest::newRow("  Forward") << QByteArray("Image3") << QByteArray("Label2") << "GoForward";
        QTest::newRow("  Stop") << QByteArray("Image4") << QByteArray("Label3") << "Stop";
        QTest::newRow("  Refresh") << QByteArray("Image5") << QByteArray("Label4") << "Refresh";
        QTest::newRow("  Home") << QByteArray("Image6") << QByteArray("Label5") << "GoHome";
        QTest::newRow("  Search") << QByteArray("Image7") << QByteArray("Label6") << "GoSearch";
    }
    // Both click areas of a button reach its one operation, a refused one is ignored,
    // none follows its load, and the picture names the button (the row's name is its hint).
    void button()
    {
        QFETCH(QByteArray, image);
        QFETCH(QByteArray, label);
        QFETCH(QString, operation);
        const QString hint = QString::fromLatin1(QTest::currentDataTag());
        QCOMPARE(panel(1), QString());
        moveTo(centreOf(image.constData()));
        QCOMPARE(panel(1), hint);
        QVERIFY(m_engine->calls.isEmpty());

        m_form->cboAddress->setEditText(QStringLiteral("typed"));
        m_form->setWindowTitle(QStringLiteral("A - Ovo "));
        m_form->StatusBar1->setPanelText(2, QStringLiteral("Done"));
        m_form->StatusBar1->setPanelText(1, QStringLiteral("before"));
        QTest::mouseClick(m_form->windowHandle(), Qt::LeftButton, {}, centreOf(image.constData()));
        QCOMPARE(m_engine->calls, QStringList{operation});
        QCOMPARE(panel(1), image == "Image2" ? hint : QStringLiteral("before")); // only Back names itself

        m_engine->refusing.insert(operation);
        m_form->StatusBar1->setPanelText(1, QStringLiteral("before"));
        emit m_form->area(label.constData())->clicked(); // most labels lie under the picture row
        QCOMPARE(m_engine->calls, (QStringList{operation, operation}));
        QCOMPARE(panel(1), QStringLiteral("before"));
        QCOMPARE(m_form->cboAddress->currentText(), QStringLiteral("typed"));
        QCOMPARE(m_form->windowTitle(), QStringLiteral("A - Ovo "));
        QCOMPARE(panel(2), QStringLiteral("Done"));
        QVERIFY(!m_form->timTimer->isActive());
        QVERIFY(!m_form->findChild<QLabel *>(QStringLiteral("addressMessage"))->isVisible());
    }

    void hintFollowsThePointerAcrossTheBand()
    {
        const QPoint bareBand(4000 / 15, 1000 / 15); // no other area covers it
        QCOMPARE(m_form->childAt(bareBand), static_cast<QWidget *>(m_form->area("Image1")));
        const QPoint page = m_form->brwWebBrowser->geometry().center();
        const QList<QPoint> path{page, centreOf("Image2"), bareBand,
                                 centreOf("Image2") + QPoint(40, 0), // Back's right edge
                                 m_form->area("Image3")->geometry().topLeft() + QPoint(1, 5),
                                 page, m_form->cboAddress->geometry().center(),
                                 centreOf("Label7"), // a command icon in front of the band
                                 bareBand + QPoint(5, 0)};
        QStringList seen;
        for (const QPoint at : path) {
            moveTo(at);
            seen << panel(1);
        }
        QCOMPARE(seen, (QStringList{"", "  Back", "  ", "  Back", "  Forward", "  Forward", "  Forward",
                                    "  Forward", "  "}));
    }
};

QTEST_MAIN(tst_Navigation)
#include "tst_navigation.moc"
