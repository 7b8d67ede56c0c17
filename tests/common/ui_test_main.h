#pragma once

#include "resources/art.h"
#include "skin/skin.h"

#include <QApplication>
#include <QTest>

// main() of a UI test: offscreen, with the program's artwork and skin, as the program starts. The
// windows talk to servers on loopback only: a proxy from the environment must not take their requests.
#define ORVANE_UI_TEST_MAIN(TestClass)                                                                                 \
    int main(int argc, char* argv[]) {                                                                                 \
        qputenv("QT_QPA_PLATFORM", "offscreen");                                                                       \
        for (const char* proxy : {"http_proxy", "HTTP_PROXY", "all_proxy", "ALL_PROXY"})                               \
            qunsetenv(proxy);                                                                                          \
        QApplication app(argc, argv);                                                                                  \
        initOrvaneArt();                                                                                               \
        Skin::apply(app);                                                                                              \
        TestClass test;                                                                                                \
        return QTest::qExec(&test, argc, argv);                                                                        \
    }
