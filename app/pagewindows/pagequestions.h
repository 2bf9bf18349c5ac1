#pragma once

#include <QFrame>
#include <QList>
#include <QPointer>
#include <QUrl>

class QCheckBox;
class QEventLoop;
class QLineEdit;

// One question of a page (alert, confirm, prompt or the leave-page question),
// laid over the page area rather than over the screen, so that it blocks the
// page that asked and nothing else.
class PageQuestion : public QFrame
{
    Q_OBJECT
public:
    enum Kind { Alert, Confirm, Prompt, LeavePage };

    PageQuestion(Kind kind, const QUrl &origin, const QString &message, const QString &text,
               bool offerQuiet, QWidget *parent);

    QString text() const;
    bool quietChosen() const;

signals:
    void answered(bool accepted);

protected:
    void keyPressEvent(QKeyEvent *event) override;

private:
    QLineEdit *m_text = nullptr;
    QCheckBox *m_quiet = nullptr;
};

// The page's questions: each waits in a loop of its own, because the engine
// wants its answer before it goes on with the page, while the rest of the
// window keeps working. A page that has been told to keep quiet is answered
// without a question until its next navigation.
class PageQuestions : public QObject
{
    Q_OBJECT
public:
    explicit PageQuestions(QObject *parent = nullptr);
    ~PageQuestions() override;

    // Where the questions appear: laid over this widget, at its top.
    void setHost(QWidget *host) { m_host = host; }

    // Blocks until the question is answered or dismissed. false is Cancel.
    bool ask(PageQuestion::Kind kind, const QUrl &origin, const QString &message,
             QString *text = nullptr);

    // Answers every waiting question with Cancel; true when one was waiting.
    // Their loops end once control returns to them.
    bool dismissAll();
    bool isWaiting() const { return !m_waiting.isEmpty(); }

    // While the user is leaving the page, only the leave-page question is asked;
    // the page's other questions are answered Cancel.
    void setLeaving(bool leaving) { m_leaving = leaving; }

    // A new page begins: it gets its own count and its own voice.
    void newPage();

private:
    struct Waiting;

    QPointer<QWidget> m_host;
    QList<Waiting *> m_waiting;
    int m_asked = 0;
    bool m_quiet = false;
    bool m_leaving = false;
};
