#pragma once

#include "resources/art.h"
#include "skin/skin.h"

#include <QApplication>
#include <QTest>

// main() of a UI test: offscreen, with the program's artwork and skin, as the program starts.
#define ORVANE_UI_TEST_MAIN(TestClass)                                                                                 \
    int main(int argc, char* argv[]) {                                                                                 \
        qputenv("QT_QPA_PLATFORM", "offscreen");                                                                       \
        QApplication app(argc, argv);                                                                                  \
        initOrvaneArt();                                                                                               \
        Skin::apply(app);                                                                                              \
        TestClass test;                                                                                                \
        return QTest::qExec(&test, argc, argv);                                                                        \
    }
