#include "about/aboutwindow.h"
#include "about/form2.h"
#include "timewin/form3.h"
#include "twips.h"

#include <QAccessible>
#include <QApplication>
#include <QMetaEnum>
#include <QLabel>
#include <QPushButton>
#include <QTest>
#include <QTimer>

#include <cmath>

// The About window's size when its opening starts, and the ticks until it is full.
struct Opening { float width, height; int ticks; };
// The locale, the time the clock reads, how much later it reads a second time, and the date then shown.
struct Readout { QString locale; QDateTime now; int laterReadMs; QDate date; };
// Ticks of the dial hand from the line as the first tick finds it, and where its tip is then.
struct Sweep { int ticks; LineCoords before; QPointF tip; };

// The About window, its opening ticked by hand with the main window's timer; the time window, its
// readouts against an injected clock and its dial hand, tick by tick, against the design's tips.
class tst_SmallWindows : public QObject
{
    Q_OBJECT
    QWidget m_main;
    QTimer m_timer;
    QPointer<Form2> m_about;
    QPointer<Form3> m_time;

    // Ticks until the timer stops itself, each step growing the window by 500 twips (to a pixel); -1 if one did not.
    int tickUntilStopped()
    {
        int ticks = 0;
        for (; m_timer.isActive() && ticks < 20; ++ticks) {
            const QSizeF before(m_about->Width(), m_about->Height());
            growAboutWindow(m_about, &m_main, &m_timer);
            const QSizeF step = QSizeF(m_about->Width(), m_about->Height()) - before - QSizeF(500, 500);
            if (std::min(step.width(), step.height()) < 0 || std::max(step.width(), step.height()) >= kTwipsPerPixel
                || m_timer.isActive() == (m_about->Width() >= 3000 || m_about->Height() >= 3000))
                return -1;
        }
        return ticks;
    }
    QSize smallestOuter() const { return m_about->frameGeometry().size() - m_about->size() + QSize(1, 1); }

    static QString text(const QWidget *form, const char *label) { return form->findChild<QLabel *>(label)->text(); }
    // A window as assistive technology reads it: its role and name, then each part's.
    static QStringList heard(QWidget *window)
    {
        QAccessibleInterface *top = QAccessible::queryAccessibleInterface(window);
        QStringList heard;
        for (int i = -1; i < top->childCount(); ++i) {
            QAccessibleInterface *part = i < 0 ? top : top->child(i);
            heard << QMetaEnum::fromType<QAccessible::Role>().valueToKey(part->role()) + (' ' + part->text(QAccessible::Name));
        }
        return heard;
    }

private slots:
    void cleanup()
    {
        delete m_about.data();
        delete m_time.data();
        m_timer.stop();
        m_main.hide();
    }

    void openingAnimation_data()
    {
        QTest::addColumn<Opening>("opening");
        QTest::newRow("from nothing") << Opening{0.0f, 0.0f, 6};
        QTest::newRow("already full") << Opening{3000.0f, 0.0f, 1};
        // 166 pixels and a step make exactly 3000 twips, which is full.
        QTest::newRow("width one step short") << Opening{2490.0f, 0.0f, 1};
        QTest::newRow("height one step short") << Opening{0.0f, 2490.0f, 1};
        QTest::newRow("sizes the window rounds up") << Opening{1000.0f, 1010.0f, 4};
    }
    void openingAnimation()
    {
        QFETCH(Opening, opening);
        const auto [width, height, ticks] = opening;
        openAboutWindow(m_about, &m_main, &m_timer);
        QVERIFY(m_timer.isActive() && m_about->isVisible() && !m_about->isModal());
        const QList<QSize> icons = m_about->windowIcon().availableSizes(); // 64: the 32 drawing for 2x screens
        QVERIFY(icons.size() == 3 && icons.contains(QSize(16, 16)) && icons.contains(QSize(32, 32)) && icons.contains(QSize(64, 64)));
        QCOMPARE(m_about->frameGeometry().size(), smallestOuter()); // opened collapsed
        const QPoint at = m_about->frameGeometry().topLeft();
        m_about->setWidth(width);
        m_about->setHeight(height);
        QCOMPARE(tickUntilStopped(), ticks);
        QCOMPARE(m_about->frameGeometry().topLeft(), at);
        QCOMPARE(heard(m_about), QStringList({"Window About Velt Browser", "StaticText " + text(m_about, "Label1"),
                                              "StaticText " + text(m_about, "Label2"), "Button OK"}));
        // The user cannot resize it: only its own size is allowed.
        QVERIFY(m_about->minimumSize() == m_about->size() && m_about->maximumSize() == m_about->size());
        QTRY_COMPARE(QApplication::focusWidget(), m_about->findChild<QPushButton *>("Command1"));
    }

    void okShowsMainWindowThenHidesAndCollapses()
    {
        openAboutWindow(m_about, &m_main, &m_timer);
        QCOMPARE(tickUntilStopped(), 6);
        QVERIFY(QTest::qWaitForWindowActive(m_about));
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Enter, Qt::KeypadModifier); // OK, from the keyboard
        QVERIFY(m_main.isVisible() && m_about && !m_about->isVisible()); // hidden, not discarded
        QCOMPARE(m_about->frameGeometry().size(), smallestOuter());
        // The timer then grows the hidden window back without showing it.
        QCOMPARE(tickUntilStopped(), 6);
        QVERIFY(!m_about->isVisible());
        m_main.hide();
        openAboutWindow(m_about, &m_main, &m_timer);
        QVERIFY(QTest::qWaitForWindowActive(m_about));
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Escape); // Escape presses OK too
        QVERIFY(m_main.isVisible() && !m_about->isVisible());
    }

    void readouts_data()
    {
        QTest::addColumn<Readout>("readout");
        const QDateTime afternoon(QDate(2026, 12, 5), QTime(15, 7, 45));
        for (const char *locale : {"en_US", "de_DE", "C", "zh_CN", "fa_IR"}) // zone first, in brackets, own digits
            QTest::newRow(locale) << Readout{locale, afternoon, 0, afternoon.date()};
        // A tick across midnight shows the old day's time with the new date: the time is read first.
        QTest::newRow("across midnight")
                << Readout{"en_US", QDateTime(QDate(2026, 12, 5), QTime(23, 59, 59, 950)), 100, QDate(2026, 12, 6)};
    }
    // The locale's long time without its time zone, and its short date.
    void readouts()
    {
        QFETCH(Readout, readout);
        const auto &[locale, now, laterReadMs, date] = readout;
        int reads = 0;
        Form3 form(&m_main, {[&] { return now.addMSecs(reads++ ? laterReadMs : 0); }, [locale] { return QLocale(locale); }});
        form.Timer1_Timer();
        const QLocale l(locale);
        QString time = l.toString(now.time(), QLocale::LongFormat).remove(l.toString(now.time(), "t"));
        QCOMPARE(text(&form, "Label2"), time.remove("()").simplified());
        QCOMPARE(text(&form, "Label4"), l.toString(date, QLocale::ShortFormat));
    }

    void handTip_data()
    {
        QTest::addColumn<Sweep>("sweep");
        const LineCoords design{1320, 2040, 1320, 1680};
        QTest::newRow("226: 90 degrees") << Sweep{226, design, QPointF(1680.000, 2040.228)};
        // Pi as 22/7 and an angle never folded back: the drift adds up, turn after turn.
        QTest::newRow("100001: 40000 degrees") << Sweep{100001, design, QPointF(1618.804, 1839.212)};
        // The length is measured from the design whichever way it was drawn; the sweep starts at 12.
        QTest::newRow("drawn pointing at 3") << Sweep{1, LineCoords{1320, 2040, 1680, 2040}, QPointF(1320, 1680)};
    }
    void handTip()
    {
        QFETCH(Sweep, sweep);
        auto [ticks, before, tip] = sweep;
        HandSweep hand;
        LineCoords line = before;
        hand.load(line);
        while (ticks-- > 0)
            hand.tick(line);
        QVERIFY2(std::abs(line.x2 - tip.x()) < 0.0005 && std::abs(line.y2 - tip.y()) < 0.0005,
                 qPrintable(QStringLiteral("%1, %2").arg(line.x2, 0, 'f', 4).arg(line.y2, 0, 'f', 4)));
    }

    void handLengthInSinglePrecisionAndPivotReadBack()
    {
        HandSweep hand;
        hand.load({16777216, 0, 0.5f, 0}); // 2^24 - 0.5 has no single value: the difference rounds to 2^24
        QCOMPARE(hand.handLength(), 16777216.0);
        LineCoords line{1320, 2040, 1320, 1680};
        hand.load(line);
        hand.tick(line);
        line = {100, 500, line.x2, line.y2}; // the pivot moved between two ticks: the hand turns about it
        hand.tick(line);
        QVERIFY(std::abs(line.x2 - 102.514) < 0.0005 && std::abs(line.y2 - 140.009) < 0.0005);
    }

    void backHidesAndTheHandGoesOn()
    {
        Form3 *form = showTimeWindow(m_time, &m_main);
        QVERIFY(QTest::qWaitForWindowActive(form));
        QCOMPARE(QApplication::focusWidget(), form->findChild<QPushButton *>("Command1"));
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Escape); // Back, from the keyboard
        // The main window starts hidden: Back has to show it, not only raise it.
        QTRY_VERIFY(m_main.isActiveWindow());
        QVERIFY(m_time && !form->isVisible()); // hidden, not discarded
        const double angle = form->hand().sweepAngle();
        const QString shown = text(form, "Label2");
        QTRY_VERIFY(form->hand().sweepAngle() > angle + 0.4 && text(form, "Label2") != shown);
        // Opening it again, even minimised, brings back the same window, and the sweep goes on.
        form->showMinimized();
        const double before = form->hand().sweepAngle();
        QCOMPARE(showTimeWindow(m_time, &m_main), form);
        QVERIFY(form->isVisible() && !form->isMinimized() && form->hand().sweepAngle() >= before);
        QVERIFY(QTest::qWaitForWindowActive(form));
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Return); // Return presses Back too
        QVERIFY(!form->isVisible());
        // Read out as a window, readouts with their captions, the dial as one named picture.
        QCOMPARE(heard(form), QStringList({"Window Time Zone", "StaticText Local Time " + text(form, "Label2"),
                 "StaticText Date " + text(form, "Label4"), "Graphic Dial with a hand sweeping round, not the time of day",
                 "Button Back"}));
        // Only a precise timer keeps the 1 ms the hand asks for.
        QCOMPARE(form->findChild<QTimer *>("Timer2")->timerType(), Qt::PreciseTimer);
    }
};

QTEST_MAIN(tst_SmallWindows)
#include "tst_smallwindows.moc"
