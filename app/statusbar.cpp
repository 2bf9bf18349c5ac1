#include "statusbar.h"

#include <QEvent>
#include <QGuiApplication>
#include <QHBoxLayout>
#include <QLabel>
#include <QLocale>
#include <QScreen>
#include <QTimer>

#include <algorithm>

#ifdef Q_OS_LINUX
#include <QSocketNotifier>

#include <cstdint>
#include <sys/timerfd.h>
#include <unistd.h>
#endif

// Rings at a moment of wall time. On Linux it is a timer on the real-time clock,
// which counts through a suspend (so it rings on waking if its moment has passed)
// and rings at once when the system clock is set. Elsewhere it is an ordinary
// timer, which the next ring puts right.
class WallAlarm : public QObject
{
public:
    WallAlarm(std::function<void()> ring, QObject *parent) : QObject(parent), m_ring(std::move(ring))
    {
#ifdef Q_OS_LINUX
        m_fd = timerfd_create(CLOCK_REALTIME, TFD_NONBLOCK | TFD_CLOEXEC);
        if (m_fd >= 0) {
            auto *notifier = new QSocketNotifier(m_fd, QSocketNotifier::Read, this);
            connect(notifier, &QSocketNotifier::activated, this, [this] {
                std::uint64_t rings = 0;
                // Fails with ECANCELED when the clock was set: a ring all the same.
                (void)!::read(m_fd, &rings, sizeof rings);
                m_ring();
            });
            return;
        }
#endif
        m_timer = new QTimer(this);
        m_timer->setSingleShot(true);
        connect(m_timer, &QTimer::timeout, this, [this] { m_ring(); });
    }

    ~WallAlarm() override
    {
#ifdef Q_OS_LINUX
        if (m_fd >= 0)
            ::close(m_fd);
#endif
    }

    void setFor(qint64 msecsSinceEpoch)
    {
#ifdef Q_OS_LINUX
        if (m_fd >= 0) {
            itimerspec at{};
            at.it_value.tv_sec = msecsSinceEpoch / 1000;
            at.it_value.tv_nsec = msecsSinceEpoch % 1000 * 1'000'000;
            ::timerfd_settime(m_fd, TFD_TIMER_ABSTIME | TFD_TIMER_CANCEL_ON_SET, &at, nullptr);
            return;
        }
#endif
        m_timer->start(int(std::clamp<qint64>(msecsSinceEpoch - QDateTime::currentMSecsSinceEpoch(),
                                              0, 60'000)));
    }

private:
    std::function<void()> m_ring;
    QTimer *m_timer = nullptr;
#ifdef Q_OS_LINUX
    int m_fd = -1;
#endif
};

StatusBar::StatusBar(int panelWidth, QWidget *parent, Clock clock)
    : QWidget(parent), m_clock(std::move(clock))
{
    if (!m_clock)
        m_clock = [] { return QDateTime::currentDateTime(); };
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

    m_alarm = new WallAlarm([this] { refreshClock(); }, this);
    // A screen coming back may mean the machine has just woken up.
    connect(qGuiApp, &QGuiApplication::screenAdded, this, &StatusBar::refreshClock);
    refreshClock();
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
    const QDateTime now = m_clock();
    const QLocale locale = this->locale();
    m_panels[2]->setText(locale.toString(now.date(), QLocale::ShortFormat));
    m_panels[3]->setText(
            locale.toString(now.time(), withoutSeconds(locale.timeFormat(QLocale::ShortFormat))));
    // The panels show no seconds: look again when the minute turns, by the wall clock.
    const QTime time = now.time();
    const int toNextMinute = 60'000 - (time.second() * 1000 + time.msec());
    m_alarm->setFor(QDateTime::currentMSecsSinceEpoch() + toNextMinute);
}

void StatusBar::changeEvent(QEvent *event)
{
    if (event->type() == QEvent::LocaleChange)
        refreshClock();
    QWidget::changeEvent(event);
}

QString StatusBar::withoutSeconds(const QString &timeFormat)
{
    // The format as fields (a run of one pattern letter, or AP) and the literal
    // text between them, quoted parts included.
    struct Piece
    {
        QString text;
        bool field;
    };
    QList<Piece> pieces;
    for (qsizetype i = 0; i < timeFormat.size();) {
        const QChar c = timeFormat[i];
        qsizetype end = i + 1;
        const bool field = QStringView(u"hHmszaAt").contains(c);
        if (c == u'\'') {
            while (end < timeFormat.size() && timeFormat[end] != u'\'')
                ++end;
            ++end; // a doubled quote reads as two quoted parts, which is the same here
        } else if (field && (c == u'a' || c == u'A') && timeFormat.mid(end, 1).toLower() == u"p") {
            ++end;
        } else if (field) {
            while (end < timeFormat.size() && timeFormat[end] == c)
                ++end;
        }
        const QString text = timeFormat.mid(i, end - i);
        if (!field && !pieces.isEmpty() && !pieces.last().field)
            pieces.last().text += text;
        else
            pieces.append({text, field});
        i = end;
    }

    const auto isField = [&pieces](qsizetype at, QChar letter) {
        return at >= 0 && at < pieces.size() && pieces[at].field && pieces[at].text[0] == letter;
    };
    const auto isLabel = [&pieces](qsizetype at) {
        return at >= 0 && at < pieces.size() && !pieces[at].field
                && std::any_of(pieces[at].text.cbegin(), pieces[at].text.cend(),
                               [](QChar c) { return c.isLetter(); });
    };
    const auto isSeparator = [&pieces, &isLabel](qsizetype at) {
        return at >= 0 && at < pieces.size() && !pieces[at].field && !isLabel(at);
    };

    qsizetype first = 0;
    while (first < pieces.size() && !isField(first, u's'))
        ++first;
    if (first == pieces.size())
        return timeFormat;
    qsizetype last = first;
    if (isField(last + 1, u'z'))
        last += 1;
    else if (isSeparator(last + 1) && isField(last + 2, u'z'))
        last += 2;
    // "mm:ss" loses ":ss"; "mm 'min' ss 's'" keeps the minutes' label and loses the
    // seconds' one; "H:mm:ss 'h'" keeps the label of the whole time.
    if (isSeparator(first - 1))
        --first;
    else if (first == 0 ? isSeparator(last + 1) : isLabel(last + 1))
        ++last;
    pieces.remove(first, last - first + 1);

    QString result;
    for (const Piece &piece : std::as_const(pieces))
        result += piece.text;
    return withoutSeconds(result.trimmed());
}
