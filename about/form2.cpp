#include "form2.h"

#include "form2layout.h"
#include "form2line.h"

#include <QFile>
#include <QIcon>
#include <QLabel>
#include <QPalette>
#include <QPushButton>
#include <QTimer>

#include <cmath>

namespace {

// A window of zero width or height cannot be mapped (Qt unmaps it and still
// calls it visible), so the smallest window is one pixel of client area inside
// its frame: asking for less gives this.
constexpr QSize kSmallestClient{1, 1};

// Outer twips to whole pixels, rounded up: a window grown by 500 twips grows by
// at least that, so six steps from nothing always reach 3000.
int outerPixels(float twips)
{
    if (!(twips > 0.0f)) // also NaN
        return 0;
    const double pixels = std::ceil(double(twips) / kTwipsPerPixel);
    return pixels >= QWIDGETSIZE_MAX ? QWIDGETSIZE_MAX : int(pixels);
}

QColor toColour(Rgb rgb)
{
    return QColor(rgb.red, rgb.green, rgb.blue);
}

} // namespace

Form2::Form2(QWidget *mainWindow, QTimer *openingTimer)
    : QWidget(nullptr, Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint
                           | Qt::WindowCloseButtonHint | Qt::MSWindowsFixedSizeDialogHint),
      m_mainWindow(mainWindow), m_openingTimer(openingTimer)
{
    setAttribute(Qt::WA_DeleteOnClose);
    setWindowTitle(QStringLiteral("About Velt Browser"));
    const QString icon = QStringLiteral(":/assets/form2.ico");
    if (QFile::exists(icon))
        setWindowIcon(QIcon(icon));
    setBackgroundRole(QPalette::Button);
    setAutoFillBackground(true);

    buildControls();

    // The design places the client area, not the frame; the window opens there.
    setGeometry(toPixels(kForm2ClientArea));
    resizeClient(size());
}

void Form2::buildControls()
{
    // Back to front, so that each control is created over the ones behind it.
    for (auto it = kForm2Controls.rbegin(); it != kForm2Controls.rend(); ++it) {
        const Form2Control &row = *it;
        QWidget *control = nullptr;
        switch (row.kind) {
        case Form2Kind::PushButton: {
            auto *button = new QPushButton(QString::fromUtf8(row.text), this);
            button->setGeometry(toPixels(row.box));
            control = button;
            break;
        }
        case Form2Kind::Line: {
            const QLineF ends(row.ends.x1, row.ends.y1, row.ends.x2, row.ends.y2);
            control = new Form2Line(toPixelsF(ends), toColour(row.colour), row.borderWidth, this);
            break;
        }
        case Form2Kind::Label: {
            auto *label = new QLabel(this);
            label->setTextFormat(Qt::PlainText);
            label->setText(QString::fromUtf8(row.text));
            label->setGeometry(toPixels(row.box));
            label->setWordWrap(true);
            label->setAlignment(Qt::AlignLeft | Qt::AlignTop);
            label->setAutoFillBackground(true);
            label->setFocusPolicy(Qt::NoFocus);
            if (row.colour.red >= 0) {
                QPalette palette = label->palette();
                palette.setColor(QPalette::WindowText, toColour(row.colour));
                label->setPalette(palette);
                // Over a button-face background the text would otherwise take the
                // button-text role and ignore this colour.
                label->setForegroundRole(QPalette::WindowText);
            }
            control = label;
            break;
        }
        }
        control->setObjectName(QString::fromUtf8(row.name));
        control->raise();
    }
    Command1 = findChild<QPushButton *>(QStringLiteral("Command1"));
    Label1 = findChild<QLabel *>(QStringLiteral("Label1"));
    Label2 = findChild<QLabel *>(QStringLiteral("Label2"));
    connect(Command1, &QPushButton::clicked, this, &Form2::Command1_Click);
}

// Outer and client size: Qt sizes a window by its client area (geometry()); the
// frame and title bar are the window system's, and their thickness is
// frameGeometry() less geometry(). The window system tells the frame only once
// the window has been shown; Qt keeps it while the window is hidden. Before the
// first showing frameGeometry() equals geometry(), so an outer size set then is
// taken as the client size, and the frame adds to it when the window appears;
// the next size set after that accounts for the frame.
float Form2::Width() const
{
    return pixelsToTwips(frameGeometry().width());
}

void Form2::setWidth(float twips)
{
    const int frame = frameGeometry().width() - geometry().width();
    resizeClient(QSize(outerPixels(twips) - frame, height()));
}

float Form2::Height() const
{
    return pixelsToTwips(frameGeometry().height());
}

void Form2::setHeight(float twips)
{
    const int frame = frameGeometry().height() - geometry().height();
    resizeClient(QSize(width(), outerPixels(twips) - frame));
}

// The user may not resize the window, but the program must, to any size: the
// window allows exactly its own size, and only this function widens that
// allowance for the moment it resizes. Qt clamps the request to the allowance,
// so the window ends no smaller than kSmallestClient.
void Form2::resizeClient(QSize client)
{
    setMinimumSize(kSmallestClient);
    setMaximumSize(QWIDGETSIZE_MAX, QWIDGETSIZE_MAX);
    resize(client);
    setMinimumSize(size());
    setMaximumSize(size());
}

void Form2::Command1_Click()
{
    if (m_mainWindow) {
        m_mainWindow->show();
        m_mainWindow->raise();
        m_mainWindow->activateWindow();
    }
    hide();
    // Collapsed while hidden, so that the timer grows it back unseen.
    setWidth(0);
    setHeight(0);
    if (m_openingTimer)
        m_openingTimer->start();
}
