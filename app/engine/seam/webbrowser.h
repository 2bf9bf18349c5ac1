#pragma once

#include <QWidget>

#if defined(VELT_SEAM_LIBRARY)
#define VELT_SEAM_EXPORT Q_DECL_EXPORT
#else
#define VELT_SEAM_EXPORT Q_DECL_IMPORT
#endif

// The one seam between the windows and the web engine. The windows only ever see
// this class, so their logic runs against a fake engine in tests. Every operation
// reports failure through its result; nothing throws through the event loop.
//
// The class lives in a shared library of its own, so that the program, the engine
// module it loads and the tests all share one meta-object: signals connect by
// member-function pointer and qobject_cast works across the module boundary.
class VELT_SEAM_EXPORT WebBrowser : public QWidget
{
    Q_OBJECT
public:
    using QWidget::QWidget;
    ~WebBrowser() override;

    // false: the engine refused the address (the text names a scheme but is not
    // a valid address, holds control characters, ...). Navigate("") changes
    // nothing and is not a failure.
    virtual bool Navigate(const QString &address) = 0;
    virtual bool GoBack() = 0;      // false when there is no earlier page
    virtual bool GoForward() = 0;   // false when there is no later page
    virtual bool Stop() = 0;
    virtual bool Refresh() = 0;     // false when no page is shown
    virtual bool GoHome() = 0;
    virtual bool GoSearch() = 0;

    // Reading a property can fail like any operation: *ok (when given) says
    // whether the value could be read.
    virtual QString LocationURL(bool *ok = nullptr) const = 0;
    // The page's own title; empty when the page declares none.
    virtual QString LocationName(bool *ok = nullptr) const = 0;
    // True from the moment a navigating operation returns until that load has
    // ended (finished, failed or stopped).
    virtual bool Busy(bool *ok = nullptr) const = 0;
    virtual void setOffline(bool offline) = 0;

    // Why the last refused operation was refused, for the user.
    virtual QString lastError() const = 0;

    // Page zoom, for the keyboard; an engine that cannot zoom ignores it.
    enum class Zoom { In, Out, Reset };
    virtual void zoom(Zoom step) { Q_UNUSED(step); }

    // Find in the page: every match of `text` is marked and the one after the current
    // match (before it, when backward) is selected; "" ends the search and takes the
    // marks away. The outcome comes with findFinished; an engine that cannot find
    // never reports one.
    virtual void findText(const QString &text, bool backward)
    {
        Q_UNUSED(text);
        Q_UNUSED(backward);
    }

signals:
    // Raised once for every load that ends, after LocationURL gives its address.
    void DownloadComplete();
    // A new page starts loading (not a frame of the page shown).
    void loadStarted();
    // The outcome of a findText: the selected match, counted from 1 (0 when none),
    // and how many matches there are.
    void findFinished(int active, int total);
};

// The engine's home and search pages.
inline constexpr char kHomePage[] = "https://www.example.com/";
inline constexpr char kSearchPage[] = "https://duckduckgo.com/";
