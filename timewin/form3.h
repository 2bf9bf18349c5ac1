#pragma once

#include "timewin/handsweep.h"

#include <QDate>
#include <QDateTime>
#include <QLocale>
#include <QPointer>
#include <QTime>
#include <QWidget>

#include <functional>

class LineShape;
class QLabel;
class QPushButton;
class QTimer;

// Where the readouts take the time of day and the regional formats from.
struct LocalClock
{
    std::function<QDateTime()> now = [] { return QDateTime::currentDateTime(); };
    std::function<QLocale()> locale = [] { return QLocale::system(); };
};

// The locale's time with hours, minutes and seconds, without date or time zone.
QString timeReadout(const QLocale &locale, QTime time);
// The locale's short date.
QString dateReadout(const QLocale &locale, QDate date);

// The "Time Zone" window: time and date readouts over a dial with a sweeping hand.
class Form3 : public QWidget
{
    Q_OBJECT
public:
    // mainWindow is only shown by Back; it is neither parent nor owner.
    explicit Form3(QWidget *mainWindow, LocalClock clock = {});

    LineCoords line10() const;
    const HandSweep &hand() const { return m_hand; }

    void Timer1_Timer();
    void Timer2_Timer();
    void Command1_Click();

private:
    void Form_Load();
    void readByAssistiveTechnology();

    QPointer<QWidget> m_mainWindow;
    LocalClock m_clock;
    HandSweep m_hand;

    QLabel *m_label2 = nullptr;
    QLabel *m_label4 = nullptr;
    LineShape *m_line10 = nullptr;
    QPushButton *m_command1 = nullptr;
    QTimer *m_timer1 = nullptr;
    QTimer *m_timer2 = nullptr;
};

// Opens the one time window: builds it if the slot is empty (it empties itself when
// the window is closed), then shows it and brings it to the front.
Form3 *showTimeWindow(QPointer<Form3> &slot, QWidget *mainWindow, LocalClock clock = {});
