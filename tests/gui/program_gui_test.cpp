// The whole program on its real window and serial port against the tamskor-sim command on a
// pseudo-terminal. The stand-in serves a short clone area, so a Connect takes about a second;
// QUORVANE_SOAK_CYCLES=N runs the long soak on the whole image instead (scripts/soak).
#include <gtest/gtest.h>

#include <QAbstractButton>
#include <QAction>
#include <QApplication>
#include <QDeadlineTimer>
#include <QElapsedTimer>
#include <QLabel>
#include <QListWidget>
#include <QMessageBox>
#include <QTest>
#include <QTimer>
#include <cstdio>
#include <functional>
#include <memory>
#include <vector>

#include "qt/qt_program.h"
#include "support/file_text.h"
#include "support/sim_process.h"
#include "support/temp_dir.h"

namespace quorvane {
namespace {

// Runs the event loop until done() holds; the deadline only bounds a failing test.
bool WaitFor(const std::function<bool()>& done, int deadlineMs = 10000) {
    const QDeadlineTimer deadline(deadlineMs);
    while (!done() && !deadline.hasExpired()) {
        QTest::qWait(5);
    }
    return done();
}

class ProgramGui : public ::testing::Test {
  protected:
    ~ProgramGui() override { program.reset(); }

    void Start(const std::string& settings) {
        test::WriteFile(dir.File("QUORVAADJ.rs"), settings);
        program = std::make_unique<QtProgram>(process, dir.path().string(), [this] { ++ends; });
        program->Show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(&program->Window()));
    }
    std::unique_ptr<test::SimProcess> Sim(std::vector<std::string> args) {
        args.insert(args.end(), {"--link", link, "--bytes-per-frame", "122", "--trace", trace});
        return std::make_unique<test::SimProcess>(TAMSKOR_SIM_EXE, args);
    }
    template <typename T = QWidget>
    T* Find(const char* name) const {
        return program->Window().findChild<T*>(QString::fromLatin1(name));
    }
    bool Checked(const char* name) const { return Find<QAction>(name)->isChecked(); }
    // Connected, nothing left to send and the adjusting cycle idle.
    bool Settled() {
        for (Int16 i = 0; i < program->Core().Console().ListCount(); ++i) {
            if (program->Core().Console().flgChanged(i)) {
                return false;
            }
        }
        return program->Core().Operations().RigTamskProp_EditEnabled() &&
               !program->Core().Sequence().OpRunning();
    }
    // Frames the program sent that the stand-in's trace describes with text.
    int Sent(const std::string& text) const {
        const std::string all = test::ReadFile(trace);
        int n = 0;
        for (std::size_t at = all.find(text); at != std::string::npos;
             at = all.find(text, at + 1)) {
            ++n;
        }
        return n;
    }
    void PressOnList(Qt::Key key, Qt::KeyboardModifiers modifiers = Qt::NoModifier) {
        auto* list = Find<QListWidget>("lboConsole");
        list->setFocus();
        list->setCurrentRow(8);  // "       SQL"
        QTest::keyClick(list, key, modifiers);
    }

    test::TempDir dir;
    std::string link = dir.File("radio");
    std::string trace = dir.File("trace");
    QtProcessServices process{QStringLiteral("quorvane-adj"),
                              QString::fromStdString(dir.path().string())};
    std::unique_ptr<QtProgram> program;
    int ends = 0;
};

TEST_F(ProgramGui, AVanishingDeviceGivesTheBoxThenConnectAndKeysReachTheWire) {
    Start("[PORTS]\nCOM1=" + link + "\n");
    QString box;
    QTimer watcher;
    QObject::connect(&watcher, &QTimer::timeout, [&] {
        if (auto* shown = qobject_cast<QMessageBox*>(QApplication::activeModalWidget())) {
            box = shown->windowTitle() + "|" + QString::number(shown->icon()) + "|" + shown->text();
            shown->button(QMessageBox::Ok)->click();
        }
    });
    watcher.start(20);
    {
        const auto hangingUp = Sim({"--clone-end", "017F", "--fault", "hang-up:3"});
        Find<QAbstractButton>("cmd00_0")->click();
        ASSERT_TRUE(WaitFor([&] { return !box.isEmpty() && hangingUp->Ended(); }));
    }
    EXPECT_EQ(box,
              "Quorvane ADJ Rev.2.0|3|Cannot access COM 1.\n\nCheck the following:\n"
              "- The COM port settings.\n- Cloning cable connections.\n"
              "- Transceiver power is ON.");
    EXPECT_TRUE(Find("fra01_0")->isVisible());

    // Back under the same name. Without the 50 ms timer the read still goes on: every
    // arrival of bytes runs a tick.
    const auto healthy = Sim({"--clone-end", "017F"});
    ASSERT_TRUE(healthy->Ok());
    program->Ticks().Enabled(false);
    Find<QAbstractButton>("cmd00_0")->click();
    EXPECT_TRUE(WaitFor([&] { return program->Core().Driver().lastEeAdr() >= 0x100; }));
    program->Ticks().Enabled(true);
    ASSERT_TRUE(WaitFor([&] { return Settled(); }));
    EXPECT_EQ(Find<QLabel>("lblComBusy")->text(), "COM 1: OPEN");

    int sql = program->Core().Console().Value(8);
    ASSERT_LE(sql, 240);
    for (const auto& [modifiers, step] : {std::pair{Qt::NoModifier, 1}, {Qt::ShiftModifier, 5}}) {
        char frame[40];
        std::snprintf(frame, sizeof frame, "E8 sub 08 value 0x%02X (SQL)", sql += step);
        PressOnList(Qt::Key_Right, modifiers);
        EXPECT_TRUE(WaitFor([&] { return Sent(frame) == 1 && Settled(); })) << frame;
    }
    EXPECT_EQ(Find<QListWidget>("lboConsole")->currentRow(), 8);
    EXPECT_TRUE(box.endsWith("ON."));  // no second box
}

TEST_F(ProgramGui, TheMenusShowTheStoredOptionsAndExitWritesTheChosenOnes) {
    Start("[OPTION]\nComPort=3\nComAutoRelease=2\n[PORTS]\nCOM1=/dev/ttyUSB0\n");
    EXPECT_TRUE(WaitFor([&] {
        return Checked("mnuOptSelCom_3") && Checked("mnuOptionSelAutoRelease_2") &&
               !Checked("mnuOptSelCom_1") && !Checked("mnuOptionSelAutoRelease_0") &&
               Find<QLabel>("lblComBusy")->text() == "COM 3: CLOSE";
    }));
    Find<QAction>("mnuOptSelCom_4")->trigger();
    EXPECT_TRUE(WaitFor([&] {
        return Checked("mnuOptSelCom_4") && !Checked("mnuOptSelCom_3") &&
               Find<QLabel>("lblComBusy")->text() == "COM 4: CLOSE";
    }));
    Find<QAction>("mnuFileExit")->trigger();
    EXPECT_TRUE(WaitFor([&] { return ends == 1; }));
    EXPECT_FALSE(program->Window().isVisible());
    EXPECT_FALSE(program->Ticks().Enabled());
    EXPECT_EQ(test::ReadFile(dir.File("QUORVAADJ.rs")),
              "[OPTION]\nComPort=4\nComAutoRelease=2\n[PORTS]\nCOM1=/dev/ttyUSB0\n");
}

// Connect, read the whole image, adjust, reset, again and again; prints a line per cycle.
TEST_F(ProgramGui, Soak) {
    const int cycles = qEnvironmentVariableIntValue("QUORVANE_SOAK_CYCLES");
    if (cycles < 1) {
        GTEST_SKIP() << "set QUORVANE_SOAK_CYCLES to run the soak";
    }
    Start("[PORTS]\nCOM1=" + link + "\n");
    auto radio = Sim({"--seed", "4", "--save-image", dir.File("image.bin")});
    std::vector<std::uint8_t> expected;
    for (int cycle = 1; cycle <= cycles; ++cycle) {
        QElapsedTimer t;
        t.start();
        Find<QAbstractButton>("cmd00_0")->click();
        ASSERT_TRUE(WaitFor([&] { return Settled(); }, 150000)) << "cycle " << cycle;
        const auto& image = program->Core().Radio().eepImage().data();
        ASSERT_TRUE(cycle == 1 || image == expected) << "cycle " << cycle;
        PressOnList(Qt::Key_Right, cycle % 2 == 0 ? Qt::ShiftModifier : Qt::NoModifier);
        ASSERT_TRUE(WaitFor([&] { return Settled(); })) << "cycle " << cycle;
        expected = image;
        Find<QAction>("mnuOptSelCom_2")->trigger();  // resets and closes the port
        Find<QAction>("mnuOptSelCom_1")->trigger();
        ASSERT_TRUE(WaitFor([&] { return !program->Serial().PortOpen(); }));
        std::printf("cycle %d: %.1f s\n", cycle, static_cast<double>(t.elapsed()) / 1000.0);
        std::fflush(stdout);
    }
    radio->Stop();  // the stand-in saves its image: every adjustment arrived
    const std::string saved = test::ReadFile(dir.File("image.bin"));
    EXPECT_EQ(std::vector<std::uint8_t>(saved.begin(), saved.end()), expected);
}

}  // namespace
}  // namespace quorvane
