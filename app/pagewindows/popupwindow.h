#pragma once

#include <QWidget>

class QGridLayout;
class QHBoxLayout;
class QLabel;
class QUrl;

// The small window of a popup that a page opened (a sign-in, say): a line that says
// where the popup really is and whether its connection is secure, over the popup's
// page. A popup has no address box, so that line is all that keeps it from passing
// itself off as another site. Owned by the main window and shown over its page area;
// closing it (its close box, the window manager) only reports it: whoever made the
// popup ends it.
class PopupWindow : public QWidget
{
    Q_OBJECT
public:
    // `pageArea`: the main window's page area, over which the popup appears.
    explicit PopupWindow(QWidget *pageArea);

    // Where the popup's page goes (cell 0, 0 of its layout), and where its questions appear.
    QWidget *pageArea() const { return m_pageArea; }
    QGridLayout *pageFill() const { return m_fill; }

    // Shows the origin of `url`, and "Secure" or "Not secure".
    void showWhere(const QUrl &url, bool secure);

    // Sizes the popup so that its page gets `pageSize` (a default where it is empty),
    // as far as the main window's page area allows, and places it there.
    void placeFor(QSize pageSize);

    // scheme://host[:port] of `url` (the inner one of a blob: address); the host in
    // its ASCII form, so that look-alike letters cannot pass for another site's.
    static QString originOf(const QUrl &url);

signals:
    void closed();

protected:
    void closeEvent(QCloseEvent *event) override;

private:
    QWidget *m_owner;
    QHBoxLayout *m_where = nullptr;
    QLabel *m_security = nullptr;
    QLabel *m_origin = nullptr;
    QWidget *m_pageArea = nullptr;
    QGridLayout *m_fill = nullptr;
};
