#include <gtest/gtest.h>

#include <QApplication>
#include <QLockFile>
#include <cstdio>
#include <cstdlib>
#include <string>

#include "qt/qt_platform.h"
#include "qt/qt_program.h"

namespace {

// Writes what the program would show to standard output and returns at once.
class PrintingMessageBox final : public quorvane::IMessageBox {
  public:
    std::int16_t ShowCritical(const std::string& text, const std::string& title) override {
        std::printf("%s|%s", title.c_str(), text.c_str());
        std::fflush(stdout);
        return 1;
    }
};

}  // namespace

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

    // Started by a test as a second instance: the program's own start with its lock in the
    // directory named; the message it shows goes to standard output.
    const QByteArray secondInstance = qgetenv("QUORVANE_TEST_SECOND_INSTANCE");
    if (!secondInstance.isEmpty()) {
        const QString dir = QString::fromLocal8Bit(secondInstance);
        quorvane::QtProcessServices process(QStringLiteral("quorvane-adj"), dir);
        PrintingMessageBox box;
        return quorvane::RunProgram(
            process, box, [&dir] { return (dir + QStringLiteral("/settings")).toStdString(); });
    }

    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
