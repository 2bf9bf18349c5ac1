#pragma once

#include <QPointer>
#include <QSize>
#include <QWidget>

class QLabel;
class QPushButton;
class QTimer;

// The About window: credits, a notice line and OK. It knows the main window and
// the main window's opening timer only as the widget and timer it was given; the
// main window owns both and drives the opening (see aboutwindow.h).
class Form2 : public QWidget
{
    Q_OBJECT
public:
    // No parent: the window has no owner. mainWindow and openingTimer are not owned.
    Form2(QWidget *mainWindow, QTimer *openingTimer);

    // The outer size in twips, frame and title bar included, as the window has
    // it now. Setting asks for that outer size; the window may end up larger
    // (whole pixels, its smallest size), and reading afterwards tells what it got.
    float Width() const;
    void setWidth(float twips);
    float Height() const;
    void setHeight(float twips);

    void Command1_Click();

private:
    void buildControls();
    void resizeClient(QSize client);

    QPointer<QWidget> m_mainWindow;
    QPointer<QTimer> m_openingTimer;
    QPushButton *Command1 = nullptr;
    QLabel *Label1 = nullptr;
    QLabel *Label2 = nullptr;
};
