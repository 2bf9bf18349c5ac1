#pragma once

#include <QWidget>

#include <array>

class QLabel;
class QTimer;

// A status bar of numbered panels (from 1): text panels that the program
// writes, then a date panel and a time panel that keep themselves current.
class StatusBar : public QWidget
{
    Q_OBJECT
public:
    static constexpr int kPanels = 4;

    explicit StatusBar(int panelWidth, QWidget *parent = nullptr);

    QString panelText(int panel) const;
    // Only the text panels 1 and 2 take text.
    void setPanelText(int panel, const QString &text);

    // Re-reads the clock into the date and time panels.
    void refreshClock();

private:
    void scheduleClock();

    std::array<QLabel *, kPanels> m_panels{};
    QTimer *m_clock = nullptr;
};
