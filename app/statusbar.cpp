#include "statusbar.h"

#include <QDateTime>
#include <QHBoxLayout>
#include <QLabel>
#include <QLocale>
#include <QTimer>

StatusBar::StatusBar(int panelWidth, QWidget *parent) : QWidget(parent)
{
    setAutoFillBackground(true);
    auto *layout = new QHBoxLayout(this);
    layout->setContentsMargins(1, 1, 1, 1);
    layout->setSpacing(2);
    for (int i = 0; i < kPanels; ++i) {
        auto *panel = new QLabel(this);
        panel->setObjectName(QStringLiteral("Panel%1").arg(i + 1));
        panel->setFrameStyle(QFrame::Panel | QFrame::Sunken);
        panel->setMinimumWidth(panelWidth);
        panel->setFixedWidth(panelWidth);
        panel->setTextFormat(Qt::PlainText);
        layout->addWidget(panel);
        m_panels[i] = panel;
    }
    layout->addStretch(1);

    m_clock = new QTimer(this);
    m_clock->setSingleShot(true);
    m_clock->setTimerType(Qt::CoarseTimer);
    connect(m_clock, &QTimer::timeout, this, [this] {
        refreshClock();
        scheduleClock();
    });
    refreshClock();
    scheduleClock();
}

QString StatusBar::panelText(int panel) const
{
    return panel >= 1 && panel <= kPanels ? m_panels[panel - 1]->text() : QString();
}

void StatusBar::setPanelText(int panel, const QString &text)
{
    if (panel == 1 || panel == 2)
        m_panels[panel - 1]->setText(text); // unchanged text costs nothing
}

void StatusBar::refreshClock()
{
    const QDateTime now = QDateTime::currentDateTime();
    const QLocale locale;
    m_panels[2]->setText(locale.toString(now.date(), QLocale::ShortFormat));
    m_panels[3]->setText(locale.toString(now.time(), QLocale::ShortFormat));
}

// Wake once a minute, just after the minute turns: the panels show no seconds.
void StatusBar::scheduleClock()
{
    const QTime now = QTime::currentTime();
    const int toNextMinute = 60'000 - (now.second() * 1000 + now.msec());
    m_clock->start(toNextMinute + 50);
}
