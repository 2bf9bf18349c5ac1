#pragma once

#include "engine/webbrowser.h"

#include <QSet>
#include <QStringList>

// Plays the engine for window-logic tests: records every call, lets the test set
// what the engine reports, and refuses the operations or reads it is told to.
class FakeWebBrowser : public WebBrowser
{
    Q_OBJECT
public:
    using WebBrowser::WebBrowser;

    QStringList calls;
    QSet<QString> refusing; // names of operations and properties that fail
    bool busy = false;
    QString url;
    QString name;
    bool offline = false;

    bool Navigate(const QString &address) override
    {
        return record(QStringLiteral("Navigate(%1)").arg(address), QStringLiteral("Navigate"));
    }
    bool GoBack() override { return record(QStringLiteral("GoBack")); }
    bool GoForward() override { return record(QStringLiteral("GoForward")); }
    bool Stop() override { return record(QStringLiteral("Stop")); }
    bool Refresh() override { return record(QStringLiteral("Refresh")); }
    bool GoHome() override { return record(QStringLiteral("GoHome")); }
    bool GoSearch() override { return record(QStringLiteral("GoSearch")); }

    QString LocationURL(bool *ok = nullptr) const override { return read(QStringLiteral("LocationURL"), url, ok); }
    QString LocationName(bool *ok = nullptr) const override { return read(QStringLiteral("LocationName"), name, ok); }
    bool Busy(bool *ok = nullptr) const override { return read(QStringLiteral("Busy"), busy, ok); }
    void setOffline(bool value) override
    {
        calls << QStringLiteral("Offline=%1").arg(value ? "True" : "False");
        offline = value;
    }
    QString lastError() const override { return QStringLiteral("the fake engine refused it."); }
    void zoom(Zoom step) override
    {
        calls << QString::fromLatin1(step == Zoom::In ? "zoom(In)" : step == Zoom::Out ? "zoom(Out)" : "zoom(Reset)");
    }

    // A load ends: the engine shows `newUrl`, is idle and says so.
    void finishLoad(const QString &newUrl, const QString &title = {})
    {
        url = newUrl;
        name = title;
        busy = false;
        emit DownloadComplete();
    }

private:
    bool record(const QString &call, const QString &op = {})
    {
        calls << call;
        return !refusing.contains(op.isEmpty() ? call : op);
    }

    template <typename T>
    T read(const QString &property, const T &value, bool *ok) const
    {
        const bool readable = !refusing.contains(property);
        if (ok)
            *ok = readable;
        return readable ? value : T{};
    }
};
