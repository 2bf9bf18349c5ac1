#include "twips.h"
#include "timewin/form3.h"
#include "timewin/form3layout.h"
#include "lineshape.h"

#include <QApplication>
#include <QLabel>
#include <QPaintEvent>
#include <QPointer>
#include <QPushButton>
#include <QTest>
#include <QTimer>

#include <algorithm>

namespace {

// Records the paint events of the widgets it watches, in the window's coordinates.
class PaintRecorder : public QObject
{
public:
    QList<QRect> painted;
    bool eventFilter(QObject *watched, QEvent *event) override
    {
        if (event->type() == QEvent::Paint) {
            auto *widget = static_cast<QWidget *>(watched);
            painted += static_cast<QPaintEvent *>(event)->rect().translated(widget->isWindow() ? QPoint() : widget->pos());
        }
        return false;
    }
};

QString text(const Form3 *form, const char *label)
{
    return form->findChild<QLabel *>(QString::fromLatin1(label))->text();
}

} // namespace

class tst_Form3 : public QObject
{
    Q_OBJECT

private slots:
    void init() { m_main = new QWidget; }
    void cleanup() { delete m_slot.data(); delete m_main; }

    void window();
    void controlsFollowTheTable();
    void readouts_data();
    void readouts();
    void backKeepsTimersAndHandGoing();
    void closingDiscardsAndReopeningStartsAfresh();
    void pictureAndRepaints();

private:
    QWidget *m_main = nullptr;
    QPointer<Form3> m_slot;
};


void tst_Form3::window()
{
    Form3 *form = showTimeWindow(m_slot, m_main);
    QCOMPARE(form->windowTitle(), QStringLiteral("Time Zone"));
    QVERIFY(form->windowIcon().availableSizes().contains(QSize(32, 32)));
    // Only a precise timer keeps the 1 ms the hand asks for.
    QCOMPARE(form->findChild<QTimer *>(QStringLiteral("Timer2"))->timerType(), Qt::PreciseTimer);
    QVERIFY(QTest::qWaitForWindowActive(form));
    QCOMPARE(QApplication::focusWidget(), form->findChild<QPushButton *>(QStringLiteral("Command1")));
    // Never two: opening again, even minimised, brings back the same window.
    QCOMPARE(showTimeWindow(m_slot, m_main), form);
    form->showMinimized();
    QCOMPARE(showTimeWindow(m_slot, m_main), form);
    QVERIFY(!form->isMinimized());
}

// Every control against its row, and the stacking order: children run back to front.
void tst_Form3::controlsFollowTheTable()
{
    using namespace Form3Layout;
    Form3 form(m_main);
    QCOMPARE(form.size(), toPixels(kClientArea).size());
    QList<QWidget *> frontToBack = form.findChildren<QWidget *>(Qt::FindDirectChildrenOnly);
    std::reverse(frontToBack.begin(), frontToBack.end());
    QCOMPARE(frontToBack.size(), qsizetype(kControls.size()));
    for (size_t i = 0; i < kControls.size(); ++i) {
        const Control &row = kControls[i];
        QWidget *widget = frontToBack[i];
        QCOMPARE(widget->objectName(), QString::fromLatin1(row.name));
        if (auto *line = qobject_cast<LineShape *>(widget)) {
            const LineCoords at = line->line();
            QCOMPARE(QLineF(at.x1, at.y1, at.x2, at.y2), QLineF(row.line.x1, row.line.y1, row.line.x2, row.line.y2));
            QCOMPARE(line->colour().role, row.lineColour);
            const QLineF pixels = toPixelsF(QLineF(at.x1, at.y1, at.x2, at.y2));
            QVERIFY(QRectF(line->geometry()).contains(pixels.p1()) && QRectF(line->geometry()).contains(pixels.p2()));
            continue;
        }
        QCOMPARE(widget->geometry(), toPixels(row.at));
        QCOMPARE(widget->property("text").toString(), QString::fromLatin1(row.text));
        QCOMPARE(widget->font().pointSizeF(), row.font == Font::Small ? kSmallFontPoints : kWindowFontPoints);
        if (auto *label = qobject_cast<QLabel *>(widget)) {
            QCOMPARE(label->palette().color(QPalette::WindowText), QColor::fromRgb(row.textColour));
            QCOMPARE(label->autoFillBackground(), row.fill.has_value());
            if (row.fill)
                QCOMPARE(label->palette().color(QPalette::Window), QColor::fromRgb(*row.fill));
        }
    }
}

void tst_Form3::readouts_data()
{
    QTest::addColumn<QString>("locale");
    QTest::addColumn<QDateTime>("now");
    QTest::addColumn<int>("laterReadMs"); // how much later the clock is read a second time
    QTest::addColumn<QString>("time");
    QTest::addColumn<QString>("date");

    const QDateTime afternoon(QDate(2026, 12, 5), QTime(15, 7, 45));
    QTest::newRow("en_US") << "en_US" << afternoon << 0 << "3:07:45 PM" << "12/5/26";
    QTest::newRow("de_DE") << "de_DE" << afternoon << 0 << "15:07:45" << "05.12.26";
    QTest::newRow("C") << "C" << afternoon << 0 << "15:07:45" << "5 Dec 2026";
    QTest::newRow("midnight") << "en_US" << QDateTime(QDate(2026, 12, 5), QTime(0, 0)) << 0 << "12:00:00 AM" << "12/5/26";
    // A tick across midnight shows the old day's time with the new date: the time is read first.
    QTest::newRow("across midnight") << "en_US" << QDateTime(QDate(2026, 12, 5), QTime(23, 59, 59, 950)) << 100
                                     << "11:59:59 PM" << "12/6/26";
    // Locales that put the time zone first or in brackets.
    QTest::newRow("zh_CN") << "zh_CN" << afternoon << 0 << "15:07:45" << "2026/12/5";
    QTest::newRow("fa_IR") << "fa_IR" << afternoon << 0 << QString::fromUtf8("۱۵:۰۷:۴۵") << QString::fromUtf8("۲۰۲۶/۱۲/۵");
}

void tst_Form3::readouts()
{
    QFETCH(QString, locale);
    QFETCH(QDateTime, now);
    QFETCH(int, laterReadMs);
    QFETCH(QString, time);
    QFETCH(QString, date);

    int reads = 0;
    Form3 form(m_main, {[&] { return now.addMSecs(reads++ ? laterReadMs : 0); }, [locale] { return QLocale(locale); }});
    form.Timer1_Timer();
    QCOMPARE(text(&form, "Label2"), time);
    QCOMPARE(text(&form, "Label4"), date);
}

void tst_Form3::backKeepsTimersAndHandGoing()
{
    int reads = 0;
    // The main window starts hidden: Back has to show it, not only raise it.
    Form3 *form = showTimeWindow(m_slot, m_main, {[&reads] { return QDateTime(QDate(2026, 12, 5), QTime(10, 0)).addSecs(++reads); },
                                                  [] { return QLocale(QStringLiteral("de_DE")); }});
    QVERIFY(QTest::qWaitForWindowActive(form));
    QTRY_VERIFY(form->hand().sweepAngle() > 0.0);

    QTest::mouseClick(form->findChild<QPushButton *>(QStringLiteral("Command1")), Qt::LeftButton);
    QTRY_VERIFY(m_main->isActiveWindow());
    QVERIFY(m_slot && !form->isVisible() && m_main->isVisible()); // hidden, not discarded

    const double angle = form->hand().sweepAngle();
    const float tipX = form->line10().x2;
    const QString shown = text(form, "Label2");
    QTRY_VERIFY(form->hand().sweepAngle() > angle + 0.4);
    QVERIFY(form->line10().x2 != tipX);
    QTRY_VERIFY(text(form, "Label2") != shown);

    // Opening it again runs no load step: the sweep goes on from where it was.
    const double before = form->hand().sweepAngle();
    QCOMPARE(showTimeWindow(m_slot, m_main), form);
    QVERIFY(form->isVisible() && form->hand().sweepAngle() >= before);
}

void tst_Form3::closingDiscardsAndReopeningStartsAfresh()
{
    Form3 *first = showTimeWindow(m_slot, m_main);
    for (int i = 0; i < 100; ++i)
        first->Timer2_Timer();
    first->Timer1_Timer();
    QVERIFY(first->close());
    QTRY_VERIFY(m_slot.isNull());

    Form3 *second = showTimeWindow(m_slot, m_main);
    QCOMPARE(second->hand().sweepAngle(), 0.0);
    QCOMPARE(QPointF(second->line10().x2, second->line10().y2), QPointF(1320, 1680));
    QVERIFY(text(second, "Label2").isEmpty() && text(second, "Label4").isEmpty());
    // Timer1 fills both on its own.
    QTRY_VERIFY(!text(second, "Label2").isEmpty() && !text(second, "Label4").isEmpty());
}

void tst_Form3::pictureAndRepaints()
{
    Form3 *form = showTimeWindow(m_slot, m_main);
    QVERIFY(QTest::qWaitForWindowExposed(form));
    const QImage image = form->grab().toImage();
    QCOMPARE(image.pixelColor(5, 5), QColor(192, 192, 255));
    // Line9 lies over Line1 on the top edge of the frame, Line8 just below.
    QCOMPARE(image.pixelColor(100, 80), form->palette().color(QPalette::Button));
    QCOMPARE(image.pixelColor(100, 81), form->palette().color(QPalette::WindowText));
    // The hand at 12 o'clock, from the pivot up to y 1680 twips, drawn over the face.
    int darkOnHand = 0;
    for (int y = 114; y < 134; ++y)
        darkOnHand += qGray(image.pixel(87, y)) < 200 || qGray(image.pixel(88, y)) < 200;
    QCOMPARE(darkOnHand, 20);

    // Hold the timers so that only the ticks below change anything.
    for (QTimer *timer : form->findChildren<QTimer *>())
        timer->stop();
    form->Timer2_Timer();
    QCoreApplication::processEvents();
    PaintRecorder recorder;
    form->installEventFilter(&recorder);
    for (QWidget *child : form->findChildren<QWidget *>())
        child->installEventFilter(&recorder);

    const LineCoords before = form->line10();
    form->Timer2_Timer();
    const QRect allowed = LineShape::paintBounds(before) | LineShape::paintBounds(form->line10());
    QTRY_VERIFY(!recorder.painted.isEmpty());
    QCoreApplication::processEvents();
    for (const QRect &rect : std::as_const(recorder.painted))
        QVERIFY2(allowed.contains(rect), qPrintable(QStringLiteral("%1,%2 %3x%4").arg(rect.x()).arg(rect.y()).arg(rect.width()).arg(rect.height())));

    form->Command1_Click();
    recorder.painted.clear();
    for (int i = 0; i < 50; ++i) {
        form->Timer2_Timer();
        form->Timer1_Timer();
        QCoreApplication::processEvents();
    }
    QVERIFY(recorder.painted.isEmpty());
}

QTEST_MAIN(tst_Form3)
#include "tst_form3.moc"
