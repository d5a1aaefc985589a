#include <gtest/gtest.h>

#include <QApplication>

#include "qt/qt_platform.h"

// Every GUI test runs on the offscreen platform: no display, 96 DPI, the same fonts.
int main(int argc, char** argv) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    quorvane::ConfigureApplication(app);

    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
