#include "app/twips.h"
#include "timewin/form3.h"
#include "timewin/form3layout.h"
#include "timewin/lineshape.h"

#include <QApplication>
#include <QFontDatabase>
#include <QFontInfo>
#include <QLabel>
#include <QPaintEvent>
#include <QPointer>
#include <QPushButton>
#include <QSignalSpy>
#include <QTest>
#include <QTimer>

#include <deque>

namespace {

LocalClock fixedClock(const char *localeName, const QDateTime &now)
{
    return {[now] { return now; }, [name = QString::fromLatin1(localeName)] { return QLocale(name); }};
}

// Records the paint events a widget receives, in its parent's coordinates.
class PaintRecorder : public QObject
{
public:
    explicit PaintRecorder(QWidget *watched) : QObject(watched) { watched->installEventFilter(this); }
    QList<QRect> painted;

protected:
    bool eventFilter(QObject *watched, QEvent *event) override
    {
        if (event->type() == QEvent::Paint) {
            auto *widget = static_cast<QWidget *>(watched);
            const QRect rect = static_cast<QPaintEvent *>(event)->rect();
            painted.append(widget->isWindow() ? rect : rect.translated(widget->pos()));
        }
        return false;
    }
};

QList<Form3 *> openTimeWindows()
{
    QList<Form3 *> found;
    for (QWidget *widget : QApplication::topLevelWidgets()) {
        if (auto *form = qobject_cast<Form3 *>(widget))
            found.append(form);
    }
    return found;
}

} // namespace

class tst_Form3 : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void cleanup();

    void window();
    void controlsFollowTheTable_data();
    void controlsFollowTheTable();
    void stackingOrder();
    void picture();
    void backHasTheFocus();

    void readouts_data();
    void readouts();
    void timeIsReadBeforeDate();
    void readoutsEmptyUntilFirstTick();

    void timersRunFromLoad();
    void backKeepsTimersAndHandGoing();
    void reopeningAfterBackKeepsState();
    void closingDiscardsAndReopeningStartsAfresh();
    void neverTwoInstances();
    void repaintsOnlyWhereTheHandWas();
    void noPaintingWhileHidden();

private:
    QWidget *m_main = nullptr;
    QPointer<Form3> m_slot;
};

void tst_Form3::init()
{
    m_main = new QWidget;
    m_main->setWindowTitle(QStringLiteral("main"));
    m_main->resize(200, 100);
}

void tst_Form3::cleanup()
{
    delete m_slot.data();
    delete m_main;
    m_main = nullptr;
}

void tst_Form3::window()
{
    Form3 *form = showTimeWindow(m_slot, m_main);
    QVERIFY(form->isWindow());
    QCOMPARE(form->parent(), nullptr);
    QCOMPARE(form->windowTitle(), QStringLiteral("Time Zone"));
    QCOMPARE(form->size(), QSize(312, 213)); // 4680 x 3195 twips
    QCOMPARE(form->palette().color(QPalette::Window), QColor(192, 192, 255));
    QVERIFY(form->autoFillBackground());
    QCOMPARE(form->windowType(), Qt::Window);
    QVERIFY(!(form->windowFlags() & Qt::FramelessWindowHint));
    QVERIFY(form->testAttribute(Qt::WA_DeleteOnClose));
    QVERIFY(form->windowIcon().availableSizes().contains(QSize(32, 32)));
    QVERIFY(!form->isModal());
    // Where the designed face is missing, an installed sans-serif stands in at the designed size.
    const auto *back = form->findChild<QPushButton *>(QStringLiteral("Command1"));
    QCOMPARE(back->font().pointSizeF(), 8.25);
    QCOMPARE(form->findChild<QLabel *>(QStringLiteral("Label1"))->font().pointSizeF(), 9.75);
    QVERIFY(QFontDatabase::families().contains(QFontInfo(back->font()).family()));
}

void tst_Form3::controlsFollowTheTable_data()
{
    QTest::addColumn<int>("row");
    for (int i = 0; i < int(Form3Layout::kControls.size()); ++i)
        QTest::newRow(Form3Layout::kControls[i].name) << i;
}

void tst_Form3::controlsFollowTheTable()
{
    QFETCH(int, row);
    using namespace Form3Layout;
    const Control &control = kControls[row];
    Form3 form(m_main);
    auto *widget = form.findChild<QWidget *>(QString::fromLatin1(control.name),
                                             Qt::FindDirectChildrenOnly);
    QVERIFY(widget);

    switch (control.kind) {
    case Kind::Label: {
        auto *label = qobject_cast<QLabel *>(widget);
        QVERIFY(label);
        QCOMPARE(label->geometry(), toPixels(control.at));
        QCOMPARE(label->text(), QString::fromLatin1(control.text));
        QCOMPARE(label->palette().color(QPalette::WindowText), QColor::fromRgb(control.textColour));
        QCOMPARE(label->autoFillBackground(), control.fill.has_value());
        if (control.fill)
            QCOMPARE(label->palette().color(QPalette::Window), QColor::fromRgb(*control.fill));
        QVERIFY(label->alignment() & Qt::AlignLeft);
        QVERIFY(!label->wordWrap());
        break;
    }
    case Kind::Line: {
        auto *line = qobject_cast<LineShape *>(widget);
        QVERIFY(line);
        const LineCoords at = line->line();
        QCOMPARE(at.x1, control.line.x1);
        QCOMPARE(at.y1, control.line.y1);
        QCOMPARE(at.x2, control.line.x2);
        QCOMPARE(at.y2, control.line.y2);
        QCOMPARE(line->colourRole(), control.lineColour);
        // The line's area holds the whole line.
        const QLineF pixels = toPixelsF(QLineF(at.x1, at.y1, at.x2, at.y2));
        QVERIFY(QRectF(line->geometry()).contains(pixels.p1()));
        QVERIFY(QRectF(line->geometry()).contains(pixels.p2()));
        break;
    }
    case Kind::Button: {
        auto *button = qobject_cast<QPushButton *>(widget);
        QVERIFY(button);
        QCOMPARE(button->geometry(), toPixels(control.at));
        QCOMPARE(button->text(), QString::fromLatin1(control.text));
        break;
    }
    }
}

void tst_Form3::stackingOrder()
{
    Form3 form(m_main);
    QStringList backToFront;
    for (QObject *child : form.children()) {
        if (child->isWidgetType())
            backToFront.prepend(child->objectName());
    }
    QStringList designed;
    for (const auto &control : Form3Layout::kControls)
        designed.append(QString::fromLatin1(control.name));
    QCOMPARE(backToFront, designed);
}

void tst_Form3::picture()
{
    Form3 *form = showTimeWindow(m_slot, m_main);
    QVERIFY(QTest::qWaitForWindowExposed(form));
    const QImage image = form->grab().toImage();
    const QPalette palette = form->palette();
    auto colourAt = [&image](int x, int y) { return image.pixelColor(x, y); };

    QCOMPARE(colourAt(5, 5), QColor(192, 192, 255));
    // Line9 lies over Line1 on the top edge, y 1200 twips.
    QCOMPARE(colourAt(100, 80), palette.color(QPalette::Button));
    // Line8 just below it.
    QCOMPARE(colourAt(100, 81), palette.color(QPalette::WindowText));
    // The face is white away from the hand and the numerals.
    QCOMPARE(colourAt(50, 170), QColor(Qt::white));

    // The hand at 12 o'clock, x 1320 twips, from y 2040 up to 1680: drawn over the face.
    int darkOnHand = 0;
    for (int y = 114; y < 134; ++y) {
        if (qGray(colourAt(87, y).rgb()) < 200 || qGray(colourAt(88, y).rgb()) < 200)
            ++darkOnHand;
    }
    QCOMPARE(darkOnHand, 20);

    // Numeral "3" is drawn in green over the face, and its rectangle, reaching over
    // the right-hand frame, lets the frame line x 2400 show through.
    const QRect three = toPixels({2040, 1920, 375, 255});
    bool green = false;
    for (int x = three.left(); x < 158; ++x) {
        for (int y = three.top(); y <= three.bottom(); ++y) {
            const QColor c = colourAt(x, y);
            green = green || (c.green() > 100 && c.red() < 100 && c.blue() < 100);
        }
    }
    QVERIFY(green);
    QCOMPARE(colourAt(160, three.center().y()), palette.color(QPalette::WindowText));
}

void tst_Form3::backHasTheFocus()
{
    Form3 *form = showTimeWindow(m_slot, m_main);
    QVERIFY(QTest::qWaitForWindowActive(form));
    auto *back = form->findChild<QPushButton *>(QStringLiteral("Command1"));
    QCOMPARE(QApplication::focusWidget(), back);
    for (QWidget *child : form->findChildren<QWidget *>()) {
        if (child != back)
            QCOMPARE(child->focusPolicy(), Qt::NoFocus);
    }
    QTest::keyClick(form, Qt::Key_Tab);
    QCOMPARE(QApplication::focusWidget(), back);
}

void tst_Form3::readouts_data()
{
    QTest::addColumn<QString>("locale");
    QTest::addColumn<QDateTime>("now");
    QTest::addColumn<QString>("time");
    QTest::addColumn<QString>("date");

    const QDateTime afternoon(QDate(2026, 12, 5), QTime(15, 7, 45));
    const QDateTime midnight(QDate(2026, 12, 5), QTime(0, 0, 0));
    QTest::newRow("en_US") << "en_US" << afternoon << "3:07:45 PM" << "12/5/26";
    QTest::newRow("de_DE") << "de_DE" << afternoon << "15:07:45" << "05.12.26";
    QTest::newRow("C") << "C" << afternoon << "15:07:45" << "5 Dec 2026";
    QTest::newRow("en_US midnight") << "en_US" << midnight << "12:00:00 AM" << "12/5/26";
    QTest::newRow("de_DE midnight") << "de_DE" << midnight << "00:00:00" << "05.12.26";
    // Locales that put the time zone first or in brackets.
    QTest::newRow("zh_CN") << "zh_CN" << afternoon << "15:07:45" << "2026/12/5";
    QTest::newRow("fa_IR") << "fa_IR" << afternoon << QString::fromUtf8("۱۵:۰۷:۴۵")
                           << QString::fromUtf8("۲۰۲۶/۱۲/۵");
}

void tst_Form3::readouts()
{
    QFETCH(QString, locale);
    QFETCH(QDateTime, now);
    QFETCH(QString, time);
    QFETCH(QString, date);

    Form3 form(m_main, fixedClock(qPrintable(locale), now));
    form.Timer1_Timer();
    QCOMPARE(form.findChild<QLabel *>(QStringLiteral("Label2"))->text(), time);
    QCOMPARE(form.findChild<QLabel *>(QStringLiteral("Label4"))->text(), date);
}

void tst_Form3::timeIsReadBeforeDate()
{
    // The tick straddles midnight: the first reading is the old day's last second.
    std::deque<QDateTime> readings{QDateTime(QDate(2026, 12, 5), QTime(23, 59, 59, 950)),
                                   QDateTime(QDate(2026, 12, 6), QTime(0, 0, 0, 50))};
    int reads = 0;
    LocalClock clock{[&] {
                         ++reads;
                         const QDateTime next = readings.front();
                         if (readings.size() > 1)
                             readings.pop_front();
                         return next;
                     },
                     [] { return QLocale(QLocale::English, QLocale::UnitedStates); }};
    Form3 form(m_main, clock);
    form.Timer1_Timer();
    QCOMPARE(reads, 2);
    QCOMPARE(form.findChild<QLabel *>(QStringLiteral("Label2"))->text(), QStringLiteral("11:59:59 PM"));
    QCOMPARE(form.findChild<QLabel *>(QStringLiteral("Label4"))->text(), QStringLiteral("12/6/26"));
}

void tst_Form3::readoutsEmptyUntilFirstTick()
{
    Form3 *form = showTimeWindow(m_slot, m_main);
    auto *time = form->findChild<QLabel *>(QStringLiteral("Label2"));
    auto *date = form->findChild<QLabel *>(QStringLiteral("Label4"));
    QVERIFY(time->text().isEmpty());
    QVERIFY(date->text().isEmpty());
    // Timer1 fills both on its own.
    QTRY_VERIFY(!time->text().isEmpty());
    QVERIFY(!date->text().isEmpty());
}

void tst_Form3::timersRunFromLoad()
{
    Form3 form(m_main);
    auto *timer1 = form.findChild<QTimer *>(QStringLiteral("Timer1"));
    auto *timer2 = form.findChild<QTimer *>(QStringLiteral("Timer2"));
    QVERIFY(timer1 && timer2);
    QVERIFY(timer1->isActive());
    QCOMPARE(timer1->interval(), 100);
    QVERIFY(timer2->isActive());
    QCOMPARE(timer2->interval(), 1);
    QCOMPARE(timer2->timerType(), Qt::PreciseTimer);
    // Loaded, not yet ticked: measured and at 12 o'clock.
    QCOMPARE(form.hand().handLength(), 360.0);
    QCOMPARE(form.hand().sweepAngle(), 0.0);
}

void tst_Form3::backKeepsTimersAndHandGoing()
{
    int clockReads = 0;
    LocalClock clock{[&clockReads] {
                         ++clockReads;
                         return QDateTime(QDate(2026, 12, 5), QTime(10, 0, 0)).addSecs(clockReads);
                     },
                     [] { return QLocale(QLocale::German, QLocale::Germany); }};
    // The main window starts hidden: Back has to show it, not only raise it.
    Form3 *form = showTimeWindow(m_slot, m_main, clock);
    QVERIFY(QTest::qWaitForWindowActive(form));
    QTRY_VERIFY(form->hand().sweepAngle() > 0.0);

    QTest::mouseClick(form->findChild<QPushButton *>(QStringLiteral("Command1")), Qt::LeftButton);
    QVERIFY(!form->isVisible());
    QVERIFY(m_slot); // hidden, not discarded
    QVERIFY(m_main->isVisible());
    QTRY_VERIFY(m_main->isActiveWindow());
    QVERIFY(form->findChild<QTimer *>(QStringLiteral("Timer1"))->isActive());
    QVERIFY(form->findChild<QTimer *>(QStringLiteral("Timer2"))->isActive());

    const double angle = form->hand().sweepAngle();
    const LineCoords tip = form->line10();
    auto *time = form->findChild<QLabel *>(QStringLiteral("Label2"));
    const QString shown = time->text();
    QTRY_VERIFY(form->hand().sweepAngle() > angle + 0.4);
    QVERIFY(form->line10().x2 != tip.x2 || form->line10().y2 != tip.y2);
    QTRY_VERIFY(time->text() != shown);
    QVERIFY(!form->isVisible());
}

void tst_Form3::reopeningAfterBackKeepsState()
{
    Form3 *form = showTimeWindow(m_slot, m_main);
    for (int i = 0; i < 100; ++i)
        form->Timer2_Timer();
    form->Timer1_Timer();
    form->Command1_Click();
    QVERIFY(!form->isVisible());

    const double angle = form->hand().sweepAngle();
    QCOMPARE(showTimeWindow(m_slot, m_main), form);
    QVERIFY(form->isVisible());
    // No load step: the sweep goes on from where it was.
    QVERIFY(form->hand().sweepAngle() >= angle);
    QVERIFY(form->line10().x2 > 1330.0f);
    QVERIFY(!form->findChild<QLabel *>(QStringLiteral("Label2"))->text().isEmpty());
}

void tst_Form3::closingDiscardsAndReopeningStartsAfresh()
{
    Form3 *first = showTimeWindow(m_slot, m_main);
    QVERIFY(QTest::qWaitForWindowExposed(first));
    for (int i = 0; i < 100; ++i)
        first->Timer2_Timer();
    first->Timer1_Timer();
    QVERIFY(first->close());
    QTRY_VERIFY(m_slot.isNull());

    Form3 *second = showTimeWindow(m_slot, m_main);
    QVERIFY(second);
    QCOMPARE(second->hand().sweepAngle(), 0.0);
    QCOMPARE(second->line10().x2, 1320.0f);
    QCOMPARE(second->line10().y2, 1680.0f);
    QVERIFY(second->findChild<QLabel *>(QStringLiteral("Label2"))->text().isEmpty());
    QVERIFY(second->findChild<QLabel *>(QStringLiteral("Label4"))->text().isEmpty());
}

void tst_Form3::neverTwoInstances()
{
    Form3 *form = showTimeWindow(m_slot, m_main);
    QCOMPARE(showTimeWindow(m_slot, m_main), form);
    form->Command1_Click();
    QCOMPARE(showTimeWindow(m_slot, m_main), form);
    form->showMinimized();
    QCOMPARE(showTimeWindow(m_slot, m_main), form);
    QVERIFY(!form->isMinimized());
    QCOMPARE(openTimeWindows().size(), 1);
}

void tst_Form3::repaintsOnlyWhereTheHandWas()
{
    Form3 *form = showTimeWindow(m_slot, m_main);
    QVERIFY(QTest::qWaitForWindowExposed(form));
    // Hold the timers so that only the tick below changes anything.
    form->findChild<QTimer *>(QStringLiteral("Timer2"))->stop();
    form->findChild<QTimer *>(QStringLiteral("Timer1"))->stop();
    for (int i = 0; i < 10; ++i)
        form->Timer2_Timer();
    QCoreApplication::processEvents();
    auto *hand = new PaintRecorder(form->findChild<LineShape *>(QStringLiteral("Line10")));
    QList<PaintRecorder *> recorders{hand, new PaintRecorder(form)};
    for (QWidget *child : form->findChildren<QWidget *>())
        recorders.append(new PaintRecorder(child));

    const LineCoords before = form->line10();
    form->Timer2_Timer();
    const LineCoords after = form->line10();
    QTRY_VERIFY(!hand->painted.isEmpty());
    QCoreApplication::processEvents();
    const QRect allowed = LineShape::paintBounds(before) | LineShape::paintBounds(after);
    for (const PaintRecorder *recorder : recorders) {
        for (const QRect &rect : recorder->painted) {
            QVERIFY2(allowed.contains(rect),
                     qPrintable(QStringLiteral("%1 painted %2,%3 %4x%5")
                                    .arg(recorder->parent()->objectName())
                                    .arg(rect.x()).arg(rect.y()).arg(rect.width()).arg(rect.height())));
        }
    }
}

void tst_Form3::noPaintingWhileHidden()
{
    Form3 *form = showTimeWindow(m_slot, m_main);
    QVERIFY(QTest::qWaitForWindowExposed(form));
    form->Command1_Click();
    QVERIFY(!form->isVisible());
    QList<PaintRecorder *> recorders{new PaintRecorder(form)};
    for (QWidget *child : form->findChildren<QWidget *>())
        recorders.append(new PaintRecorder(child));

    const double angle = form->hand().sweepAngle();
    for (int i = 0; i < 50; ++i) {
        form->Timer2_Timer();
        form->Timer1_Timer();
        QCoreApplication::processEvents();
    }
    QVERIFY(form->hand().sweepAngle() >= angle + 50 * 0.4 - 1e-9);
    for (const PaintRecorder *recorder : recorders)
        QVERIFY(recorder->painted.isEmpty());

    // Shown again, the same recorders do see the hand painted.
    showTimeWindow(m_slot, m_main);
    form->Timer2_Timer();
    QTRY_VERIFY(!recorders.front()->painted.isEmpty());
}

QTEST_MAIN(tst_Form3)
#include "tst_form3.moc"
