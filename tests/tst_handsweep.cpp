#include "timewin/handsweep.h"

#include <QTest>

#include <cmath>
#include <cstring>
#include <numbers>

namespace {

constexpr LineCoords kDesignedHand{1320, 2040, 1320, 1680};

struct Tip
{
    float x;
    float y;
    double angle;  // the angle the next tick will draw
    double exactX; // the last tip before rounding to single
    double exactY;
};

// The dial's arithmetic written out once more, apart from the code under test:
// pi as 22/7, the angle summed in double and never folded back, the tip stored
// in single precision. piOver180 lets the test show what true pi would give.
Tip referenceTip(long ticks, double piOver180 = (22.0 / 7.0) / 180.0)
{
    const double length = 360.0;
    Tip tip{1320.0f, 1680.0f, 0.0, 1320.0, 1680.0};
    for (long i = 0; i < ticks; ++i) {
        const double radians = tip.angle * piOver180;
        tip.exactX = 1320.0 + length * std::sin(radians);
        tip.exactY = 2040.0 - length * std::cos(radians);
        tip.x = static_cast<float>(tip.exactX);
        tip.y = static_cast<float>(tip.exactY);
        tip.angle += 0.4;
    }
    return tip;
}

// QCOMPARE allows doubles a relative 1e-12; the sums here must match to the bit.
bool same(double a, double b)
{
    return std::memcmp(&a, &b, sizeof a) == 0;
}

LineCoords sweep(long ticks)
{
    HandSweep hand;
    LineCoords line = kDesignedHand;
    hand.load(line);
    for (long i = 0; i < ticks; ++i)
        hand.tick(line);
    return line;
}

} // namespace

class tst_HandSweep : public QObject
{
    Q_OBJECT

private slots:
    void loadMeasuresTheHand_data();
    void loadMeasuresTheHand();
    void tipAfterTicks_data();
    void tipAfterTicks();
    void longRunKeepsTheDrift();
    void sweepStartsAtTwelveWhateverTheDrawnDirection();
    void pivotIsReadBackEachTick();
};

void tst_HandSweep::loadMeasuresTheHand_data()
{
    QTest::addColumn<float>("x1");
    QTest::addColumn<float>("y1");
    QTest::addColumn<float>("x2");
    QTest::addColumn<float>("y2");
    QTest::addColumn<double>("length");

    QTest::newRow("designed hand") << 1320.0f << 2040.0f << 1320.0f << 1680.0f << 360.0;
    QTest::newRow("drawn downwards") << 1320.0f << 2040.0f << 1320.0f << 2400.0f << 360.0;
    QTest::newRow("3-4-5") << 0.0f << 0.0f << 3.0f << 4.0f << 5.0;
    // 2^24 - 0.5 has no single-precision value: the difference rounds to 2^24.
    QTest::newRow("difference rounded to single") << 16777216.0f << 0.0f << 0.5f << 0.0f
                                                  << 16777216.0;
}

void tst_HandSweep::loadMeasuresTheHand()
{
    QFETCH(float, x1);
    QFETCH(float, y1);
    QFETCH(float, x2);
    QFETCH(float, y2);
    QFETCH(double, length);

    HandSweep hand;
    hand.load({x1, y1, x2, y2});
    QVERIFY2(same(hand.handLength(), length), qPrintable(QString::number(hand.handLength(), 'g', 17)));
    QVERIFY(same(hand.degToRad(), 0.01746031746031746));
    QVERIFY(same(hand.sweepAngle(), 0.0));
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

    const LineCoords line = sweep(ticks);
    QVERIFY2(std::abs(line.x2 - x2) < 0.0005, qPrintable(QString::number(line.x2, 'f', 4)));
    QVERIFY2(std::abs(line.y2 - y2) < 0.0005, qPrintable(QString::number(line.y2, 'f', 4)));
    QCOMPARE(line.x1, 1320.0f);
    QCOMPARE(line.y1, 2040.0f);
}

void tst_HandSweep::longRunKeepsTheDrift()
{
    constexpr long ticks = 100000;
    HandSweep hand;
    LineCoords line = kDesignedHand;
    hand.load(line);
    for (long i = 0; i < ticks; ++i)
        hand.tick(line);

    const Tip expected = referenceTip(ticks);
    // Bit for bit: the tip is stored in single precision, and the double it comes
    // from is not a single value here, so keeping doubles would show.
    QVERIFY(same(double(line.x2), double(expected.x)));
    QVERIFY(same(double(line.y2), double(expected.y)));
    QVERIFY(double(expected.x) != expected.exactX);
    QVERIFY(double(expected.y) != expected.exactY);

    // The angle is the plain running sum: about 40000 degrees, never folded to
    // below 360, and not the product 0.4 * n either.
    QVERIFY2(same(hand.sweepAngle(), expected.angle), qPrintable(QString::number(hand.sweepAngle(), 'g', 17)));
    QVERIFY(hand.sweepAngle() > 39999.0);
    QVERIFY(!same(expected.angle, 0.4 * ticks));

    // 22/7 instead of pi has carried the hand about 16 degrees ahead by now,
    // so the comparison above tells the two apart.
    const Tip truePi = referenceTip(ticks, std::numbers::pi / 180.0);
    QVERIFY(std::abs(truePi.x - expected.x) > 50.0 || std::abs(truePi.y - expected.y) > 50.0);
}

void tst_HandSweep::sweepStartsAtTwelveWhateverTheDrawnDirection()
{
    HandSweep hand;
    LineCoords line{1320, 2040, 1680, 2040}; // drawn pointing at 3 o'clock
    hand.load(line);
    hand.tick(line);
    QCOMPARE(line.x2, 1320.0f);
    QCOMPARE(line.y2, 1680.0f);
    hand.tick(line);
    QVERIFY(line.x2 > 1320.0f); // clockwise: the tip moves right from 12
}

void tst_HandSweep::pivotIsReadBackEachTick()
{
    HandSweep hand;
    LineCoords line = kDesignedHand;
    hand.load(line);
    hand.tick(line);
    line.x1 = 100.0f;
    line.y1 = 500.0f;
    hand.tick(line);
    QCOMPARE(line.x2, float(100.0 + 360.0 * std::sin(0.4 * (22.0 / 7.0) / 180.0)));
    QCOMPARE(line.y2, float(500.0 - 360.0 * std::cos(0.4 * (22.0 / 7.0) / 180.0)));
}

QTEST_APPLESS_MAIN(tst_HandSweep)
#include "tst_handsweep.moc"
