#include <gtest/gtest.h>

#include <QApplication>
#include <QDir>
#include <QFileInfo>
#include <QFontInfo>
#include <QKeyEvent>
#include <QMessageBox>
#include <QProcess>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTimer>
#include <optional>

#include "platform/main_form.h"
#include "platform/runtime_error.h"
#include "qt/qt_key_codes.h"
#include "qt/qt_message_box.h"
#include "qt/qt_platform.h"

namespace quorvane {
namespace {

std::int16_t Code(int key, Qt::KeyboardModifiers modifiers = Qt::NoModifier) {
    return KeyCodeOf(QKeyEvent(QEvent::KeyPress, key, modifiers));
}

TEST(QtKeyCodes, QtKeysMapToTheWindowKeyCodes) {
    EXPECT_EQ(Code(Qt::Key_Left), vbKeyLeft);
    EXPECT_EQ(Code(Qt::Key_Right), vbKeyRight);
    EXPECT_EQ(Code(Qt::Key_Up), 38);
    EXPECT_EQ(Code(Qt::Key_Down), 40);
    EXPECT_EQ(Code(Qt::Key_Return), vbKeyReturn);
    EXPECT_EQ(Code(Qt::Key_Enter, Qt::KeypadModifier), vbKeySeparator);
    EXPECT_EQ(Code(Qt::Key_F5), vbKeyF5);
    EXPECT_EQ(Code(Qt::Key_F1), 112);
    EXPECT_EQ(Code(Qt::Key_A), 65);
    EXPECT_EQ(Code(Qt::Key_A, Qt::ShiftModifier), 65);
    EXPECT_EQ(Code(Qt::Key_5), 53);
    EXPECT_EQ(Code(Qt::Key_5, Qt::KeypadModifier), 101);
    EXPECT_EQ(Code(Qt::Key_Left, Qt::KeypadModifier), vbKeyLeft);
    EXPECT_EQ(Code(Qt::Key_Escape), 27);
    EXPECT_EQ(Code(Qt::Key_MediaPlay), 0);

    EXPECT_EQ(ShiftStateOf(Qt::NoModifier), 0);
    EXPECT_EQ(ShiftStateOf(Qt::ShiftModifier), vbShiftMask);
    EXPECT_EQ(ShiftStateOf(Qt::ControlModifier | Qt::KeypadModifier), vbCtrlMask);
    EXPECT_EQ(ShiftStateOf(Qt::ShiftModifier | Qt::ControlModifier | Qt::AltModifier), 7);
}

TEST(QtApplicationSetup, CourierNewResolvesToAFixedPitchFace) {
    EXPECT_EQ(QCoreApplication::applicationName(), "quorvane-adj");
    QFont font(QStringLiteral("Courier New"));
    font.setPointSizeF(9.0);
    const QFontInfo info(font);
    EXPECT_TRUE(info.fixedPitch());
    EXPECT_TRUE(info.family() == "Courier New" || info.family() == "Liberation Mono")
        << info.family().toStdString();
}

TEST(QtTickSource, TicksWhileEnabledOnly) {
    int ticks = 0;
    QtTickSource standard([&] { ++ticks; });
    EXPECT_EQ(standard.PeriodMs(), 50);
    EXPECT_FALSE(standard.Enabled());

    // A zero period fires whenever the loop is idle, so no test waits for time.
    QtTickSource source([&] { ++ticks; }, 0);
    source.Enabled(true);
    EXPECT_TRUE(source.Enabled());
    QCoreApplication::processEvents();
    EXPECT_GE(ticks, 1);
    source.Enabled(false);
    const int before = ticks;
    QCoreApplication::processEvents();
    QCoreApplication::processEvents();
    EXPECT_EQ(ticks, before);
    source.RunNow();
    EXPECT_EQ(ticks, before + 1);
}

TEST(QtTickSource, RunSoonTicksOnceFromTheLoopAfterTheCurrentEvent) {
    int ticks = 0;
    QtTickSource source([&] { ++ticks; });
    source.RunSoon();
    source.RunSoon();
    EXPECT_EQ(ticks, 0);
    QCoreApplication::processEvents();
    EXPECT_EQ(ticks, 1);
    QCoreApplication::processEvents();
    EXPECT_EQ(ticks, 1);
}

TEST(QtTickSource, RunAfterTicksOnceAtItsTimeWhileEnabled) {
    int ticks = 0;
    QtTickSource source([&] { ++ticks; }, 3600000);
    source.RunAfter(0);  // disabled: nothing
    QCoreApplication::processEvents();
    EXPECT_EQ(ticks, 0);
    source.Enabled(true);
    source.RunAfter(0);
    QCoreApplication::processEvents();
    EXPECT_EQ(ticks, 1);
    source.RunAfter(3600000);
    source.Enabled(false);  // a pending one goes with the timer
    QCoreApplication::processEvents();
    EXPECT_EQ(ticks, 1);
}

TEST(QtTickSource, NoTickInsideATickNorWhileAMessageBoxIsOpen) {
    int ticks = 0;
    std::optional<QtTickSource> source;
    source.emplace([&] {
        ++ticks;
        source->RunNow();  // a tick never re-enters itself
    });
    source->RunNow();
    EXPECT_EQ(ticks, 1);

    std::optional<int> ticksWhileOpen;
    QTimer::singleShot(0, [&] {
        source->RunNow();
        ticksWhileOpen = ticks;
        qobject_cast<QMessageBox*>(QApplication::activeModalWidget())
            ->button(QMessageBox::Ok)
            ->click();
    });
    QtMessageBox box;
    box.ShowCritical("No answer from transceiver.", "Quorvane ADJ Rev.2.0");
    ASSERT_TRUE(ticksWhileOpen.has_value());
    EXPECT_EQ(*ticksWhileOpen, 1);
    source->RunNow();
    EXPECT_EQ(ticks, 2);
}

TEST(QtTickSource, AnErrorEscapingATickIsShownAndTickingGoesOn) {
    int ticks = 0;
    QtTickSource source([&] {
        ++ticks;
        raiseOverflow("16-bit multiplication");
    });
    QString shown;
    QTimer::singleShot(0, [&] {
        auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
        ASSERT_NE(box, nullptr);
        shown = box->text();
        box->button(QMessageBox::Ok)->click();
    });
    source.RunNow();
    EXPECT_TRUE(shown.contains("16-bit multiplication"));
    QTimer::singleShot(0, [] {
        if (auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget())) {
            box->button(QMessageBox::Ok)->click();
        }
    });
    source.RunNow();
    EXPECT_EQ(ticks, 2);
}

TEST(QtProcessServices, OneInstanceHoldsTheClaimUntilItGoes) {
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    std::optional<QtProcessServices> first;
    first.emplace(QStringLiteral("adj"), dir.path());
    QtProcessServices second(QStringLiteral("adj"), dir.path());
    QtProcessServices otherName(QStringLiteral("other"), dir.path());
    EXPECT_EQ(first->LockFilePath(), QDir(dir.path()).filePath("adj.lock"));

    EXPECT_TRUE(first->ClaimSingleInstance());
    EXPECT_TRUE(first->ClaimSingleInstance());  // its own claim again
    EXPECT_FALSE(second.ClaimSingleInstance());
    EXPECT_TRUE(otherName.ClaimSingleInstance());
    first.reset();
    EXPECT_TRUE(second.ClaimSingleInstance());
}

TEST(QtProcessServices, ALockLeftByACrashedInstanceDoesNotBlock) {
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    QtProcessServices services(QStringLiteral("adj"), dir.path());

    QProcess crashed;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert("QUORVANE_TEST_CRASH_WITH_LOCK", services.LockFilePath());
    crashed.setProcessEnvironment(env);
    crashed.start(QCoreApplication::applicationFilePath(), {});
    ASSERT_TRUE(crashed.waitForFinished(30000));
    ASSERT_EQ(crashed.exitCode(), 0);
    ASSERT_TRUE(QFileInfo::exists(services.LockFilePath()));  // left behind

    EXPECT_TRUE(services.ClaimSingleInstance());
}

TEST(QtProcessServices, ProgramDirectoryAndEndProcess) {
    QtProcessServices services;
    const std::string dir = services.ProgramDirectory();
    EXPECT_EQ(QString::fromStdString(dir),
              QDir::toNativeSeparators(QCoreApplication::applicationDirPath()));
    ASSERT_FALSE(dir.empty());
    EXPECT_NE(dir.back(), '/');

    // Inside the event loop it leaves the loop, so main can return normally.
    QTimer::singleShot(0, [&] { services.EndProcess(); });
    EXPECT_EQ(QApplication::exec(), 0);
}

}  // namespace
}  // namespace quorvane
