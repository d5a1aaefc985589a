// The whole program over a fake line whose transceiver identifies itself and sends a short
// clone (the head of the image taken from the input), and then answers every converter
// readout with bytes from the input: raw, framed, or well-formed with arbitrary values. Keys
// and buttons from the input move through the items and start the special operations, so the
// readout answer check and everything computed from the readings and the image are reached.
#include <cstddef>
#include <cstdint>
#include <string>

#include "app/program.h"
#include "fuzz_input.h"
#include "protocol/common.h"
#include "sim/sim_frame.h"
#include "support/fake_controls.h"
#include "support/fake_process_services.h"
#include "support/fake_profile_file.h"
#include "support/fake_serial_control.h"
#include "support/manual_clock.h"

namespace quorvane::fuzz {
namespace {

constexpr std::size_t kImageHead = 384;
constexpr std::size_t kBytesPerFrame = 96;

class Transceiver {
  public:
    Transceiver(test::FakeSerialControl& port, FuzzInput& in, Bytes head)
        : port_(port), in_(in), head_(std::move(head)) {
        port.onOutput = [this](const Bytes& frame) { Heard(frame); };
    }

  private:
    void Heard(const Bytes& frame) {
        port_.Queue(frame);  // the cable's echo
        if (frame.size() < 6) {
            return;
        }
        const Bytes payload(frame.begin() + 4, frame.end() - 1);
        switch (payload[0]) {
            case 0xE0:
                port_.Queue(sim::ToProgram(sim::IdentityPayload({.cloneEnd = 0x017F})));
                break;
            case 0xE2: {
                int frames = 0;
                for (std::size_t adr = 0; adr < head_.size(); adr += kBytesPerFrame) {
                    const Bytes data(
                        head_.begin() + static_cast<std::ptrdiff_t>(adr),
                        head_.begin() + static_cast<std::ptrdiff_t>(adr + kBytesPerFrame));
                    port_.Queue(sim::ToProgram(sim::CloneDataPayload(
                        sim::BuildCloneRecord(static_cast<std::uint16_t>(adr), data))));
                    ++frames;
                }
                port_.Queue(sim::ToProgram(sim::CloneEndPayload(frames)));
                break;
            }
            case 0xE8:
                if (payload.size() >= 6 && payload[5] == 0x03) {
                    port_.Queue(ReadoutAnswer());
                }
                break;
            default:
                break;
        }
    }

    Bytes ReadoutAnswer() {
        switch (in_.Byte() % 4) {
            case 0:
                return in_.Take(in_.Byte() % 32);
            case 1: {
                Bytes fields{0xE8, 0x85, 0x37, 0x02, 0x00, 0x03};
                const Bytes more = in_.Take(in_.Byte() % 8);
                fields.insert(fields.end(), more.begin(), more.end());
                return sim::ToProgram(fields);
            }
            default: {
                const Bytes value = TextToBytes(Hex2(in_.Byte()));
                Bytes fields{0xE8, 0x85, 0x37, 0x02, 0x00, 0x03};
                fields.insert(fields.end(), value.begin(), value.end());
                return sim::ToProgram(fields);
            }
        }
    }

    test::FakeSerialControl& port_;
    FuzzInput& in_;
    Bytes head_;
};

struct Rig {
    test::ManualClock clock{5000};
    test::FakeSerialControl port;
    test::FakeProfileFile profile;
    test::FakeProcessServices process;
    test::FakeMainForm form;
    Program program{Platform{port, clock, profile, process, form.controls}};

    Rig() {
        program.MainWindow().Form_Load();
        program.MainWindow().Form_Resize();
    }
    void Period() {
        clock.Advance(50);
        program.Tick();
    }
};

void CheckInvariants(Rig& rig) {
    for (const std::string& text : rig.form.messageBox.texts) {
        // What a transceiver sends may end in a communication message, never a runtime error.
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
    Bytes head = in.Take(fuzz::kImageHead);
    head.resize(fuzz::kImageHead, 0);
    fuzz::Rig rig;
    fuzz::Transceiver transceiver(rig.port, in, std::move(head));
    frmMain& window = rig.program.MainWindow();

    window.cmd00_Click(0);
    int ticks = 0;
    while (!in.Empty() && ticks < 3000) {
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
                for (int i = 0; i < 20; ++i, ++ticks) {
                    rig.Period();
                }
                break;
            case 7:
                rig.port.Queue(in.Take(in.Byte() % 16));
                break;
            default:
                rig.Period();
                ++ticks;
                break;
        }
        fuzz::CheckInvariants(rig);
    }
    return 0;
}
