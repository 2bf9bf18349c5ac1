#pragma once

#include "engine/engineprocess.h"

#include <QApplication>
#include <QTest>

// main() for tests that start the real engine: the process is prepared for it
// before the application object exists, as the browser's own main() does.
#define VELT_ENGINE_TEST_MAIN(TestObject)                                                          \
    int main(int argc, char *argv[])                                                               \
    {                                                                                              \
        prepareEngineProcess();                                                                 \
        QApplication app(argc, argv);                                                              \
        TestObject test;                                                                           \
        QTEST_SET_MAIN_SOURCE_PATH                                                                 \
        return QTest::qExec(&test, argc, argv);                                                    \
    }
