#include "timewin/handsweep.h"

#include <QTest>

#include <cmath>

namespace {

struct Tip
{
    float x, y;
    double angle; // the angle the next tick will draw
};

// The dial's arithmetic written out once more, apart from the code under test: the
// angle summed in double and never folded back, the tip stored in single precision.
Tip referenceTip(long ticks, double piOver180)
{
    Tip tip{1320.0f, 1680.0f, 0.0};
    for (long i = 0; i < ticks; ++i, tip.angle += 0.4)
        tip = {float(1320.0 + 360.0 * std::sin(tip.angle * piOver180)),
               float(2040.0 - 360.0 * std::cos(tip.angle * piOver180)), tip.angle};
    return tip;
}

LineCoords sweep(HandSweep &hand, long ticks, LineCoords line = {1320, 2040, 1320, 1680})
{
    hand.load(line);
    while (ticks-- > 0)
        hand.tick(line);
    return line;
}

} // namespace

class tst_HandSweep : public QObject
{
    Q_OBJECT

private slots:
    void loadMeasuresTheHand();
    void tipAfterTicks_data();
    void tipAfterTicks();
    void longRunKeepsTheDrift();
    void startsAtTwelveAndReadsThePivotBack();
};

void tst_HandSweep::loadMeasuresTheHand()
{
    HandSweep hand;
    hand.load({0, 0, 3, 4});
    QCOMPARE(hand.handLength(), 5.0);
    // 2^24 - 0.5 has no single-precision value: the difference is taken in single and rounds to 2^24.
    hand.load({16777216, 0, 0.5f, 0});
    QVERIFY2(hand.handLength() == 16777216.0, qPrintable(QString::number(hand.handLength(), 'g', 17)));
}

void tst_HandSweep::tipAfterTicks_data()
{
    QTest::addColumn<int>("ticks");
    QTest::addColumn<double>("x2");
    QTest::addColumn<double>("y2");

    QTest::newRow("1: 0 degrees") << 1 << 1320.0 << 1680.0;
    QTest::newRow("2: 0.4 degrees") << 2 << 1322.514 << 1680.009;
    QTest::newRow("226: 90 degrees") << 226 << 1680.000 << 2040.228;
    QTest::newRow("451: 180 degrees") << 451 << 1319.545 << 2400.000;
    QTest::newRow("676: 270 degrees") << 676 << 960.001 << 2039.317;
    QTest::newRow("901: 360 degrees") << 901 << 1320.910 << 1680.001;
}

void tst_HandSweep::tipAfterTicks()
{
    QFETCH(int, ticks);
    QFETCH(double, x2);
    QFETCH(double, y2);
    HandSweep hand;
    const LineCoords line = sweep(hand, ticks);
    QVERIFY2(std::abs(line.x2 - x2) < 0.0005 && std::abs(line.y2 - y2) < 0.0005,
             qPrintable(QStringLiteral("%1, %2").arg(line.x2, 0, 'f', 4).arg(line.y2, 0, 'f', 4)));
}

void tst_HandSweep::longRunKeepsTheDrift()
{
    constexpr long ticks = 100000;
    HandSweep hand;
    const LineCoords line = sweep(hand, ticks);
    const Tip expected = referenceTip(ticks, (22.0 / 7.0) / 180.0);
    // Bit for bit: by now true pi would have put the hand some 16 degrees behind, and
    // single-precision arithmetic anywhere would show in the last bits.
    QVERIFY(line.x2 == expected.x && line.y2 == expected.y);
    // The plain running sum of about 40000 degrees: neither folded below 360 nor 0.4 * n.
    QVERIFY2(hand.sweepAngle() == expected.angle, qPrintable(QString::number(hand.sweepAngle(), 'g', 17)));
}

void tst_HandSweep::startsAtTwelveAndReadsThePivotBack()
{
    HandSweep hand;
    LineCoords line = sweep(hand, 1, {1320, 2040, 1680, 2040}); // drawn pointing at 3 o'clock
    QCOMPARE(QPointF(line.x2, line.y2), QPointF(1320, 1680));
    line = {100, 500, line.x2, line.y2};
    hand.tick(line);
    const double radians = 0.4 * (22.0 / 7.0) / 180.0;
    QCOMPARE(line.x2, float(100.0 + 360.0 * std::sin(radians)));
    QCOMPARE(line.y2, float(500.0 - 360.0 * std::cos(radians)));
}

QTEST_APPLESS_MAIN(tst_HandSweep)
#include "tst_handsweep.moc"
