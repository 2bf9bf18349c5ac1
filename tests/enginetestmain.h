#pragma once

#include "engine/host/engineprocess.h"
#include "engine/seam/webbrowser.h"
#include "pagewindows/pagedialogs.h"
#include "testsession.h"

#include <QApplication>
#include <QSignalSpy>
#include <QTest>
#include <QWebEnginePage>

// What a script run on the page comes to, as text; "(no answer)" when none came.
inline QString js(QWebEnginePage *page, const QString &script)
{
    QString result = "(no answer)";
    bool done = false;
    page->runJavaScript(script, 0, [&](const QVariant &v) { result = v.toString(), done = true; });
    (void)QTest::qWaitFor([&] { return done; }, kEngineWaitMs);
    return result;
}

// Whether the browser took the address and ended a load.
inline bool loads(WebBrowser *browser, const QUrl &url)
{
    QSignalSpy ended(browser, &WebBrowser::DownloadComplete);
    return browser->Navigate(url.toString()) && ended.wait(kEngineWaitMs);
}

// main() for tests that start the real engine: the process is prepared for it before the
// application object exists, and the dialogs keep their state for the run only, as the
// browser's own main() does; with `display`, it runs on an X server of its own; with
// VELT_TEST_ASSISTIVE set, on a desktop with a screen reader of its own.
#define VELT_ENGINE_TEST_MAIN(TestObject, display)                                                 \
    int main(int argc, char *argv[])                                                               \
    {                                                                                              \
        if (const int code = runInOwnSession(argc, argv, display); code >= 0)                      \
            return code;                                                                           \
        prepareEngineProcess();                                                                    \
        QApplication app(argc, argv);                                                              \
        useAsScreenReader();                                                                       \
        const auto dialogState = keepDialogStateForSession();                                      \
        TestObject test;                                                                           \
        QTEST_SET_MAIN_SOURCE_PATH                                                                 \
        return QTest::qExec(&test, argc, argv);                                                    \
    }
