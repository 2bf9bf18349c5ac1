#pragma once

#include "platform.h"

#include <QStringList>

// Stands in for the desktop: no dialog, no program started, no exit.
class FakePlatform : public Platform
{
public:
    QStringList calls;
    QString fileToOpen;        // what the "user" picks; "" is Cancel
    bool programStarts = true; // whether starting a program succeeds
    QStringList messages;

    QString chooseFileToOpen(QWidget *) override
    {
        calls << QStringLiteral("chooseFileToOpen");
        return fileToOpen;
    }
    bool startProgram(const QString &path) override
    {
        calls << QStringLiteral("startProgram(%1)").arg(path);
        return programStarts;
    }
    void endProgram() override { calls << QStringLiteral("endProgram"); }
    void showMessage(QWidget *, const QString &text) override
    {
        calls << QStringLiteral("showMessage");
        messages << text;
    }
};
