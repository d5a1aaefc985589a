// The whole program on the one rig, fed outside input: the transceiver's memory (bytes of the
// input written over a generated image, so the clone read and everything computed from it get
// values no real radio would hold), a line fault with its k, and the technician's keys,
// buttons and pauses. Whatever comes, the program may report a communication failure but
// never a runtime error, and its item list and image keep their shape.
#include <cstddef>
#include <cstdint>
#include <string>

#include "fuzz_input.h"
#include "rig/program_rig.h"

namespace quorvane::fuzz {
namespace {

// Every value is derived inside the range the stand-in accepts, so that whatever goes wrong is
// the program's: frames of 16..122 data bytes (fewer would make a clone read too slow to
// fuzz), k 1..8 for a fault that takes one and its default for one that does not.
sim::TamskorConfig Config(FuzzInput& in) {
    constexpr int kMinFrame = 16, kMaxFrame = 122;
    sim::TamskorConfig config;
    config.bytesPerFrame = kMinFrame + in.Byte() % (kMaxFrame - kMinFrame + 1);
    const std::uint8_t fault = in.Byte();
    if (fault < sim::kFaults.size()) {
        const sim::FaultInfo& info = sim::kFaults[fault];
        const int k = 1 + in.Byte() % 8;
        config.faults.Add(info.fault, info.takesK ? k : info.defaultK);
    }
    return config;
}

sim::SimImage Image(FuzzInput& in) {
    sim::SimImage image = sim::SimImage::Generate(in.Byte());
    for (int n = in.Byte(); n > 0; --n) {
        const std::uint16_t address = in.Word();
        (void)image.Byte(address % sim::kImageSize, in.Byte());
    }
    return image;
}

void CheckInvariants(test::ProgramRig& rig) {
    for (const std::string& text : rig.form.messageBox.texts) {
        QUORVANE_FUZZ_CHECK(text.rfind("Run-time error", 0) != 0);
    }
    QUORVANE_FUZZ_CHECK(rig.form.lboConsole.ListCount() == 18);
    QUORVANE_FUZZ_CHECK(rig.program.Radio().eepImage().eeSize() == clsCmcEeprom::kDefaultSize);
    QUORVANE_FUZZ_CHECK(rig.program.Driver().rxBufSize() <= clsCmcVep3Drv::kRxBufMax);
}

}  // namespace
}  // namespace quorvane::fuzz

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    using namespace quorvane;
    fuzz::FuzzInput in(data, size);
    sim::TamskorConfig config = fuzz::Config(in);
    test::ProgramRig rig(std::move(config), fuzz::Image(in));
    rig.sim.transceiver.SetTrace(nullptr);
    frmMain& window = rig.program.MainWindow();
    window.cmd00_Click(0);
    for (int periods = 0; !in.Empty() && periods < 6000;) {
        switch (in.Byte() % 8) {
            case 4: {
                static constexpr Int16 kKeys[] = {vbKeyLeft, vbKeyRight, vbKeyReturn};
                rig.form.lboConsole.ListIndex(static_cast<Int16>(in.Byte() % 19) - 1);
                window.lboConsole_KeyDown(kKeys[in.Byte() % 3], in.Bit() ? vbShiftMask : 0);
                break;
            }
            case 5:
                window.cmd00_Click(static_cast<Int16>(in.Byte() % 3));
                break;
            case 6:
                rig.RunFor(50 * (1 + in.Byte() % 64));
                periods += 64;
                break;
            default:
                rig.Period();
                ++periods;
                break;
        }
        fuzz::CheckInvariants(rig);
    }
    return 0;
}
