#pragma once

#include <QRect>
#include <QString>
#include <QWidget>
#include <QWindow>

#include <functional>
#include <optional>

class QPrinter;
class QWidget;

// Questions that pages ask the user: a login, where to save a download, whether to
// trust a certificate, a permission, a printer. The engine asks them through this
// interface, so that tests answer in the user's place. Everything handed in is plain
// data as the page or server sent it, untrusted (shortText() makes it fit for a
// label); answers come back as plain data. A question the engine needs answered on
// the spot returns its answer; the others take a callback, called once, later.
struct LoginQuestion
{
    QString host;  // host:port of the site, or the proxy's host
    QString realm; // the server's own words
    bool proxy = false;
    bool lastFailed = false; // the answer given to the same question was refused
};

struct Login
{
    QString user;
    QString password;
};

struct CertificateQuestion
{
    QString host;
    QString problem; // what is wrong, in words: "it has expired or is not yet valid"
    bool overridable = false; // false: going back is the only answer
};

// `parent`, where a question takes one, is the page area (the engine control): the
// window that asks is owned by the main window and shown over the page, never over
// the picture band, the address box or the status bar.
class PageServices
{
public:
    virtual ~PageServices() = default;

    // Credentials for the host; nothing when the user cancelled.
    virtual std::optional<Login> askLogin(QWidget *parent, const LoginQuestion &question) = 0;
    // Where to save a download, proposed as a full path; "" when the user cancelled.
    // An existing file is only chosen after the user confirmed replacing it.
    virtual QString askSaveFile(QWidget *parent, const QString &proposedPath) = 0;
    virtual void askCertificate(QWidget *parent, const CertificateQuestion &question,
                                std::function<void(bool proceed)> answer) = 0;
    // `what` says what the site wants, as words that follow "wants to".
    virtual void askPermission(QWidget *parent, const QString &origin, const QString &what,
                               std::function<void(bool allow)> answer) = 0;
    // Lets the user set the printer up (a printer, or a PDF file as output).
    virtual void choosePrinter(QWidget *parent, QPrinter *printer,
                               std::function<void(bool print)> answer) = 0;
    virtual void showNotification(QWidget *parent, const QString &origin, const QString &title,
                                  const QString &message) = 0;
    virtual void openFolder(const QString &path) = 0;
    // Tells the user something without blocking.
    virtual void tell(QWidget *parent, const QString &text) = 0;
};

// Untrusted text made fit for one line of a label: control and format characters
// (line breaks, bidirectional overrides) become spaces, and text longer than `max`
// characters ends in an ellipsis.
inline QString shortText(const QString &text, qsizetype max = 60)
{
    QString shown = text;
    for (QChar &c : shown) {
        const QChar::Category category = c.category();
        if (category == QChar::Other_Control || category == QChar::Other_Format
            || category == QChar::Separator_Line || category == QChar::Separator_Paragraph)
            c = u' ';
    }
    shown = shown.simplified();
    if (shown.size() <= max)
        return shown;
    qsizetype cut = max - 1;
    if (shown.at(cut - 1).isHighSurrogate())
        --cut;
    return shown.left(cut) + QChar(0x2026);
}

// Where the browser's windows for a page appear: over the page area, `kPageInset`
// pixels in from its top-left corner (or, for a window that only tells, from its
// bottom-right corner), sized down to fit in it where the window can shrink. The
// window manager adds its frame later; `kFrameAllowance` is kept free for it.
inline constexpr int kPageInset = 8;
inline constexpr QSize kFrameAllowance{12, 40};

enum class PageCorner { TopLeft, BottomRight };

// The room a window of the page may take, frame included, in global coordinates.
inline QRect pageRoom(const QWidget *pageArea)
{
    return QRect(pageArea->mapToGlobal(QPoint(0, 0)), pageArea->size())
            .adjusted(kPageInset, kPageInset, -kPageInset, -kPageInset);
}

// Places `window` over the page area; `raise` lifts it so far (for windows stacked
// at the bottom). Call before the window is shown.
inline void placeOverPage(QWidget *window, const QWidget *pageArea,
                          PageCorner corner = PageCorner::TopLeft, int raise = 0)
{
    const QRect room = pageRoom(pageArea);
    const QSize fits = room.size() - kFrameAllowance;
    window->ensurePolished();
    QSize size = window->isVisible() || window->testAttribute(Qt::WA_Resized) ? window->size()
                                                                             : window->sizeHint();
    size = size.boundedTo(fits).expandedTo(window->minimumSize());
    if (size != window->size() && window->minimumSize() != window->maximumSize())
        window->resize(size);
    const QSize outer = window->size() + kFrameAllowance;
    const QPoint at = corner == PageCorner::TopLeft
            ? room.topLeft()
            : room.bottomRight() - QPoint(outer.width(), outer.height() + raise) + QPoint(1, 1);
    window->move(at); // the frame's corner, and no dialog centres itself when shown
    // A window made already (a message box is) would take that for its inside's corner.
    if (QWindow *handle = window->windowHandle())
        handle->setFramePosition(at);
}
