#include "about/aboutwindow.h"
#include "about/form2.h"
#include "about/form2layout.h"
#include "lineshape.h"

#include <QApplication>
#include <QImage>
#include <QLabel>
#include <QPointer>
#include <QPushButton>
#include <QRegularExpression>
#include <QTest>
#include <QTextLayout>
#include <QTimer>

#include <algorithm>
#include <functional>
#include <memory>
#include <ranges>

namespace {

QSize smallestOuter(const QWidget *window)
{
    return window->frameGeometry().size() - window->geometry().size() + QSize(1, 1);
}

// Whether a row of the image within two pixels of `line` is all `colour` along it.
bool drawnAlong(const QImage &image, const QLineF &line, QColor colour)
{
    const auto rowIsColour = [&](int y) {
        const auto along = std::views::iota(int(line.x1()), int(line.x2()) - 1);
        return std::ranges::all_of(along, [&](int x) { return image.pixelColor(x, y) == colour; });
    };
    return std::ranges::any_of(std::views::iota(qRound(line.y1()) - 2, qRound(line.y1()) + 3), rowIsColour);
}

struct EventTap : QObject
{
    std::function<void(QObject *, QEvent::Type)> seen;
    bool eventFilter(QObject *object, QEvent *event) override { seen(object, event->type()); return false; }
};

} // namespace

class tst_Form2 : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void cleanup() { delete m_slot.data(); }

    void window();
    void controlsFollowTheTable();
    void creditsWrapIntoTheirThreeParts();
    void okShowsMainWindowThenHidesAndCollapses();
    void openingAnimation_data();
    void openingAnimation();
    void closeBoxDiscardsAndATickBuildsItAfreshHidden();

private:
    int tickUntilStopped();

    std::unique_ptr<QWidget> m_main;
    std::unique_ptr<QTimer> m_timer;
    QPointer<Form2> m_slot;
};

void tst_Form2::init()
{
    m_main = std::make_unique<QWidget>();
    m_timer = std::make_unique<QTimer>();
}


// Ticks by hand until the timer stops itself; each step must start from the size
// the window really had. -1: a step went wrong.
int tst_Form2::tickUntilStopped()
{
    int ticks = 0;
    for (; m_timer->isActive() && ticks < 20; ++ticks) {
        const QSizeF before = m_slot ? QSizeF(m_slot->Width(), m_slot->Height()) : QSizeF();
        growAboutWindow(m_slot, m_main.get(), m_timer.get());
        const QSizeF step = QSizeF(m_slot->Width(), m_slot->Height()) - before - QSizeF(500, 500);
        if (!before.isEmpty() && (std::min(step.width(), step.height()) < 0
                                  || std::max(step.width(), step.height()) >= kTwipsPerPixel))
            return -1;
        if (m_timer->isActive() == (m_slot->Width() >= 3000 || m_slot->Height() >= 3000))
            return -1;
    }
    return ticks;
}

void tst_Form2::window()
{
    Form2 window(m_main.get(), m_timer.get());
    QCOMPARE(window.windowTitle(), QStringLiteral("About Velt Browser"));
    QCOMPARE(window.geometry(), toPixels(kForm2ClientArea));
    const QList<QSize> icons = window.windowIcon().availableSizes();
    QVERIFY(icons.size() == 3 && icons.contains(QSize(32, 32)) && icons.contains(QSize(16, 16))
            && icons.contains(QSize(64, 64))); // 64: the 32 drawing for 2x screens
    window.show();
    window.activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(&window));
    QTRY_COMPARE(QApplication::focusWidget(), window.findChild<QPushButton *>(QStringLiteral("Command1")));
}

void tst_Form2::controlsFollowTheTable()
{
    Form2 window(m_main.get(), m_timer.get());
    window.setWidth(3000);
    window.setHeight(3000);
    const QImage image = window.grab().toImage();
    QList<QWidget *> frontToBack = window.findChildren<QWidget *>(Qt::FindDirectChildrenOnly);
    std::reverse(frontToBack.begin(), frontToBack.end());
    QCOMPARE(frontToBack.size(), qsizetype(kForm2Controls.size()));
    for (size_t i = 0; i < kForm2Controls.size(); ++i) {
        const Form2Control &row = kForm2Controls[i];
        QWidget *control = frontToBack[i];
        QCOMPARE(control->objectName(), QString::fromUtf8(row.name));
        const QColor colour = row.colour ? QColor::fromRgb(*row.colour) : QColor();
        if (auto *line = qobject_cast<LineShape *>(control)) {
            QCOMPARE(toPixelsF(line->line()), toPixelsF(row.ends));
            QCOMPARE(line->penWidth(), row.borderWidth);
            // Line1 lies wholly behind the wider Line2; every other line shows.
            if (qstrcmp(row.name, "Line1") != 0)
                QVERIFY2(drawnAlong(image, toPixelsF(line->line()), colour), row.name);
            continue;
        }
        QCOMPARE(control->geometry(), toPixels(row.box));
        QCOMPARE(control->property("text").toString(), QString::fromUtf8(row.text));
        if (auto *label = qobject_cast<QLabel *>(control)) {
            QVERIFY2(label->heightForWidth(label->width()) <= label->height(), row.name);
            const QImage text = label->grab().toImage().convertToFormat(QImage::Format_RGB32);
            const auto *pixels = reinterpret_cast<const QRgb *>(text.constBits());
            const auto *end = pixels + text.width() * text.height();
            QVERIFY2(!row.colour || std::find(pixels, end, colour.rgb()) != end, row.name);
        }
    }
}

void tst_Form2::creditsWrapIntoTheirThreeParts()
{
    Form2 window(m_main.get(), m_timer.get());
    auto *credits = window.findChild<QLabel *>(QStringLiteral("Label1"));
    const QString text = credits->text();
    const QStringList parts = text.split(QRegularExpression(QStringLiteral("\\s{10,}")));
    QCOMPARE(parts.size(), 3);

    // Lay the text out as the label does, at the label's width.
    QTextLayout layout(text, credits->font());
    layout.beginLayout();
    QList<int> lineStarts;
    for (QTextLine line = layout.createLine(); line.isValid(); line = layout.createLine()) {
        line.setLineWidth(credits->contentsRect().width());
        lineStarts << line.textStart();
    }
    layout.endLayout();
    QCOMPARE(lineStarts, (QList<int>{0, int(text.indexOf(parts[1])), int(text.lastIndexOf(parts[2]))}));
    const int needed = credits->heightForWidth(credits->width());
    QVERIFY2(needed >= 3 * credits->fontMetrics().height() && needed < 4 * credits->fontMetrics().lineSpacing(),
             qPrintable(QString::number(needed)));
}

void tst_Form2::okShowsMainWindowThenHidesAndCollapses()
{
    openAboutWindow(m_slot, m_main.get(), m_timer.get());
    QCOMPARE(tickUntilStopped(), 6);
    const float fullWidth = m_slot->Width();

    // Each window shown or hidden, with the About window's size and the timer's state then.
    QStringList seen;
    EventTap tap;
    tap.seen = [&](QObject *object, QEvent::Type type) {
        if (type == QEvent::Show || type == QEvent::Hide)
            seen << QStringLiteral("%1 %2: about %3, timer %4")
                        .arg(object == m_slot ? "about" : "main", type == QEvent::Show ? "shown" : "hidden",
                             m_slot->Width() == fullWidth ? "full" : "collapsed", m_timer->isActive() ? "on" : "off");
    };
    m_main->installEventFilter(&tap);
    m_slot->installEventFilter(&tap);

    QTest::mouseClick(m_slot->findChild<QPushButton *>(QStringLiteral("Command1")), Qt::LeftButton);
    QCOMPARE(seen, (QStringList{"main shown: about full, timer off", "about hidden: about full, timer off"}));
    QVERIFY(m_slot); // hidden, not discarded
    QCOMPARE(m_slot->frameGeometry().size(), smallestOuter(m_slot));
    QVERIFY(m_timer->isActive());

    // The timer then grows the hidden window back without showing it.
    QCOMPARE(tickUntilStopped(), 6);
    QVERIFY(!m_slot->isVisible());
}

void tst_Form2::openingAnimation_data()
{
    QTest::addColumn<float>("width");
    QTest::addColumn<float>("height");
    QTest::addColumn<int>("ticks");

    QTest::newRow("from nothing") << 0.0f << 0.0f << 6;
    QTest::newRow("already full") << 3000.0f << 0.0f << 1;
    // 166 pixels and a step make exactly 3000 twips, which is full.
    QTest::newRow("width one step short") << 2490.0f << 0.0f << 1;
    QTest::newRow("height one step short") << 0.0f << 2490.0f << 1;
    QTest::newRow("sizes the window rounds up") << 1000.0f << 1010.0f << 4;
}

void tst_Form2::openingAnimation()
{
    QFETCH(float, width);
    QFETCH(float, height);
    QFETCH(int, ticks);

    openAboutWindow(m_slot, m_main.get(), m_timer.get());
    QVERIFY(m_timer->isActive() && m_slot->isVisible());
    QCOMPARE(m_slot->frameGeometry().size(), smallestOuter(m_slot));
    const QPoint at = m_slot->frameGeometry().topLeft();
    m_slot->setWidth(width);
    m_slot->setHeight(height);
    QCOMPARE(tickUntilStopped(), ticks);
    QCOMPARE(m_slot->frameGeometry().topLeft(), at);
    // The user cannot resize it: only its own size is allowed.
    QVERIFY(m_slot->minimumSize() == m_slot->size() && m_slot->maximumSize() == m_slot->size());
}

void tst_Form2::closeBoxDiscardsAndATickBuildsItAfreshHidden()
{
    openAboutWindow(m_slot, m_main.get(), m_timer.get());
    const QPointer<Form2> first = m_slot;
    first->move(first->pos() + QPoint(40, 30));
    QVERIFY(first->close());
    QTRY_VERIFY(m_slot.isNull() && first.isNull());

    growAboutWindow(m_slot, m_main.get(), m_timer.get());
    QVERIFY(m_slot && !m_slot->isVisible() && m_timer->isActive());
    const QRect design = toPixels(kForm2ClientArea);
    QCOMPARE(m_slot->geometry().topLeft(), design.topLeft());
    const float grown = m_slot->Width() - design.width() * kTwipsPerPixel;
    QVERIFY2(grown >= 500 && grown < 500 + kTwipsPerPixel, qPrintable(QString::number(grown)));
}

QTEST_MAIN(tst_Form2)
#include "tst_form2.moc"
