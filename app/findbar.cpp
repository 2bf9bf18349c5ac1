#include "findbar.h"

#include "engine/seam/webbrowser.h"

#include <QApplication>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QToolButton>

namespace {

QToolButton *makeButton(QWidget *parent, const QString &name, const QString &toolTip)
{
    auto *button = new QToolButton(parent);
    button->setAccessibleName(name);
    button->setToolTip(toolTip);
    button->setAutoRaise(true);
    return button;
}

bool isEscape(QEvent *event)
{
    return (event->type() == QEvent::KeyPress || event->type() == QEvent::ShortcutOverride)
            && static_cast<QKeyEvent *>(event)->key() == Qt::Key_Escape;
}

} // namespace

FindBar::FindBar(WebBrowser *engine, QWidget *parent) : QFrame(parent), m_engine(engine)
{
    setObjectName(QStringLiteral("findBar"));
    setAccessibleName(QStringLiteral("Find in page"));
    // The window's own look: button face, a plain raised edge.
    setBackgroundRole(QPalette::Button);
    setAutoFillBackground(true);
    setFrameStyle(QFrame::Panel | QFrame::Raised);

    auto *label = new QLabel(QStringLiteral("&Find:"), this);
    m_text = new QLineEdit(this);
    m_text->setObjectName(QStringLiteral("findText"));
    m_text->setAccessibleName(QStringLiteral("Find"));
    m_text->setClearButtonEnabled(false);
    label->setBuddy(m_text);
    m_result = new QLabel(this);
    m_result->setObjectName(QStringLiteral("findResult"));
    m_result->setTextFormat(Qt::PlainText);
    m_result->setMinimumWidth(m_result->fontMetrics().horizontalAdvance(QStringLiteral("9999 of 9999")));
    m_previous = makeButton(this, QStringLiteral("Previous match"), QStringLiteral("Previous match (Shift+F3)"));
    m_previous->setArrowType(Qt::UpArrow);
    m_next = makeButton(this, QStringLiteral("Next match"), QStringLiteral("Next match (F3)"));
    m_next->setArrowType(Qt::DownArrow);
    m_close = makeButton(this, QStringLiteral("Close find bar"), QStringLiteral("Close (Esc)"));
    m_close->setText(QStringLiteral("\u00d7"));

    auto *row = new QHBoxLayout(this);
    row->setContentsMargins(6, 2, 4, 2);
    row->addWidget(label);
    row->addWidget(m_text, 1);
    row->addWidget(m_result);
    row->addWidget(m_previous);
    row->addWidget(m_next);
    row->addSpacing(8);
    row->addWidget(m_close);

    m_text->installEventFilter(this);
    connect(m_text, &QLineEdit::textEdited, this, [this] { search(false); });
    connect(m_previous, &QToolButton::clicked, this, &FindBar::findPrevious);
    connect(m_next, &QToolButton::clicked, this, &FindBar::findNext);
    connect(m_close, &QToolButton::clicked, this, &FindBar::dismiss);
    connect(m_engine, &WebBrowser::findFinished, this, &FindBar::showResult);
    // What was found belongs to the page that was shown.
    connect(m_engine, &WebBrowser::loadStarted, this, &FindBar::dismiss);
    hide();
}

QList<QWidget *> FindBar::tabStops() const
{
    return {m_text, m_previous, m_next, m_close};
}

bool FindBar::reveal()
{
    const bool wasClosed = isHidden();
    show();
    raise();
    m_text->setFocus(Qt::ShortcutFocusReason);
    m_text->selectAll();
    return wasClosed;
}

void FindBar::open()
{
    if (reveal() && !m_text->text().isEmpty())
        search(false);
}

void FindBar::findNext()
{
    if (isHidden())
        open();
    else
        search(false);
}

void FindBar::findPrevious()
{
    if (isHidden())
        reveal();
    search(true);
}

void FindBar::dismiss()
{
    if (isHidden())
        return;
    if (isAncestorOf(QApplication::focusWidget()))
        m_engine->setFocus(Qt::OtherFocusReason);
    hide();
    m_result->clear();
    m_engine->findText(QString(), false);
}

void FindBar::search(bool backward)
{
    const QString text = m_text->text();
    if (text.isEmpty()) {
        m_result->clear();
        m_engine->findText(QString(), false);
        return;
    }
    m_engine->findText(text, backward);
}

void FindBar::showResult(int active, int total)
{
    // A late answer for a bar closed or emptied meanwhile says nothing.
    if (isHidden() || m_text->text().isEmpty())
        return;
    m_result->setText(total == 0 ? QStringLiteral("No matches") : QStringLiteral("%1 of %2").arg(active).arg(total));
    m_text->setAccessibleDescription(m_result->text());
}

bool FindBar::event(QEvent *event)
{
    // Escape is the bar's while it has the focus, not the Stop key's.
    if (isEscape(event)) {
        event->accept();
        if (event->type() == QEvent::KeyPress)
            dismiss();
        return true;
    }
    return QFrame::event(event);
}

bool FindBar::eventFilter(QObject *watched, QEvent *event)
{
    if (watched != m_text)
        return QFrame::eventFilter(watched, event);
    if (isEscape(event)) {
        event->accept();
        if (event->type() == QEvent::KeyPress)
            dismiss();
        return true;
    }
    if (event->type() == QEvent::KeyPress) {
        const auto *key = static_cast<QKeyEvent *>(event);
        if (key->key() == Qt::Key_Return || key->key() == Qt::Key_Enter) {
            search(key->modifiers() & Qt::ShiftModifier);
            return true;
        }
    }
    return QFrame::eventFilter(watched, event);
}
