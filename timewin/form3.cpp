#include "timewin/form3.h"

#include "designtable.h"
#include "lineshape.h"
#include "timewin/form3layout.h"
#include "windowaccess.h"

#include <QFont>
#include <QIcon>
#include <QLabel>
#include <QPushButton>
#include <QShortcut>
#include <QTimer>

namespace {

QFont designFont(qreal points)
{
    QFont font(QString::fromLatin1(Form3Layout::kFontFamily));
    font.setStyleHint(QFont::SansSerif);
    font.setPointSizeF(points);
    font.setWeight(QFont::Normal);
    return font;
}

// Drops the time-zone fields from a time format, with any brackets and blanks
// left around them; quoted literal text is kept as it is.
QString withoutTimeZone(const QString &format)
{
    QString kept;
    bool quoted = false;
    for (const QChar c : format) {
        if (c == u'\'')
            quoted = !quoted;
        else if (!quoted && c == u't')
            continue;
        kept += c;
    }
    kept.replace(QStringLiteral("()"), QString());
    return kept.simplified();
}

QWidget *createControl(const Form3Layout::Control &control, QWidget *parent)
{
    using namespace Form3Layout;
    QWidget *widget = nullptr;
    switch (control.kind) {
    case Kind::Label:
        widget = makeDesignLabel(QString::fromLatin1(control.text),
                                 {control.textColour, control.fill.has_value(), control.fill, false},
                                 parent);
        break;
    case Kind::Line:
        return new LineShape(control.line, control.lineColour, 1, parent);
    case Kind::Button:
        widget = new QPushButton(QString::fromLatin1(control.text), parent);
        break;
    }
    widget->setGeometry(toPixels(control.at));
    if (control.font == Font::Small)
        widget->setFont(designFont(kSmallFontPoints));
    return widget;
}

} // namespace

QString timeReadout(const QLocale &locale, QTime time)
{
    return locale.toString(time, withoutTimeZone(locale.timeFormat(QLocale::LongFormat)));
}

QString dateReadout(const QLocale &locale, QDate date)
{
    return locale.toString(date, QLocale::ShortFormat);
}

Form3::Form3(QWidget *mainWindow, LocalClock clock)
    : QWidget(nullptr, Qt::Window), m_mainWindow(mainWindow), m_clock(std::move(clock))
{
    using namespace Form3Layout;
    setAttribute(Qt::WA_DeleteOnClose);
    setWindowTitle(QString::fromLatin1(kCaption));
    setWindowIcon(QIcon(QStringLiteral(":/assets/form3.ico")));
    QPalette palette = this->palette();
    palette.setColor(QPalette::Window, QColor::fromRgb(kBackground));
    setPalette(palette);
    setAutoFillBackground(true);
    setFont(designFont(kWindowFontPoints));
    resize(toPixels(kClientArea).size());

    // Built back to front, so each control lies over the ones made before it.
    buildFromTable(kControls, [this](const Control &control) { return createControl(control, this); });

    m_label2 = findChild<QLabel *>(QStringLiteral("Label2"), Qt::FindDirectChildrenOnly);
    m_label4 = findChild<QLabel *>(QStringLiteral("Label4"), Qt::FindDirectChildrenOnly);
    m_line10 = findChild<LineShape *>(QStringLiteral("Line10"), Qt::FindDirectChildrenOnly);
    m_command1 = findChild<QPushButton *>(QStringLiteral("Command1"), Qt::FindDirectChildrenOnly);
    for (QWidget *child : findChildren<QWidget *>(Qt::FindDirectChildrenOnly)) {
        if (child != m_command1)
            child->setFocusPolicy(Qt::NoFocus);
    }
    m_command1->setFocus();
    readByAssistiveTechnology();
    connect(m_command1, &QPushButton::clicked, this, &Form3::Command1_Click);
    // As in a dialog, Escape and Return press the window's one button.
    auto *keys = new QShortcut(this);
    keys->setKeys({QKeySequence(Qt::Key_Escape), QKeySequence(Qt::Key_Return), QKeySequence(Qt::Key_Enter)});
    connect(keys, &QShortcut::activated, m_command1, &QPushButton::click);

    m_timer1 = new QTimer(this);
    m_timer1->setObjectName(QStringLiteral("Timer1"));
    m_timer1->setInterval(kReadoutInterval);
    connect(m_timer1, &QTimer::timeout, this, &Form3::Timer1_Timer);
    m_timer2 = new QTimer(this);
    m_timer2->setObjectName(QStringLiteral("Timer2"));
    m_timer2->setTimerType(Qt::PreciseTimer);
    m_timer2->setInterval(kHandInterval);
    connect(m_timer2, &QTimer::timeout, this, &Form3::Timer2_Timer);

    Form_Load();
    // The hand moves by fractions of a pixel per tick; smoothing lets that show.
    // Its widget covers the whole circle the tip sweeps about the pivot.
    m_line10->setAntialiased(true);
    const LineCoords designed = m_line10->line();
    const auto reach = float(m_hand.handLength());
    m_line10->setGeometry(LineShape::paintBounds(
        {designed.x1 - reach, designed.y1 - reach, designed.x1 + reach, designed.y1 + reach}));

    // The first ticks come through the event loop, after the load step has finished.
    m_timer1->start();
    m_timer2->start();
}

void Form3::readByAssistiveTechnology()
{
    WindowAccess::readAsWindow(this);
    const auto label = [this](const char *name) {
        return findChild<QLabel *>(QString::fromLatin1(name), Qt::FindDirectChildrenOnly);
    };
    WindowAccess::readWithCaption(m_label2, label("Label1"));
    WindowAccess::readWithCaption(m_label4, label("Label3"));
    // The face, with the numerals, the frame and the hand drawn on and around it.
    QWidget *face = label("Label5");
    QList<QWidget *> parts;
    for (QWidget *child : findChildren<QWidget *>(Qt::FindDirectChildrenOnly)) {
        if (child != face && child != m_label2 && child != m_label4 && child != m_command1)
            parts << child;
    }
    WindowAccess::readAsGraphic(face, QStringLiteral("Dial with a hand sweeping round, not the time of day"),
                                parts);
}

void Form3::Form_Load()
{
    m_hand.load(m_line10->line());
}

LineCoords Form3::line10() const
{
    return m_line10->line();
}

void Form3::Timer1_Timer()
{
    const QLocale locale = m_clock.locale();
    // The time is read before the date: a tick across midnight can pair the old
    // day's last time with the new date, and the next tick sets both right.
    const QDateTime forTime = m_clock.now();
    m_label2->setText(timeReadout(locale, forTime.time()));
    const QDateTime forDate = m_clock.now();
    m_label4->setText(dateReadout(locale, forDate.date()));
}

void Form3::Timer2_Timer()
{
    LineCoords line = m_line10->line();
    m_hand.tick(line);
    m_line10->setLine(line);
}

void Form3::Command1_Click()
{
    if (m_mainWindow) {
        m_mainWindow->show();
        m_mainWindow->raise();
        m_mainWindow->activateWindow();
    }
    // Only hidden: the timers go on, so the readouts and the hand stay current.
    hide();
}

Form3 *showTimeWindow(QPointer<Form3> &slot, QWidget *mainWindow, LocalClock clock)
{
    if (!slot)
        slot = new Form3(mainWindow, std::move(clock));
    slot->setWindowState(slot->windowState() & ~Qt::WindowMinimized);
    slot->show();
    slot->raise();
    slot->activateWindow();
    return slot;
}
