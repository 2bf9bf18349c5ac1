#pragma once

#include "clickarea.h"
#include "engine/seam/webbrowser.h"
#include "form1.h"
#include "platform.h"
#include "statusbar.h"

#include <QAbstractItemView>
#include <QAccessible>
#include <QComboBox>
#include <QLineEdit>
#include <QSet>
#include <QTest>

#include <functional>

// Whether assistive technology finds an element of this role and name at or below node.
inline bool holds(QAccessibleInterface *node, QAccessible::Role role, const QString &name)
{
    bool found = node && node->role() == role && node->text(QAccessible::Name) == name;
    for (int i = 0; node && !found && i < node->childCount(); ++i)
        found = holds(node->child(i), role, name);
    return found;
}

// Plays the engine for window tests: records every call, reports what the test
// sets, and fails the operations and reads it is told to. A failed read still
// hands back a value, as a broken engine might: only *ok says not to trust it.
class FakeWebBrowser : public WebBrowser
{
    Q_OBJECT
public:
    using WebBrowser::WebBrowser;

    QStringList calls;
    QSet<QString> refusing; // operations ("Navigate", "GoBack"...) and properties ("Busy"...)
    bool busy = false;
    QString url;
    QString name;
    mutable int busyReads = 0;
    std::function<void()> duringNavigate; // as an engine that answers before Navigate returns

    bool Navigate(const QString &address) override
    {
        calls << "Navigate(" + address + ")";
        if (duringNavigate)
            duringNavigate();
        return !refusing.contains("Navigate");
    }
    bool GoBack() override { return record("GoBack"); }
    bool GoForward() override { return record("GoForward"); }
    bool Stop() override { return record("Stop"); }
    bool Refresh() override { return record("Refresh"); }
    bool GoHome() override { return record("GoHome"); }
    bool GoSearch() override { return record("GoSearch"); }
    QString LocationURL(bool *ok = nullptr) const override { return read("LocationURL", url, ok); }
    QString LocationName(bool *ok = nullptr) const override { return read("LocationName", name, ok); }
    bool Busy(bool *ok = nullptr) const override
    {
        ++busyReads;
        return read("Busy", busy, ok);
    }
    void setOffline(bool value) override { calls << (value ? "Offline=True" : "Offline=False"); }
    QString lastError() const override { return "the fake engine refused it."; }
    void zoom(Zoom step) override
    {
        calls << (step == Zoom::In ? "zoom(In)" : step == Zoom::Out ? "zoom(Out)" : "zoom(Reset)");
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
    bool record(const QString &call)
    {
        calls << call;
        return !refusing.contains(call);
    }
    template <typename T>
    T read(const QString &property, const T &value, bool *ok) const
    {
        if (ok)
            *ok = !refusing.contains(property);
        return value;
    }
};

// Stands in for the desktop: no dialog, no program started, no exit.
struct FakePlatform : Platform
{
    QStringList calls;
    bool programStarts = true; // whether starting a program succeeds
    QString message;

    QString chooseFileToOpen(QWidget *) override { return record("chooseFileToOpen", QString()); } // Cancel
    bool startProgram(const QString &path) override { return record("startProgram(" + path + ")", programStarts); }
    QStringList editorsLookedFor() const override { return {"gedit", "kate"}; }
    void endProgram() override { calls << "endProgram"; }
    void showMessage(QWidget *, const QString &text) override { message = record("showMessage", text); }

    template <typename T>
    T record(const QString &call, const T &result)
    {
        calls << call;
        return result;
    }
};

// What the main window's suites share: a user at the window, and what they read off it.
class MainWindowFixture : public QObject
{
    Q_OBJECT
protected:
    Form1 *m_form = nullptr;

    static QPoint twips(int x, int y) { return QPoint(x / 15, y / 15); }
    QPoint centreOf(const char *area) const { return m_form->area(area)->geometry().center(); }
    QString panel(int number) const { return m_form->StatusBar1->panelText(number); }
    void click(QPoint at) { QTest::mouseClick(m_form->windowHandle(), Qt::LeftButton, {}, at); }
    void enter(const QString &text) // pasted into the address box, then Enter
    {
        m_form->cboAddress->lineEdit()->setText(text);
        QTest::keyClick(m_form->cboAddress, Qt::Key_Return);
    }
    void pick(int index) // from the address box's list, with the mouse
    {
        m_form->cboAddress->showPopup();
        QAbstractItemView *view = m_form->cboAddress->view();
        QVERIFY(QTest::qWaitForWindowExposed(view->window()));
        QTest::mouseClick(view->viewport(), Qt::LeftButton, {}, view->visualRect(view->model()->index(index, 0)).center());
    }
    QStringList list() const
    {
        QStringList entries;
        for (int i = 0; i < m_form->cboAddress->count(); ++i)
            entries << m_form->cboAddress->itemText(i);
        return entries;
    }
};
