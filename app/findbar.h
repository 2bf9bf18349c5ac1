#pragma once

#include <QFrame>

class QLabel;
class QLineEdit;
class QToolButton;
class WebBrowser;

// Find in the page: a bar laid over the bottom edge of the page area while it is
// open. It searches as the user types, says which match of how many is selected,
// and goes to the next or previous one; Escape closes it and takes the marks away.
class FindBar : public QFrame
{
    Q_OBJECT
public:
    FindBar(WebBrowser *engine, QWidget *parent);

    // Shown, with the field focused and its text selected; a text left from before
    // is searched for again.
    void open();
    // The next or previous match; a closed bar opens first.
    void findNext();
    void findPrevious();
    // Hidden, the marks taken away; the page gets the focus if the bar had it.
    void dismiss();

    // The bar's controls in the order Tab goes through them.
    QList<QWidget *> tabStops() const;

protected:
    bool event(QEvent *event) override;
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    bool reveal(); // whether the bar was closed
    void search(bool backward);
    void showResult(int active, int total);

    WebBrowser *m_engine;
    QLineEdit *m_text = nullptr;
    QLabel *m_result = nullptr;
    QToolButton *m_previous = nullptr;
    QToolButton *m_next = nullptr;
    QToolButton *m_close = nullptr;
};
