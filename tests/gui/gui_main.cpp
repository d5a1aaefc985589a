#include <gtest/gtest.h>

#include <QApplication>
#include <QLockFile>
#include <cstdlib>

#include "qt/qt_platform.h"

// Every GUI test runs on the offscreen platform: no display, 96 DPI, the same fonts.
int main(int argc, char** argv) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    quorvane::ConfigureApplication(app);

    // Started by a test as a child: take the single-instance lock and die without releasing
    // it, as a crashed instance would.
    const QByteArray crashWithLock = qgetenv("QUORVANE_TEST_CRASH_WITH_LOCK");
    if (!crashWithLock.isEmpty()) {
        auto* lock = new QLockFile(QString::fromLocal8Bit(crashWithLock));
        std::_Exit(lock->tryLock(0) ? 0 : 1);
    }
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
