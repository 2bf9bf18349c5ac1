#pragma once

#include "engine/host/engineprocess.h"
#include "testsession.h"

#include <QApplication>
#include <QTest>

// main() for tests that start the real engine: the process is prepared for it
// before the application object exists, as the browser's own main() does; with
// VELT_TEST_ASSISTIVE set, it runs on a desktop with a screen reader of its own.
#define VELT_ENGINE_TEST_MAIN(TestObject)                                                          \
    int main(int argc, char *argv[])                                                               \
    {                                                                                              \
        if (const int code = runInOwnSession(argc, argv, false); code >= 0)                        \
            return code;                                                                           \
        prepareEngineProcess();                                                                    \
        QApplication app(argc, argv);                                                              \
        useAsScreenReader();                                                                       \
        TestObject test;                                                                           \
        QTEST_SET_MAIN_SOURCE_PATH                                                                 \
        return QTest::qExec(&test, argc, argv);                                                    \
    }
