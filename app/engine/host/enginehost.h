#pragma once

#include "engine/seam/webbrowser.h"

#include <functional>

class PageServices;
class QLabel;

// The engine control as the main window holds it. The engine proper is made only
// after the control's first paint, from the engine module, so that the window is
// on the screen before the engine's libraries are even loaded; any operation
// called earlier makes it at once. Until then the control is empty, idle and
// shows no page.
class EngineHost : public WebBrowser
{
    Q_OBJECT
public:
    // Makes the engine as a child of the given parent; nullptr with *error set
    // when it cannot.
    using Factory = std::function<WebBrowser *(QWidget *parent, QString *error)>;

    explicit EngineHost(Factory factory, QWidget *parent = nullptr);
    // The engine from the module at modulePath (a file name without its suffix
    // is looked up as QLibrary does); it asks what pages ask through `services`,
    // which must outlive it.
    static Factory moduleFactory(const QString &modulePath = defaultModulePath(),
                                 PageServices *services = nullptr);
    // The module next to the program (in the build folder), or else in the
    // program's private library folder where it is installed.
    static QString defaultModulePath();

    bool Navigate(const QString &address) override;
    bool GoBack() override;
    bool GoForward() override;
    bool Stop() override;
    bool Refresh() override;
    bool GoHome() override;
    bool GoSearch() override;

    QString LocationURL(bool *ok = nullptr) const override;
    QString LocationName(bool *ok = nullptr) const override;
    bool Busy(bool *ok = nullptr) const override;
    void setOffline(bool offline) override;
    QString lastError() const override;
    void zoom(Zoom step) override;
    void findText(const QString &text, bool backward) override;

    WebBrowser *engine() const { return m_engine; }
    bool ensureEngine();

protected:
    void paintEvent(QPaintEvent *event) override;

private:
    template <typename Operation>
    bool forward(Operation operation);

    Factory m_factory;
    WebBrowser *m_engine = nullptr;
    QLabel *m_failure = nullptr;
    QString m_error;
    bool m_offline = false;
    bool m_startQueued = false;
    bool m_tried = false;
};
