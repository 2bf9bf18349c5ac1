#include "fullscreennotice.h"

#include "untrustedtext.h"

#include <QEvent>
#include <QTimer>
#include <QUrl>

namespace {

constexpr int kFromTop = 24;

} // namespace

FullScreenNotice *FullScreenNotice::showOver(QWidget *window, const QUrl &page)
{
    auto *notice = new FullScreenNotice(window, page.host());
    notice->show();
    return notice;
}

FullScreenNotice::FullScreenNotice(QWidget *window, const QString &host)
    : QLabel(window)
{
    setObjectName(QStringLiteral("fullScreenNotice"));
    setTextFormat(Qt::PlainText);
    // A page without a host (a file, a data address) is still a page.
    setText(QStringLiteral("%1 is now full screen. Press Esc to leave.")
                    .arg(host.isEmpty() ? QStringLiteral("This page") : shortText(host)));
    setMargin(10);
    setFrameShape(QFrame::Box);
    setBackgroundRole(QPalette::Button);
    setAutoFillBackground(true);
    setAttribute(Qt::WA_TransparentForMouseEvents);
    setFocusPolicy(Qt::NoFocus);
    adjustSize();
    place();
    raise();
    // The window takes its full size only once the window manager has answered.
    window->installEventFilter(this);
    QTimer::singleShot(kShownMs, this, [this] {
        hide();
        deleteLater();
    });
}

void FullScreenNotice::place()
{
    move((parentWidget()->width() - width()) / 2, kFromTop);
}

bool FullScreenNotice::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == parentWidget() && event->type() == QEvent::Resize)
        place();
    return QLabel::eventFilter(watched, event);
}
