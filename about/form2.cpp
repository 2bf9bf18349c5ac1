#include "form2.h"

#include "designtable.h"
#include "form2layout.h"
#include "lineshape.h"
#include "plainwindow.h"
#include "windowaccess.h"

#include <QFile>
#include <QIcon>
#include <QLabel>
#include <QPalette>
#include <QPushButton>
#include <QShortcut>
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

} // namespace

Form2::Form2(QWidget *mainWindow, QTimer *openingTimer)
    : QWidget(nullptr, kPlainWindow),
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
    buildFromTable(kForm2Controls, [this](const Form2Control &row) -> QWidget * {
        switch (row.kind) {
        case Form2Kind::PushButton: {
            auto *button = new QPushButton(QString::fromUtf8(row.text), this);
            button->setGeometry(toPixels(row.box));
            return button;
        }
        case Form2Kind::Line:
            return new LineShape(row.ends, *row.colour, row.borderWidth, this);
        case Form2Kind::Label: {
            QLabel *label = makeDesignLabel(QString::fromUtf8(row.text),
                                            {row.colour, true, std::nullopt, true}, this);
            label->setGeometry(toPixels(row.box));
            return label;
        }
        }
        Q_UNREACHABLE();
        return nullptr;
    });
    Command1 = findChild<QPushButton *>(QStringLiteral("Command1"));
    Label1 = findChild<QLabel *>(QStringLiteral("Label1"));
    Label2 = findChild<QLabel *>(QStringLiteral("Label2"));
    connect(Command1, &QPushButton::clicked, this, &Form2::Command1_Click);
    // The credits, the notice and OK; the etched lines only draw.
    WindowAccess::readAsWindow(this);
    for (LineShape *line : findChildren<LineShape *>(Qt::FindDirectChildrenOnly))
        WindowAccess::leaveOut(line);
    // As in a dialog, Escape and Return press OK.
    auto *keys = new QShortcut(this);
    keys->setKeys({QKeySequence(Qt::Key_Escape), QKeySequence(Qt::Key_Return), QKeySequence(Qt::Key_Enter)});
    connect(keys, &QShortcut::activated, Command1, &QPushButton::click);
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
