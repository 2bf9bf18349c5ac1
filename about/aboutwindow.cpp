#include "aboutwindow.h"

#include "form2.h"

#include <QTimer>

Form2 *openAboutWindow(QPointer<Form2> &slot, QWidget *mainWindow, QTimer *timer)
{
    if (!slot)
        slot = new Form2(mainWindow, timer);
    slot->show();
    slot->raise();
    slot->activateWindow();
    slot->setWidth(0);
    slot->setHeight(0);
    timer->start();
    return slot;
}

void growAboutWindow(QPointer<Form2> &slot, QWidget *mainWindow, QTimer *timer)
{
    if (!slot)
        slot = new Form2(mainWindow, timer);
    Form2 *window = slot;
    window->setWidth(window->Width() + kAboutGrowthStep);
    window->setHeight(window->Height() + kAboutGrowthStep);
    if (window->Height() >= kAboutFullSize)
        timer->stop();
    if (window->Width() >= kAboutFullSize)
        timer->stop();
}
