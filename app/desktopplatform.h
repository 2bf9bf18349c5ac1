#pragma once

#include "platform.h"

#include <QStringList>

// The services of the real desktop.
class DesktopPlatform : public Platform
{
public:
    QString chooseFileToOpen(QWidget *parent) override;
    // Starts the program at `path`. Where no program lies there, the first of
    // textEditors() found on the PATH is started instead, empty.
    bool startProgram(const QString &path) override;
    QStringList editorsLookedFor() const override { return textEditors(); }
    // Hides every window and leaves the event loop; main() returns from exec().
    void endProgram() override;
    void showMessage(QWidget *parent, const QString &text) override;

    // The plain-text editors looked for, in order, where the program asked for is missing.
    static QStringList textEditors();
};
