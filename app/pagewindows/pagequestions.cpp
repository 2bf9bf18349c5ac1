#include "pagequestions.h"

#include <QApplication>
#include <QCheckBox>
#include <QEventLoop>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

namespace {

constexpr int kWidth = 400;
// A page's message is its own text: shown whole up to here, then cut.
constexpr int kMaxMessageChars = 600;
constexpr int kMaxMessageLines = 12;
// Longer runs without a blank get a break opportunity, so that no word is wider
// than the dialog.
constexpr int kMaxRun = 40;

QString shownMessage(const QString &message)
{
    QString text = message.left(kMaxMessageChars);
    const QStringList lines = text.split(QLatin1Char('\n'));
    if (lines.size() > kMaxMessageLines)
        text = lines.mid(0, kMaxMessageLines).join(QLatin1Char('\n'));
    QString shown;
    shown.reserve(text.size() + text.size() / kMaxRun);
    int run = 0;
    for (const QChar c : text) {
        run = c.isSpace() ? 0 : run + 1;
        if (run > kMaxRun) {
            shown += QChar(0x200B); // zero-width space
            run = 1;
        }
        shown += c;
    }
    if (text.size() < message.size())
        shown += QChar(0x2026);
    return shown;
}

QString pageName(const QUrl &origin)
{
    if (!origin.host().isEmpty())
        return origin.host();
    return QStringLiteral("This page");
}

} // namespace

PageQuestion::PageQuestion(Kind kind, const QUrl &origin, const QString &message, const QString &text,
                       bool offerQuiet, QWidget *parent)
    : QFrame(parent)
{
    setObjectName(QStringLiteral("pageQuestion"));
    setFrameStyle(QFrame::Box | QFrame::Raised);
    setBackgroundRole(QPalette::Button);
    setAutoFillBackground(true);

    auto *layout = new QVBoxLayout(this);
    auto *title = new QLabel(this);
    title->setObjectName(QStringLiteral("pageQuestionTitle"));
    title->setTextFormat(Qt::PlainText);
    QFont bold = title->font();
    bold.setBold(true);
    title->setFont(bold);
    title->setText(QFontMetrics(bold).elidedText(pageName(origin), Qt::ElideMiddle, kWidth - 24));
    layout->addWidget(title);

    auto *body = new QLabel(this);
    body->setObjectName(QStringLiteral("pageQuestionMessage"));
    body->setTextFormat(Qt::PlainText);
    body->setWordWrap(true);
    body->setText(shownMessage(message));
    layout->addWidget(body);

    if (kind == Prompt) {
        m_text = new QLineEdit(text, this);
        m_text->setObjectName(QStringLiteral("pageQuestionText"));
        layout->addWidget(m_text);
    }
    if (offerQuiet) {
        m_quiet = new QCheckBox(QStringLiteral("Don't let this page show more dialogs"), this);
        m_quiet->setObjectName(QStringLiteral("pageQuestionQuiet"));
        layout->addWidget(m_quiet);
    }

    auto *buttons = new QHBoxLayout;
    buttons->addStretch();
    auto *ok = new QPushButton(QStringLiteral("OK"), this);
    ok->setObjectName(QStringLiteral("pageQuestionOk"));
    ok->setDefault(true);
    buttons->addWidget(ok);
    connect(ok, &QPushButton::clicked, this, [this] { emit answered(true); });
    if (kind != Alert) {
        auto *cancel = new QPushButton(QStringLiteral("Cancel"), this);
        cancel->setObjectName(QStringLiteral("pageQuestionCancel"));
        buttons->addWidget(cancel);
        connect(cancel, &QPushButton::clicked, this, [this] { emit answered(false); });
    }
    layout->addLayout(buttons);

    setFixedWidth(kWidth);
    setFixedHeight(heightForWidth(kWidth) > 0 ? heightForWidth(kWidth) : sizeHint().height());
    setFocusProxy(m_text ? static_cast<QWidget *>(m_text) : ok);
}

QString PageQuestion::text() const
{
    return m_text ? m_text->text() : QString();
}

bool PageQuestion::quietChosen() const
{
    return m_quiet && m_quiet->isChecked();
}

void PageQuestion::keyPressEvent(QKeyEvent *event)
{
    switch (event->key()) {
    case Qt::Key_Return:
    case Qt::Key_Enter:
        emit answered(true);
        return;
    case Qt::Key_Escape:
        emit answered(false);
        return;
    default:
        QFrame::keyPressEvent(event);
    }
}

struct PageQuestions::Waiting
{
    QEventLoop loop;
    QPointer<PageQuestion> dialog;
    bool accepted = false;
    bool done = false;
};

PageQuestions::PageQuestions(QObject *parent) : QObject(parent)
{
}

PageQuestions::~PageQuestions()
{
    dismissAll();
}

bool PageQuestions::ask(PageQuestion::Kind kind, const QUrl &origin, const QString &message,
                      QString *text)
{
    // A page that was told to keep quiet does not get to keep the user either.
    if (m_quiet || !m_host)
        return kind == PageQuestion::LeavePage;
    if (m_leaving && kind != PageQuestion::LeavePage)
        return false;

    ++m_asked;
    Waiting waiting;
    waiting.dialog = new PageQuestion(kind, origin, message, text ? *text : QString(), m_asked > 1,
                                    m_host);
    PageQuestion *dialog = waiting.dialog;
    connect(dialog, &PageQuestion::answered, dialog, [&waiting](bool accepted) {
        if (waiting.done)
            return;
        waiting.done = true;
        waiting.accepted = accepted;
        waiting.loop.quit();
    });
    dialog->move((m_host->width() - dialog->width()) / 2, 0);
    // The question takes the keyboard only from the page itself, never from the
    // address box or another window the user is typing in.
    QPointer<QWidget> hadFocus = QApplication::focusWidget();
    const bool fromPage = !hadFocus || hadFocus == m_host || m_host->isAncestorOf(hadFocus);
    dialog->show();
    dialog->raise();
    if (fromPage)
        dialog->setFocus();

    m_waiting.append(&waiting);
    waiting.loop.exec();
    m_waiting.removeOne(&waiting);

    if (!waiting.dialog)
        return false;
    if (dialog->quietChosen())
        m_quiet = true;
    if (waiting.accepted && text)
        *text = dialog->text();
    const bool hadKeyboard = dialog->isAncestorOf(QApplication::focusWidget());
    delete dialog;
    if (hadKeyboard && hadFocus)
        hadFocus->setFocus();
    return waiting.accepted;
}

bool PageQuestions::dismissAll()
{
    bool any = false;
    for (Waiting *waiting : std::as_const(m_waiting)) {
        if (waiting->done)
            continue;
        any = true;
        waiting->done = true;
        waiting->accepted = false;
        if (waiting->dialog)
            waiting->dialog->hide();
        waiting->loop.quit();
    }
    return any;
}

void PageQuestions::newPage()
{
    m_asked = 0;
    m_quiet = false;
    m_leaving = false;
}
