#include "form1.h"

#include "about/aboutwindow.h"
#include "about/form2.h"
#include "accessibility.h"
#include "clickarea.h"
#include "engine/address/addressinput.h"
#include "engine/seam/webbrowser.h"
#include "findbar.h"
#include "form1layout.h"
#include "platform.h"
#include "statusbar.h"
#include "timewin/form3.h"

#include <QCloseEvent>
#include <QComboBox>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QShortcut>
#include <QTimer>

#include <algorithm>

using namespace Form1Layout;

namespace {

const QString kCaption = QStringLiteral("Ovo");
const QString kCaptionSuffix = QStringLiteral(" - Ovo ");
const QString kOpening = QStringLiteral("Opening...");
const QString kDone = QStringLiteral("Done");

// Button hints for status panel 1. The bare band writes two blanks, not an empty
// text: once the pointer has been over the band the panel is never empty again.
const QString kHintBand = QStringLiteral("  ");
const QString kHintBack = QStringLiteral("  Back");
const QString kHintForward = QStringLiteral("  Forward");
const QString kHintStop = QStringLiteral("  Stop");
const QString kHintRefresh = QStringLiteral("  Refresh");
const QString kHintHome = QStringLiteral("  Home");
const QString kHintSearch = QStringLiteral("  Search");

const QString kEditor = QStringLiteral("c:\\windows\\notepad.exe");

constexpr int kHintPanel = 1;
constexpr int kLoadStatePanel = 2;

// Which handler answers which event of which band area.
struct BandHandler
{
    const char *area;
    void (ClickArea::*event)();
    void (Form1::*handler)();
};

constexpr std::array kBandHandlers{
    BandHandler{"Label1", &ClickArea::clicked, &Form1::Label1_Click},
    BandHandler{"Label2", &ClickArea::clicked, &Form1::Label2_Click},
    BandHandler{"Label3", &ClickArea::clicked, &Form1::Label3_Click},
    BandHandler{"Label4", &ClickArea::clicked, &Form1::Label4_Click},
    BandHandler{"Label5", &ClickArea::clicked, &Form1::Label5_Click},
    BandHandler{"Label6", &ClickArea::clicked, &Form1::Label6_Click},
    BandHandler{"Image2", &ClickArea::clicked, &Form1::Image2_Click},
    BandHandler{"Image3", &ClickArea::clicked, &Form1::Image3_Click},
    BandHandler{"Image4", &ClickArea::clicked, &Form1::Image4_Click},
    BandHandler{"Image5", &ClickArea::clicked, &Form1::Image5_Click},
    BandHandler{"Image6", &ClickArea::clicked, &Form1::Image6_Click},
    BandHandler{"Image7", &ClickArea::clicked, &Form1::Image7_Click},
    BandHandler{"Image1", &ClickArea::mouseMoved, &Form1::Image1_MouseMove},
    BandHandler{"Image2", &ClickArea::mouseMoved, &Form1::Image2_MouseMove},
    BandHandler{"Image3", &ClickArea::mouseMoved, &Form1::Image3_MouseMove},
    BandHandler{"Image4", &ClickArea::mouseMoved, &Form1::Image4_MouseMove},
    BandHandler{"Image5", &ClickArea::mouseMoved, &Form1::Image5_MouseMove},
    BandHandler{"Image6", &ClickArea::mouseMoved, &Form1::Image6_MouseMove},
    BandHandler{"Image7", &ClickArea::mouseMoved, &Form1::Image7_MouseMove},
    BandHandler{"Label7", &ClickArea::clicked, &Form1::Label7_Click},
    BandHandler{"Label8", &ClickArea::clicked, &Form1::Label8_Click},
    BandHandler{"Label10", &ClickArea::clicked, &Form1::Label10_Click},
    BandHandler{"Label11", &ClickArea::clicked, &Form1::Label11_Click},
    BandHandler{"Label13", &ClickArea::clicked, &Form1::Label13_Click},
    BandHandler{"Label14", &ClickArea::clicked, &Form1::Label14_Click},
    BandHandler{"Label15", &ClickArea::clicked, &Form1::Label15_Click},
    BandHandler{"Label16", &ClickArea::clicked, &Form1::Label16_Click},
    // Label9 (Save) and Label12 (Edit HTML Document) only show their tool tips.
};

// The band's commands as the keyboard and assistive technology reach them: for each,
// the one area that a click on its drawn button or icon reaches, the command's name
// (its hint or tool tip) and its keys. A key or a press clicks that area, so the
// handler, the hint and all that follows are those of a click. Label1 to Label6 repeat
// the buttons over them and Label13 lies under Label14: they have no entry.
struct BandCommand
{
    const char *area;
    const char *name;
    std::array<QKeyCombination, 2> keys;
};

constexpr std::array kBandCommands{
    BandCommand{"Image2", "Back", {Qt::ALT | Qt::Key_Left}},
    BandCommand{"Image3", "Forward", {Qt::ALT | Qt::Key_Right}},
    BandCommand{"Image4", "Stop", {QKeyCombination(Qt::Key_Escape)}}, // only while a load runs
    BandCommand{"Image5", "Refresh", {QKeyCombination(Qt::Key_F5), Qt::CTRL | Qt::Key_R}},
    BandCommand{"Image6", "Home", {Qt::ALT | Qt::Key_Home}},
    BandCommand{"Image7", "Search", {}},
    BandCommand{"Label15", "Time Zone", {}},
    BandCommand{"Label7", "New HTML Document", {}},
    BandCommand{"Label8", "Open", {Qt::CTRL | Qt::Key_O}},
    BandCommand{"Label9", "Save", {}},
    BandCommand{"Label10", "Work online", {}},
    BandCommand{"Label11", "Work offline", {}},
    BandCommand{"Label12", "Edit HTML Document", {}},
    // Label14's tool tip says "Exit Browser"; the short name of the pair is the
    // command's, and the tool tip is still read as the button's description.
    BandCommand{"Label14", "Exit", {Qt::CTRL | Qt::Key_Q}},
    BandCommand{"Label16", "About Velt Browser", {}},
};

// How long a refused address stays reported under the box, unless the user types on.
constexpr int kAddressMessageMs = 8000;
constexpr int kShownAddressLength = 80;

QString shortened(const QString &text)
{
    if (text.size() <= kShownAddressLength)
        return text;
    return text.left(kShownAddressLength) + QChar(0x2026);
}

} // namespace

Form1::Form1(WebBrowser *engine, Platform &platform, QWidget *parent)
    : QWidget(parent, Qt::Tool | Qt::FramelessWindowHint), brwWebBrowser(engine),
      m_platform(platform)
{
    setObjectName(QStringLiteral("Form1"));
    setWindowTitle(kCaption);
    setWindowIcon(QIcon(QString::fromLatin1(kIcon)));
    setBackgroundRole(QPalette::Button);
    setAutoFillBackground(true);
    resize(twipsToPixels(kClientWidth), twipsToPixels(kClientHeight));

    timTimer = new QTimer(this);
    timTimer->setObjectName(QStringLiteral("timTimer"));
    timTimer->setInterval(5);
    connect(timTimer, &QTimer::timeout, this, &Form1::timTimer_Timer);

    Timer1 = new QTimer(this);
    Timer1->setObjectName(QStringLiteral("Timer1"));
    Timer1->setInterval(200);
    connect(Timer1, &QTimer::timeout, this, &Form1::Timer1_Timer);

    installAccessibleInterfaces();
    buildBand();
    wireBand();

    // Child-window controls lie above every label and image area.
    brwWebBrowser->setParent(this);
    brwWebBrowser->setObjectName(QStringLiteral("brwWebBrowser"));
    brwWebBrowser->setGeometry(toPixels(kEngine));
    brwWebBrowser->setFocusPolicy(Qt::StrongFocus);
    connect(brwWebBrowser, &WebBrowser::DownloadComplete, this,
            &Form1::brwWebBrowser_DownloadComplete);

    cboAddress = new QComboBox(this);
    cboAddress->setObjectName(QStringLiteral("cboAddress"));
    // Named for assistive technology, which would otherwise read out the address it
    // holds; before anything else, since the box's accessible kind is chosen once.
    cboAddress->setAccessibleName(QStringLiteral("Address"));
    cboAddress->setEditable(true);
    // The list is ours to keep: nothing is inserted, sorted or merged behind our back,
    // and Enter on a listed text must not count as a pick.
    cboAddress->setInsertPolicy(QComboBox::NoInsert);
    cboAddress->setDuplicatesEnabled(true);
    cboAddress->setCompleter(nullptr);
    // Long text is not cut short behind the user's back: anything up to one past the
    // engine's limit is kept, so that an over-long address is refused, not shortened.
    cboAddress->lineEdit()->setMaxLength(int(kMaxAddressLength) + 1);
    // QComboBox selects a listed entry equal to the text when editing finishes and
    // reports it as activated; only a pick from the list counts as one here.
    QObject::disconnect(cboAddress->lineEdit(), &QLineEdit::editingFinished, cboAddress, nullptr);
    cboAddress->setGeometry(toPixels(kAddressBox));
    cboAddress->setEditText(QString::fromLatin1(kDefaultAddress));
    // Keys reach the box, which has the focus; it hands them to its line edit
    // without passing them through the line edit's filters.
    cboAddress->installEventFilter(this);
    connect(cboAddress, &QComboBox::activated, this, &Form1::cboAddress_Click);
    cboAddress->lineEdit()->setAccessibleName(QStringLiteral("Address"));

    StatusBar1 = new StatusBar(twipsToPixels(kPanelWidth), this);
    StatusBar1->setObjectName(QStringLiteral("StatusBar1"));

    // The engine comes first in the tab order, then the address box.
    setTabOrder(brwWebBrowser, cboAddress);

    m_addressMessage = new QLabel(this);
    m_addressMessage->setObjectName(QStringLiteral("addressMessage"));
    m_addressMessage->setForegroundRole(QPalette::ToolTipText);
    m_addressMessage->setBackgroundRole(QPalette::ToolTipBase);
    m_addressMessage->setAutoFillBackground(true);
    m_addressMessage->setFrameStyle(QFrame::Box | QFrame::Plain);
    m_addressMessage->setMargin(4);
    m_addressMessage->setWordWrap(true);
    m_addressMessage->setTextFormat(Qt::PlainText);
    m_addressMessage->hide();
    // Where it shows, under the box: assistive technology reads it after the box.
    m_addressMessage->move(cboAddress->geometry().bottomLeft() + QPoint(0, 1));
    m_addressMessageTimer = new QTimer(this);
    m_addressMessageTimer->setSingleShot(true);
    m_addressMessageTimer->setInterval(kAddressMessageMs);
    connect(m_addressMessageTimer, &QTimer::timeout, m_addressMessage, &QWidget::hide);

    m_findBar = new FindBar(brwWebBrowser, this);
    m_findBar->setGeometry(toPixels(kFindBar));

    dockStatusBar();
    bindCommands();
}

Form1::~Form1()
{
    // Neither window has an owner; they go with the main window.
    delete m_form2.data();
    delete m_form3.data();
}

void Form1::buildBand()
{
    // Created back to front, so that each area raised lies in front of the ones before.
    for (int i = int(kBandAreas.size()) - 1; i >= 0; --i) {
        const BandArea &row = kBandAreas[i];
        auto *area = new ClickArea(this);
        area->setObjectName(QString::fromLatin1(row.name));
        area->setGeometry(toPixels(row.at));
        if (row.toolTip)
            area->setToolTip(QString::fromLatin1(row.toolTip));
        area->raise();
        m_areas[i] = area;
    }
    area("Image1")->setPicture(QString::fromLatin1(kBandPicture));
}

void Form1::bindCommands()
{
    for (const BandCommand &command : kBandCommands) {
        ClickArea *target = area(command.area);
        target->setAccessibleName(QString::fromLatin1(command.name));
        target->setKeyboardReachable();
        QList<QKeySequence> keys;
        for (const QKeyCombination key : command.keys) {
            if (key.key() != Qt::Key_unknown)
                keys << QKeySequence(key);
        }
        if (keys.isEmpty())
            continue;
        // Owned by the area, so that its accessible button can name them. Each works
        // wherever the focus is in this window, the page or the address box.
        auto *shortcut = new QShortcut(target);
        shortcut->setKeys(keys);
        shortcut->setContext(Qt::WindowShortcut);
        shortcut->setAutoRepeat(false); // a held key runs its command once
        connect(shortcut, &QShortcut::activated, target, &ClickArea::click);
        if (target == area("Image4")) {
            m_stopKey = shortcut;
            m_stopKey->setEnabled(false); // until a press of Escape finds a load running
        }
    }

    auto *addressKeys = new QShortcut(this);
    addressKeys->setKeys({QKeySequence(Qt::CTRL | Qt::Key_L), QKeySequence(Qt::Key_F6),
                          QKeySequence(Qt::ALT | Qt::Key_D)});
    addressKeys->setContext(Qt::WindowShortcut);
    connect(addressKeys, &QShortcut::activated, this, &Form1::focusAddressBox);

    const auto findKeys = [this](QList<QKeySequence> keys, void (FindBar::*action)()) {
        auto *shortcut = new QShortcut(this);
        shortcut->setKeys(keys);
        shortcut->setContext(Qt::WindowShortcut);
        connect(shortcut, &QShortcut::activated, m_findBar, action);
    };
    findKeys({QKeySequence(Qt::CTRL | Qt::Key_F)}, &FindBar::open);
    findKeys({QKeySequence(Qt::Key_F3)}, &FindBar::findNext);
    findKeys({QKeySequence(Qt::SHIFT | Qt::Key_F3)}, &FindBar::findPrevious);

    const auto zoomKeys = [this](QList<QKeySequence> keys, WebBrowser::Zoom step) {
        auto *shortcut = new QShortcut(this);
        shortcut->setKeys(keys);
        shortcut->setContext(Qt::WindowShortcut);
        connect(shortcut, &QShortcut::activated, brwWebBrowser,
                [engine = brwWebBrowser, step] { engine->zoom(step); });
    };
    // Ctrl with the + key, Ctrl with the key that has + on it, and the keypad's.
    zoomKeys({QKeySequence(Qt::CTRL | Qt::Key_Plus), QKeySequence(Qt::CTRL | Qt::Key_Equal)},
             WebBrowser::Zoom::In);
    zoomKeys({QKeySequence(Qt::CTRL | Qt::Key_Minus)}, WebBrowser::Zoom::Out);
    zoomKeys({QKeySequence(Qt::CTRL | Qt::Key_0)}, WebBrowser::Zoom::Reset);
}

bool Form1::event(QEvent *event)
{
    // Asked before any shortcut is looked up, once no control in the window has taken
    // the key for itself: Escape stops a running load, and otherwise stays the page's
    // or the address box's.
    if (event->type() == QEvent::ShortcutOverride
        && static_cast<QKeyEvent *>(event)->key() == Qt::Key_Escape) {
        bool ok = false;
        const bool busy = brwWebBrowser->Busy(&ok);
        m_stopKey->setEnabled(busy && ok);
    }
    return QWidget::event(event);
}

void Form1::focusAddressBox()
{
    cboAddress->setFocus(Qt::ShortcutFocusReason);
    cboAddress->lineEdit()->selectAll();
}

bool Form1::focusNextPrevChild(bool next)
{
    // Tab goes round the page, the find bar while it is open, the address box and the
    // band's commands in the order they are drawn, whatever order the controls were
    // made in; the page and the box hand Tab on to here once they are done with it.
    QList<QWidget *> stops{brwWebBrowser};
    if (m_findBar->isVisible())
        stops << m_findBar->tabStops();
    stops << cboAddress;
    for (const BandCommand &command : kBandCommands)
        stops << area(command.area);
    QWidget *focus = focusWidget();
    const auto from = std::find_if(stops.cbegin(), stops.cend(), [focus](const QWidget *stop) {
        return stop == focus || stop->isAncestorOf(focus);
    });
    if (!focus || from == stops.cend())
        return QWidget::focusNextPrevChild(next);
    const qsizetype count = stops.size();
    QWidget *to = stops.at((from - stops.cbegin() + (next ? 1 : count - 1)) % count);
    to->setFocus(next ? Qt::TabFocusReason : Qt::BacktabFocusReason);
    return true;
}

void Form1::wireBand()
{
    for (const BandHandler &row : kBandHandlers) {
        ClickArea *target = area(row.area);
        // Hints follow the pointer with no button held.
        if (row.event == &ClickArea::mouseMoved)
            target->setMouseTracking(true);
        connect(target, row.event, this, row.handler);
    }
}

ClickArea *Form1::area(const char *name) const
{
    for (std::size_t i = 0; i < kBandAreas.size(); ++i) {
        if (qstrcmp(kBandAreas[i].name, name) == 0)
            return m_areas[i];
    }
    return nullptr;
}

void Form1::dockStatusBar()
{
    const int height = twipsToPixels(kStatusBarHeight);
    StatusBar1->setGeometry(0, this->height() - height, width(), height);
}

void Form1::resizeEvent(QResizeEvent *)
{
    dockStatusBar();
    Form_Resize();
}

void Form1::closeEvent(QCloseEvent *event)
{
    // The window has no close box of its own; a close from the window system ends
    // the program rather than leave it running with no visible window.
    event->accept();
    m_platform.endProgram();
}

void Form1::Form_Load()
{
    showMaximized();
    // The engine is first in the tab order, so it has the focus at start.
    brwWebBrowser->setFocus();
    area("Image1")->repaint();
    Form_Resize();
}

void Form1::Form_Resize()
{
    // Controls keep their design places; the status bar docks itself.
}

bool Form1::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == cboAddress && event->type() == QEvent::KeyPress) {
        const auto *key = static_cast<QKeyEvent *>(event);
        int keyAscii = 0;
        if (key->key() == Qt::Key_Return || key->key() == Qt::Key_Enter)
            keyAscii = 13;
        else if (!key->text().isEmpty())
            keyAscii = key->text().at(0).unicode();
        if (keyAscii != 0)
            cboAddress_KeyPress(keyAscii);
    }
    return QWidget::eventFilter(watched, event);
}

void Form1::cboAddress_KeyPress(int &keyAscii)
{
    if (keyAscii != 13) {
        m_addressMessage->hide();
        return;
    }
    const QString text = cboAddress->currentText();
    if (!brwWebBrowser->Navigate(text)) {
        reportRefusedAddress(text);
        return;
    }
    m_addressMessage->hide();
    cboAddress->addItem(cboAddress->currentText());
}

void Form1::reportRefusedAddress(const QString &text)
{
    m_addressMessage->setText(QStringLiteral("Cannot open \u201c%1\u201d: %2")
                                      .arg(shortened(text), brwWebBrowser->lastError()));
    const QRect box = cboAddress->geometry();
    m_addressMessage->setFixedWidth(box.width());
    m_addressMessage->adjustSize();
    m_addressMessage->move(box.left(), box.bottom() + 1);
    m_addressMessage->show();
    m_addressMessage->raise();
    m_addressMessageTimer->start();
}

void Form1::cboAddress_Click()
{
    if (!timTimer->isActive())
        timTimer->start();
    const QString text = cboAddress->currentText();
    if (text.isEmpty())
        return;
    brwWebBrowser->Navigate(text); // a refused pick is ignored
}

void Form1::brwWebBrowser_DownloadComplete()
{
    bool ok = false;
    const QString url = brwWebBrowser->LocationURL(&ok);
    if (ok)
        cboAddress->setEditText(url);
}

// Runs every 5 ms for as long as a load lasts, so a tick that changes nothing must
// cost nothing: the texts are shared constants, and QLabel::setText and
// setWindowTitle return at once on an equal text.
void Form1::timTimer_Timer()
{
    bool ok = false;
    const bool busy = brwWebBrowser->Busy(&ok);
    if (busy && ok) {
        StatusBar1->setPanelText(kLoadStatePanel, kOpening);
        setWindowTitle(kCaption);
        return;
    }
    // Idle, or Busy could not be read: report the load as done either way.
    timTimer->stop();
    StatusBar1->setPanelText(kLoadStatePanel, kDone);
    const QString name = brwWebBrowser->LocationName(&ok);
    if (ok)
        setWindowTitle(name + kCaptionSuffix);
}

// The navigation commands pass straight through to the engine; a refused one
// (Back with no earlier page, ...) is ignored and leaves everything as it was.
void Form1::Label1_Click()
{
    brwWebBrowser->GoBack();
}

void Form1::Label2_Click()
{
    brwWebBrowser->GoForward();
}

void Form1::Label3_Click()
{
    brwWebBrowser->Stop();
}

void Form1::Label4_Click()
{
    brwWebBrowser->Refresh();
}

void Form1::Label5_Click()
{
    brwWebBrowser->GoHome();
}

void Form1::Label6_Click()
{
    brwWebBrowser->GoSearch();
}

void Form1::Image2_Click()
{
    // Only Back names itself on a click as well.
    StatusBar1->setPanelText(kHintPanel, kHintBack);
    Label1_Click();
}

void Form1::Image3_Click()
{
    Label2_Click();
}

void Form1::Image4_Click()
{
    Label3_Click();
}

void Form1::Image5_Click()
{
    Label4_Click();
}

void Form1::Image6_Click()
{
    Label5_Click();
}

void Form1::Image7_Click()
{
    Label6_Click();
}

void Form1::Image1_MouseMove()
{
    StatusBar1->setPanelText(kHintPanel, kHintBand);
}

void Form1::Image2_MouseMove()
{
    StatusBar1->setPanelText(kHintPanel, kHintBack);
}

void Form1::Image3_MouseMove()
{
    StatusBar1->setPanelText(kHintPanel, kHintForward);
}

void Form1::Image4_MouseMove()
{
    StatusBar1->setPanelText(kHintPanel, kHintStop);
}

void Form1::Image5_MouseMove()
{
    StatusBar1->setPanelText(kHintPanel, kHintRefresh);
}

void Form1::Image6_MouseMove()
{
    StatusBar1->setPanelText(kHintPanel, kHintHome);
}

void Form1::Image7_MouseMove()
{
    StatusBar1->setPanelText(kHintPanel, kHintSearch);
}

void Form1::Label7_Click()
{
    if (m_platform.startProgram(kEditor))
        return;
    QString text = QStringLiteral("No text editor could be started. There is no program at \u201c%1\u201d")
                           .arg(kEditor);
    const QStringList editors = m_platform.editorsLookedFor();
    if (editors.isEmpty())
        text += QLatin1Char('.');
    else
        text += QStringLiteral(", and none of these editors was found to start in its place: %1.")
                        .arg(editors.join(QStringLiteral(", ")));
    m_platform.showMessage(this, text);
}

void Form1::Label8_Click()
{
    // Cancel gives "", which the engine takes as nothing to load; a name that it
    // refuses is ignored like any other failure here.
    const QString file = m_platform.chooseFileToOpen(this);
    brwWebBrowser->Navigate(file);
}

void Form1::Label10_Click()
{
    brwWebBrowser->setOffline(false);
}

void Form1::Label11_Click()
{
    brwWebBrowser->setOffline(true);
}

void Form1::Label13_Click()
{
    m_platform.endProgram();
}

void Form1::Label14_Click()
{
    m_platform.endProgram();
}

void Form1::Label15_Click()
{
    showTimeWindow(m_form3, this);
}

void Form1::Label16_Click()
{
    openAboutWindow(m_form2, this, Timer1);
}

void Form1::Timer1_Timer()
{
    growAboutWindow(m_form2, this, Timer1);
}
