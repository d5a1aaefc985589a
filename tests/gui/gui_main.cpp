#include <gtest/gtest.h>

#include <QApplication>

#include "qt/qt_platform.h"
#include "support/temp_dir.h"

// Every GUI test runs on the offscreen platform: no display, 96 DPI, the same fonts.
int main(int argc, char** argv) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    // Backups made by a connect go to a folder of the run's own, never the user's.
    const quorvane::test::TempDir data;
    qputenv("XDG_DATA_HOME", data.path().c_str());
    QApplication app(argc, argv);
    quorvane::ConfigureApplication(app);

    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
