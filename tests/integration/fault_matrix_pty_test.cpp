// Every message of the error report that a transceiver, a cable or a port can cause, over a
// real pseudo-terminal: the program on its real serial port (QSerialPort) and the real clock,
// the tamskor-sim command with a fault on the other end. Each failure is shown once with its
// exact text, leaves the port closed and the item list as after a reset, and a following
// "Connect" to a healthy stand-in on the same device succeeds. The stand-ins serve a short
// clone area so that each read takes about a second at 9600 baud; the receive-queue overflow,
// which a pseudo-terminal cannot produce (the kernel holds the sender back instead of losing
// bytes), is in the in-process matrix.
#include <gtest/gtest.h>

#include <QCoreApplication>

#include <filesystem>
#include <memory>
#include <string>
#include <vector>

#include "app/error_report.h"
#include "sim/sim_image.h"
#include "support/qt_program_rig.h"
#include "support/sim_process.h"
#include "support/temp_dir.h"

namespace quorvane {
namespace {

constexpr Int16 kPort = 1;
constexpr int kHealthySeed = 3;
constexpr std::int32_t kCloneEnd = 0x017F;

CloneErrorState LinkError(Int16 code) {
    return {false, false, kPort, static_cast<::quorvane::LinkError>(code), SequenceError::None};
}
CloneErrorState SequencerError(Int16 code) {
    return {false, false, kPort, ::quorvane::LinkError::None, static_cast<SequenceError>(code)};
}
CloneErrorState CannotAccess() {
    return {true, false, kPort, ::quorvane::LinkError::None, SequenceError::None};
}

class PtyMatrix : public ::testing::Test {
  protected:
    test::TempDir dir;
    std::string link = dir.File("radio");
    test::QtProgramRig rig;

    void SetUp() override { rig.device = link; }

    std::unique_ptr<test::SimProcess> StartSim(const std::vector<std::string>& extra,
                                               int seed = kHealthySeed) {
        std::vector<std::string> args{"--link", link,     "--bytes-per-frame", "122", "--clone-end",
                                      "017F",   "--seed", std::to_string(seed)};
        args.insert(args.end(), extra.begin(), extra.end());
        auto sim = std::make_unique<test::SimProcess>(TAMSKOR_SIM_EXE, args);
        EXPECT_TRUE(sim->Ok());
        return sim;
    }

    // Presses "Connect" against whatever is on the device and checks the one message.
    void ExpectOneMessage(const CloneErrorState& expected) {
        const std::size_t before = rig.form.messageBox.texts.size();
        rig.program.MainWindow().cmd00_Click(0);
        ASSERT_TRUE(
            rig.PumpUntil([&] { return rig.form.messageBox.texts.size() > before; }, 20000));
        rig.PumpFor(500);  // nothing further is reported
        ASSERT_EQ(rig.form.messageBox.texts.size(), before + 1);
        EXPECT_EQ(rig.form.messageBox.texts.back(), CloneErrorMessage(expected));
        EXPECT_TRUE(rig.InInitialState());
        EXPECT_FALSE(rig.control.PortOpen());
    }

    // A healthy stand-in on the same device; "Connect" reads its clone area.
    void ExpectHealthyConnect() {
        const std::size_t before = rig.form.messageBox.texts.size();
        auto healthy = StartSim({});
        ASSERT_TRUE(rig.Connect());
        EXPECT_EQ(rig.form.messageBox.texts.size(), before);
        const sim::SimImage image = sim::SimImage::Generate(kHealthySeed);
        const auto& got = rig.program.Radio().eepImage().data();
        EXPECT_TRUE(std::equal(got.begin(), got.begin() + kCloneEnd + 1, image.data().begin()));
        EXPECT_TRUE(rig.program.Operations().RigTamskProp_EditEnabled());
        // The technician changes the port menu, which resets and closes the port.
        rig.program.MainWindow().mnuOptSelCom_Click(2);
        rig.program.MainWindow().mnuOptSelCom_Click(1);
        EXPECT_FALSE(rig.control.PortOpen());
    }
};

TEST_F(PtyMatrix, EveryMessageOnceThenAHealthyConnect) {
    struct Case {
        const char* fault;
        CloneErrorState expected;
    };
    const Case cases[] = {
        {"no-echo", LinkError(1)},
        {"no-answer", LinkError(2)},
        {"bad-checksum:2", LinkError(3)},
        {"wrong-count", LinkError(4)},
        {"beyond-image:2", LinkError(5)},
        {"wrong-model", SequencerError(1)},
        {"refused-sub", SequencerError(2)},
        {"unfit-revision", SequencerError(3)},
        {"foreign-readout", SequencerError(0)},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.fault);
        {
            auto faulty = StartSim({"--fault", c.fault}, 5);
            ExpectOneMessage(c.expected);
        }
        ExpectHealthyConnect();
    }
}

TEST_F(PtyMatrix, NoDeviceBehindThePort) {
    ASSERT_FALSE(std::filesystem::exists(link));
    ExpectOneMessage(CannotAccess());
    EXPECT_EQ(rig.form.messageBox.texts.back().rfind("Cannot access COM 1.\r\n", 0), 0u);
    ExpectHealthyConnect();
}

// The transceiver hangs up in the middle of a clone read: the device goes away (the stand-in
// closes its pseudo-terminal and ends), then comes back under the same name.
TEST_F(PtyMatrix, DeviceVanishesInACloneReadAndComesBack) {
    {
        auto faulty = StartSim({"--fault", "hang-up:3"}, 5);
        ExpectOneMessage(CannotAccess());
        EXPECT_TRUE(rig.PumpUntil([&] { return faulty->Ended(); }, 5000));
    }
    // While it is away, "Connect" finds no device.
    ExpectOneMessage(CannotAccess());
    ExpectHealthyConnect();
    EXPECT_EQ(rig.form.messageBox.texts.size(), 2u);
}

}  // namespace
}  // namespace quorvane

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
