#include "about/aboutwindow.h"
#include "about/form2.h"
#include "about/form2layout.h"
#include "about/form2line.h"

#include <QApplication>
#include <QImage>
#include <QLabel>
#include <QPointer>
#include <QPushButton>
#include <QRegularExpression>
#include <QSignalSpy>
#include <QTest>
#include <QTextLayout>
#include <QTimer>

#include <memory>

namespace {

QtMessageHandler g_previousHandler = nullptr;

// The offscreen platform has no window manager to pass size limits or raising to,
// and says so every time; that is no fault of the window.
void dropSizeHintWarnings(QtMsgType type, const QMessageLogContext &context, const QString &message)
{
    if (message.contains(QLatin1String("propagateSizeHints")) || message.contains(QLatin1String("support raise()")))
        return;
    g_previousHandler(type, context, message);
}

// Outer size of the window in pixels, frame included, from the window itself.
QSize frameSize(const QWidget *window)
{
    return window->frameGeometry().size();
}

QSize frameThickness(const QWidget *window)
{
    return window->frameGeometry().size() - window->geometry().size();
}

// A row of the image whose pixels from x = left to x = right are all `colour`.
bool hasFullRow(const QImage &image, int left, int right, int top, int bottom, QColor colour)
{
    for (int y = top; y <= bottom; ++y) {
        bool full = true;
        for (int x = left; x <= right && full; ++x)
            full = image.pixelColor(x, y) == colour;
        if (full)
            return true;
    }
    return false;
}

} // namespace

class tst_Form2 : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void init();
    void cleanup();

    void windowFollowsDesign();
    void controlsFollowTheTable();
    void onlyOkTakesFocus();
    void creditsWrapIntoTheirThreeParts();
    void noticeIsBlueAndFits();
    void linesAreEtchedInFrontOfTheLabels();
    void outerSizeIncludesTheFrame_data();
    void outerSizeIncludesTheFrame();
    void userCannotResize();
    void okShowsMainWindowThenHidesAndCollapses();
    void openingAnimation_data();
    void openingAnimation();
    void tickWithoutWindowCreatesItHidden();
    void aboutCommandAgainCollapsesTheSameWindow();
    void nextOpening_data();
    void nextOpening();

private:
    void tickUntilStopped(int maxTicks, int *ticks);

    std::unique_ptr<QWidget> m_main;
    std::unique_ptr<QTimer> m_timer;
    QPointer<Form2> m_slot;
};

void tst_Form2::initTestCase()
{
    g_previousHandler = qInstallMessageHandler(dropSizeHintWarnings);
}

void tst_Form2::init()
{
    m_main = std::make_unique<QWidget>();
    m_main->setObjectName(QStringLiteral("mainWindow"));
    m_timer = std::make_unique<QTimer>();
    m_timer->setInterval(200);
}

void tst_Form2::cleanup()
{
    delete m_slot.data();
    m_timer.reset();
    m_main.reset();
}

// Ticks by hand, never through the event loop, until the timer stops itself.
void tst_Form2::tickUntilStopped(int maxTicks, int *ticks)
{
    *ticks = 0;
    while (m_timer->isActive() && *ticks < maxTicks) {
        const float width = m_slot ? m_slot->Width() : 0;
        const float height = m_slot ? m_slot->Height() : 0;
        growAboutWindow(m_slot, m_main.get(), m_timer.get());
        ++*ticks;
        QVERIFY(m_slot);
        // Each step starts from the size the window really had.
        if (width > 0) {
            QVERIFY2(m_slot->Width() >= width + 500 && m_slot->Width() < width + 500 + kTwipsPerPixel,
                     qPrintable(QStringLiteral("width %1 -> %2").arg(width).arg(m_slot->Width())));
            QVERIFY2(m_slot->Height() >= height + 500 && m_slot->Height() < height + 500 + kTwipsPerPixel,
                     qPrintable(QStringLiteral("height %1 -> %2").arg(height).arg(m_slot->Height())));
        }
        const bool full = m_slot->Width() >= 3000 || m_slot->Height() >= 3000;
        QCOMPARE(m_timer->isActive(), !full);
    }
}

void tst_Form2::windowFollowsDesign()
{
    Form2 window(m_main.get(), m_timer.get());
    QCOMPARE(window.windowTitle(), QStringLiteral("About Velt Browser"));
    QVERIFY(window.isWindow());
    QVERIFY(!window.parentWidget());
    QCOMPARE(window.geometry(), toPixels(kForm2ClientArea));
    const Qt::WindowFlags flags = window.windowFlags();
    QCOMPARE(flags & Qt::WindowType_Mask, Qt::Window);
    QVERIFY(flags & Qt::WindowTitleHint);
    QVERIFY(flags & Qt::WindowCloseButtonHint);
    QVERIFY(!(flags & Qt::WindowMinimizeButtonHint));
    QVERIFY(!(flags & Qt::WindowMaximizeButtonHint));
    QVERIFY(window.testAttribute(Qt::WA_DeleteOnClose));
    QVERIFY(window.autoFillBackground());
    QCOMPARE(window.palette().color(window.backgroundRole()),
             QApplication::palette().color(QPalette::Button));
    QCOMPARE(window.font(), QApplication::font());
    QVERIFY(!window.windowIcon().isNull());
    const QList<QSize> sizes = window.windowIcon().availableSizes();
    QCOMPARE(sizes.size(), 2);
    QVERIFY(sizes.contains(QSize(32, 32)));
    QVERIFY(sizes.contains(QSize(16, 16)));
}

void tst_Form2::controlsFollowTheTable()
{
    Form2 window(m_main.get(), m_timer.get());
    QStringList frontToBack;
    const QObjectList children = window.children();
    for (auto it = children.crbegin(); it != children.crend(); ++it) {
        if (auto *widget = qobject_cast<QWidget *>(*it))
            frontToBack << widget->objectName();
    }
    QStringList designed;
    for (const Form2Control &row : kForm2Controls)
        designed << QString::fromUtf8(row.name);
    QCOMPARE(frontToBack, designed);

    for (const Form2Control &row : kForm2Controls) {
        const QString name = QString::fromUtf8(row.name);
        switch (row.kind) {
        case Form2Kind::PushButton: {
            auto *button = window.findChild<QPushButton *>(name);
            QVERIFY2(button, row.name);
            QCOMPARE(button->geometry(), toPixels(row.box));
            QCOMPARE(button->text(), QString::fromUtf8(row.text));
            break;
        }
        case Form2Kind::Line: {
            auto *line = window.findChild<Form2Line *>(name);
            QVERIFY2(line, row.name);
            QCOMPARE(line->line(), toPixelsF(QLineF(row.ends.x1, row.ends.y1, row.ends.x2, row.ends.y2)));
            QCOMPARE(line->colour(), QColor(row.colour.red, row.colour.green, row.colour.blue));
            QCOMPARE(line->borderWidth(), row.borderWidth);
            QVERIFY(line->testAttribute(Qt::WA_TransparentForMouseEvents));
            break;
        }
        case Form2Kind::Label: {
            auto *label = window.findChild<QLabel *>(name);
            QVERIFY2(label, row.name);
            QCOMPARE(label->geometry(), toPixels(row.box));
            QCOMPARE(label->text(), QString::fromUtf8(row.text));
            QVERIFY(label->wordWrap());
            QVERIFY(label->autoFillBackground());
            QCOMPARE(label->alignment() & Qt::AlignHorizontal_Mask, Qt::AlignLeft);
            break;
        }
        }
    }
}

void tst_Form2::onlyOkTakesFocus()
{
    Form2 window(m_main.get(), m_timer.get());
    auto *ok = window.findChild<QPushButton *>(QStringLiteral("Command1"));
    QVERIFY(ok);
    const QList<QWidget *> controls = window.findChildren<QWidget *>();
    for (QWidget *control : controls) {
        if (control != ok)
            QVERIFY2(control->focusPolicy() == Qt::NoFocus, qPrintable(control->objectName()));
    }
    QVERIFY(ok->focusPolicy() & Qt::TabFocus);
    window.show();
    window.activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(&window));
    QTRY_COMPARE(QApplication::focusWidget(), ok);
}

void tst_Form2::creditsWrapIntoTheirThreeParts()
{
    Form2 window(m_main.get(), m_timer.get());
    auto *credits = window.findChild<QLabel *>(QStringLiteral("Label1"));
    QVERIFY(credits);
    const QString text = credits->text();
    QCOMPARE(text.size(), 196);

    const int second = text.indexOf(QLatin1String("Design and Graphics  :"));
    QVERIFY(second > 0);
    QVERIFY(text.left(second).trimmed().endsWith(QLatin1String(" :")));
    const int third = second + int(qstrlen("Design and Graphics  :"))
                      + int(text.mid(second + int(qstrlen("Design and Graphics  :"))).indexOf(
                          QRegularExpression(QStringLiteral("\\S"))));
    QVERIFY(third > second);

    // Lay the text out as the label does, at the label's width.
    QTextLayout layout(text, credits->font());
    QTextOption option;
    option.setWrapMode(QTextOption::WordWrap);
    layout.setTextOption(option);
    layout.beginLayout();
    QList<int> lineStarts;
    for (QTextLine line = layout.createLine(); line.isValid(); line = layout.createLine()) {
        line.setLineWidth(credits->contentsRect().width());
        lineStarts << line.textStart();
    }
    layout.endLayout();
    QCOMPARE(lineStarts, (QList<int>{0, second, third}));

    // Three lines, all inside the label.
    const int lineSpacing = credits->fontMetrics().lineSpacing();
    const int needed = credits->heightForWidth(credits->width());
    QVERIFY2(needed >= 3 * credits->fontMetrics().height() && needed < 4 * lineSpacing,
             qPrintable(QString::number(needed)));
    QVERIFY(needed <= credits->height());
}

void tst_Form2::noticeIsBlueAndFits()
{
    Form2 window(m_main.get(), m_timer.get());
    auto *notice = window.findChild<QLabel *>(QStringLiteral("Label2"));
    auto *credits = window.findChild<QLabel *>(QStringLiteral("Label1"));
    QVERIFY(notice && credits);
    QVERIFY(!notice->text().trimmed().isEmpty());
    QVERIFY(notice->heightForWidth(notice->width()) <= notice->height());

    const auto countBlue = [](QLabel *label) {
        const QImage image = label->grab().toImage();
        int blue = 0;
        for (int y = 0; y < image.height(); ++y)
            for (int x = 0; x < image.width(); ++x)
                blue += image.pixelColor(x, y) == QColor(0, 0, 255);
        return blue;
    };
    QVERIFY(countBlue(notice) > 0);
    QCOMPARE(countBlue(credits), 0);
}

void tst_Form2::linesAreEtchedInFrontOfTheLabels()
{
    Form2 window(m_main.get(), m_timer.get());
    window.setWidth(3000);
    window.setHeight(3000);
    const QImage image = window.grab().toImage();
    const QColor dark(64, 64, 64);
    const QColor mid(128, 128, 128);

    // Line4 in front of the wider Line3: dark over mid grey, across the window.
    const QRect lower = toPixels({0, 1080, 3000, 0});
    QVERIFY(hasFullRow(image, 0, lower.right() - 1, lower.top() - 2, lower.top() + 2, dark));
    QVERIFY(hasFullRow(image, 0, lower.right() - 1, lower.top() - 2, lower.top() + 2, mid));

    // Line2 and Line1 cross the credits, which lie behind them.
    const QRect credits = window.findChild<QLabel *>(QStringLiteral("Label1"))->geometry();
    const QRect upper = toPixels({0, 360, 1800, 15});
    QVERIFY(hasFullRow(image, credits.left(), upper.right() - 1, upper.top() - 2, upper.bottom() + 2, mid));
}

void tst_Form2::outerSizeIncludesTheFrame_data()
{
    QTest::addColumn<bool>("shownBefore");
    QTest::addColumn<float>("asked");
    QTest::addColumn<int>("outerPixels"); // -1: the smallest window

    QTest::newRow("whole pixels") << true << 1500.0f << 100;
    QTest::newRow("part of a pixel rounds up") << true << 1000.0f << 67;
    QTest::newRow("nothing gives the smallest") << true << 0.0f << -1;
    QTest::newRow("less than nothing gives the smallest") << true << -700.0f << -1;
    QTest::newRow("never shown, whole pixels") << false << 1500.0f << 100;
    QTest::newRow("never shown, nothing") << false << 0.0f << -1;
}

void tst_Form2::outerSizeIncludesTheFrame()
{
    QFETCH(bool, shownBefore);
    QFETCH(float, asked);
    QFETCH(int, outerPixels);

    Form2 window(m_main.get(), m_timer.get());
    if (shownBefore) {
        window.show();
        QVERIFY(QTest::qWaitForWindowExposed(&window));
        window.hide();
    }
    const QSize frame = frameThickness(&window);
    const QPoint clientAt = window.geometry().topLeft();

    window.setWidth(asked);
    window.setHeight(asked);

    const QSize expected = outerPixels < 0 ? frame + QSize(1, 1) : QSize(outerPixels, outerPixels);
    QCOMPARE(frameSize(&window), expected);
    QCOMPARE(window.size(), expected - frame);
    QCOMPARE(window.Width(), float(expected.width() * kTwipsPerPixel));
    QCOMPARE(window.Height(), float(expected.height() * kTwipsPerPixel));
    QCOMPARE(window.geometry().topLeft(), clientAt);
}

void tst_Form2::userCannotResize()
{
    Form2 window(m_main.get(), m_timer.get());
    window.show();
    QVERIFY(QTest::qWaitForWindowExposed(&window));
    window.setWidth(2000);
    window.setHeight(2500);
    QCOMPARE(window.minimumSize(), window.size());
    QCOMPARE(window.maximumSize(), window.size());
    // A resize that does not come through the window's own size is refused.
    const QSize before = frameSize(&window);
    window.resize(window.size() * 2);
    QCOMPARE(frameSize(&window), before);
    window.resize(window.size() / 2);
    QCOMPARE(frameSize(&window), before);
}

void tst_Form2::okShowsMainWindowThenHidesAndCollapses()
{
    openAboutWindow(m_slot, m_main.get(), m_timer.get());
    int ticks = 0;
    tickUntilStopped(10, &ticks);
    QVERIFY(m_slot && m_slot->isVisible());
    const float fullWidth = m_slot->Width();

    // What the other window looked like when each one changed.
    struct Seen
    {
        bool aboutVisibleWhenMainShown = false;
        bool mainVisibleWhenAboutHidden = false;
        float widthWhenAboutHidden = -1;
    } seen;
    class Watcher : public QObject
    {
    public:
        Watcher(QWidget *main, Form2 *about, Seen *seen) : m_main(main), m_about(about), m_seen(seen) {}
        bool eventFilter(QObject *object, QEvent *event) override
        {
            if (object == m_main && event->type() == QEvent::Show)
                m_seen->aboutVisibleWhenMainShown = m_about->isVisible();
            if (object == m_about && event->type() == QEvent::Hide) {
                m_seen->mainVisibleWhenAboutHidden = m_main->isVisible();
                m_seen->widthWhenAboutHidden = m_about->Width();
            }
            return false;
        }

    private:
        QWidget *m_main;
        Form2 *m_about;
        Seen *m_seen;
    } watcher(m_main.get(), m_slot, &seen);
    m_main->installEventFilter(&watcher);
    m_slot->installEventFilter(&watcher);

    QVERIFY(!m_main->isVisible());
    QVERIFY(!m_timer->isActive());
    auto *ok = m_slot->findChild<QPushButton *>(QStringLiteral("Command1"));
    QTest::mouseClick(ok, Qt::LeftButton);

    QVERIFY(m_slot); // hidden, not discarded
    QVERIFY(m_main->isVisible());
    QVERIFY(!m_slot->isVisible());
    QVERIFY(seen.aboutVisibleWhenMainShown);
    QVERIFY(seen.mainVisibleWhenAboutHidden);
    QCOMPARE(seen.widthWhenAboutHidden, fullWidth); // collapsed only once hidden
    const QSize smallest = frameThickness(m_slot) + QSize(1, 1);
    QCOMPARE(frameSize(m_slot), smallest);
    QVERIFY(m_timer->isActive());

    // The animation then grows the hidden window back without showing it.
    tickUntilStopped(10, &ticks);
    QCOMPARE(ticks, 6);
    QVERIFY(!m_slot->isVisible());
}

void tst_Form2::openingAnimation_data()
{
    QTest::addColumn<float>("width");
    QTest::addColumn<float>("height");
    QTest::addColumn<int>("ticks");

    QTest::newRow("from nothing") << 0.0f << 0.0f << 6;
    QTest::newRow("width already full") << 3000.0f << 0.0f << 1;
    QTest::newRow("height already full") << 0.0f << 3000.0f << 1;
    QTest::newRow("both beyond full") << 4500.0f << 4200.0f << 1;
    QTest::newRow("height one step short") << 0.0f << 2500.0f << 1;
    QTest::newRow("sizes the window rounds up") << 1000.0f << 1010.0f << 4;
}

void tst_Form2::openingAnimation()
{
    QFETCH(float, width);
    QFETCH(float, height);
    QFETCH(int, ticks);

    openAboutWindow(m_slot, m_main.get(), m_timer.get());
    QVERIFY(m_timer->isActive());
    QVERIFY(m_slot->isVisible());
    QCOMPARE(frameSize(m_slot), frameThickness(m_slot) + QSize(1, 1));
    const QPoint at = m_slot->frameGeometry().topLeft();

    m_slot->setWidth(width);
    m_slot->setHeight(height);
    const float startWidth = m_slot->Width();
    const float startHeight = m_slot->Height();

    int ran = 0;
    tickUntilStopped(20, &ran);
    QCOMPARE(ran, ticks);
    QVERIFY(!m_timer->isActive());
    QVERIFY(m_slot->Width() >= startWidth + 500 * ticks);
    QVERIFY(m_slot->Height() >= startHeight + 500 * ticks);
    QCOMPARE(m_slot->frameGeometry().topLeft(), at);
}

void tst_Form2::tickWithoutWindowCreatesItHidden()
{
    m_timer->start();
    growAboutWindow(m_slot, m_main.get(), m_timer.get());
    QVERIFY(m_slot);
    QVERIFY(!m_slot->isVisible());
    QCOMPARE(m_slot->geometry().topLeft(), toPixels(kForm2ClientArea).topLeft());
    // Grown by a step from its design size.
    const QRect design = toPixels(kForm2ClientArea);
    QVERIFY(m_slot->Width() >= float(design.width() * kTwipsPerPixel) + 500);
    QVERIFY(m_slot->Width() < float(design.width() * kTwipsPerPixel) + 515);
    QVERIFY(m_slot->Height() >= float(design.height() * kTwipsPerPixel) + 500);
    QVERIFY(m_timer->isActive());
}

void tst_Form2::aboutCommandAgainCollapsesTheSameWindow()
{
    Form2 *first = openAboutWindow(m_slot, m_main.get(), m_timer.get());
    int ticks = 0;
    tickUntilStopped(10, &ticks);
    QCOMPARE(ticks, 6);
    QVERIFY(first->Width() >= 3000 && first->Height() >= 3000);

    Form2 *second = openAboutWindow(m_slot, m_main.get(), m_timer.get());
    QCOMPARE(second, first);
    QVERIFY(second->isVisible());
    QVERIFY(second->Width() < 500 && second->Height() < 500);
    QVERIFY(m_timer->isActive());
    tickUntilStopped(10, &ticks);
    QCOMPARE(ticks, 6);
}

void tst_Form2::nextOpening_data()
{
    QTest::addColumn<bool>("closeThroughFrame");
    QTest::newRow("after the close box") << true;
    QTest::newRow("after OK") << false;
}

void tst_Form2::nextOpening()
{
    QFETCH(bool, closeThroughFrame);

    openAboutWindow(m_slot, m_main.get(), m_timer.get());
    int ticks = 0;
    tickUntilStopped(10, &ticks);
    const QPointer<Form2> first = m_slot;
    const QPoint design = toPixels(kForm2ClientArea).topLeft();
    const QPoint moved = design + QPoint(40, 30);
    first->move(first->pos() + QPoint(40, 30));
    QCOMPARE(first->geometry().topLeft(), moved);

    if (closeThroughFrame) {
        QVERIFY(first->close());
        QTRY_VERIFY(m_slot.isNull());
    } else {
        QTest::mouseClick(first->findChild<QPushButton *>(QStringLiteral("Command1")), Qt::LeftButton);
        tickUntilStopped(10, &ticks);
    }

    Form2 *next = openAboutWindow(m_slot, m_main.get(), m_timer.get());
    QVERIFY(next->isVisible());
    QVERIFY(m_timer->isActive());
    QCOMPARE(next == first.data(), !closeThroughFrame);
    QCOMPARE(next->geometry().topLeft(), closeThroughFrame ? design : moved);
    QCOMPARE(frameSize(next), frameThickness(next) + QSize(1, 1));
}

QTEST_MAIN(tst_Form2)
#include "tst_form2.moc"
