#pragma once

#include "process/EngineProcess.h"

#include <QApplication>
#include <QTest>

// Like QTEST_MAIN, but the process is first prepared for Qt WebEngine exactly
// as the program prepares itself.
#define CORVANE_TEST_MAIN(TestClass)                                                               \
    int main(int argc, char **argv)                                                                \
    {                                                                                              \
        prepareEngineProcess();                                                                    \
        QApplication app(argc, argv);                                                              \
        TestClass test;                                                                            \
        return QTest::qExec(&test, argc, argv);                                                    \
    }
