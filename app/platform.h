#pragma once

#include <QString>
#include <QStringList>

class QWidget;

// Services of the desktop that a handler must not call inline, so that tests can
// stand in for them (a modal dialog never blocks a test, a test never quits).
class Platform
{
public:
    virtual ~Platform() = default;

    // The file chosen in a modal file-open dialog; "" when the user cancelled.
    virtual QString chooseFileToOpen(QWidget *parent) = 0;
    // Starts a program with no arguments in a maximised window; false when it
    // could not be started.
    virtual bool startProgram(const QString &path) = 0;
    // The editors that startProgram() tries in its place where no program lies at
    // the path it was given, in order; named to the user when none could be started.
    virtual QStringList editorsLookedFor() const { return {}; }
    // Ends the program at once, every window with it.
    virtual void endProgram() = 0;
    // Tells the user about a failure without blocking.
    virtual void showMessage(QWidget *parent, const QString &text) = 0;
};
