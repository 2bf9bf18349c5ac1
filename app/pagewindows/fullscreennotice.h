#pragma once

#include <QLabel>

class QUrl;

// "<host> is now full screen. Press Esc to leave." at the top centre of a page that
// went full screen, for a few seconds: without it a page could draw a desktop or a
// login of its own over the whole screen and the user could not tell. Plain text,
// read out like any label; it takes no input (clicks go through to the page, it
// never has the focus), and once gone it covers nothing.
class FullScreenNotice : public QLabel
{
    Q_OBJECT
public:
    static constexpr int kShownMs = 4000;

    // Shown over `window` (the full-screen window), which owns it.
    static FullScreenNotice *showOver(QWidget *window, const QUrl &page);

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    FullScreenNotice(QWidget *window, const QString &host);
    void place();
};
