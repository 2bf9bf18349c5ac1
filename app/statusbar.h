#pragma once

#include <QDateTime>
#include <QWidget>

#include <array>
#include <functional>

class QLabel;
class WallAlarm;

// A status bar of numbered panels (from 1): text panels that the program
// writes, then a date panel and a time panel that keep themselves current.
class StatusBar : public QWidget
{
    Q_OBJECT
public:
    static constexpr int kPanels = 4;
    // Where the date and time panels read the time.
    using Clock = std::function<QDateTime()>;

    // With no clock, the system's.
    explicit StatusBar(int panelWidth, QWidget *parent = nullptr, Clock clock = {});

    QString panelText(int panel) const;
    // Only the text panels 1 and 2 take text.
    void setPanelText(int panel, const QString &text);

    // Re-reads the clock into the date and time panels, and wakes again when the
    // minute turns.
    void refreshClock();

    // A time format without its seconds field (and any fraction of a second), nor
    // the separator that leads to it: "HH:mm:ss" gives "HH:mm", "h:mm:ss AP"
    // gives "h:mm AP". Quoted text is left alone.
    static QString withoutSeconds(const QString &timeFormat);

protected:
    void changeEvent(QEvent *event) override;

private:
    std::array<QLabel *, kPanels> m_panels{};
    Clock m_clock;
    WallAlarm *m_alarm = nullptr;
};
