// The link driver behind the port form, fed arbitrary byte batches in every state while the
// clock moves: exchanges of every kind are started through the sequencer, and between them come
// raw batches, echoes, answers from the stand-in's builders (often slightly mutated, so the
// checks behind the framing are reached), time, line events and resets. What the driver keeps
// must always pass the answer checks.
#include <algorithm>
#include <cstddef>
#include <cstdint>

#include "fuzz_input.h"
#include "protocol/common.h"
#include "sim/sim_frame.h"
#include "support/link_rig.h"

namespace quorvane::fuzz {
namespace {

void CheckInvariants(const test::LinkRig& rig) {
    const clsCmcVep3Drv& d = rig.driver;
    QUORVANE_FUZZ_CHECK(d.rxBufSize() <= clsCmcVep3Drv::kRxBufMax);
    QUORVANE_FUZZ_CHECK(d.Running() == (d.waitState() != 0));
    QUORVANE_FUZZ_CHECK(d.txBuf().empty() == d.txReady());
    QUORVANE_FUZZ_CHECK(!d.linkFailed() || d.waitState() == 0);
    QUORVANE_FUZZ_CHECK(d.EndAddress() >= 16 && d.EndAddress() <= wire::kMaxEndAddress);
    QUORVANE_FUZZ_CHECK(rig.radio.eepImage().eeSize() == wire::kImageSize);
    // An identity answer is kept only when its addresses, length byte and length are right.
    const Bytes& info = d.ansInfo();
    QUORVANE_FUZZ_CHECK(info.empty() || (Len(info) >= 59 && info[0] == 0xEF && info[1] == 0xEE &&
                                         info[2] == 0xE1 && info[7] == Len(info) - 7));
    // Nothing a line sends may raise a runtime error in the link.
    QUORVANE_FUZZ_CHECK(rig.window.tickErrors.empty());
}

void Start(test::LinkRig& rig, FuzzInput& in) {
    clsCmcVep3Sequence& seq = rig.sequence;
    seq.comHoldReload((in.Byte() % 8) * 500);
    // A range inside the image, first address first, as the program builds its write lists.
    const Int32 a = in.Word() % wire::kImageSize, b = in.Word() % wire::kImageSize;
    rig.radio.cloneWriteAdrList_Clear();
    rig.radio.cloneWriteAdrList_Add(std::min(a, b), std::max(a, b));
    const std::string e8 = Hex2(in.Byte() % 24) + Hex2AsAsciiHex(in.Byte());
    seq.Operation(static_cast<Int16>(in.Byte() % 4 + 1));  // identify, read, write, E8
    seq.e8HexStrToSend(e8);
    seq.e8AnsRequired(in.Bit());
    seq.start();
}

// A frame from the stand-in's builders, a few of its bytes (framing included) changed.
Bytes Answer(const test::LinkRig& rig, FuzzInput& in) {
    Bytes payload;
    switch (in.Byte() % 4) {
        case 0:
            payload = sim::IdentityPayload({0x8537, in.Word(), "00012345", in.Byte(), in.Word()});
            payload.resize(in.Byte() % 70);
            break;
        case 1:
            payload =
                sim::CloneDataPayload(sim::BuildCloneRecord(in.Word(), in.Take(in.Byte() % 123)));
            break;
        case 2:
            payload = sim::CloneEndPayload(rig.driver.frameCounter() + in.Byte() % 2);
            break;
        default:
            payload = {0xE8, 0x85, 0x37,
                       0x02, 0x00, static_cast<std::uint8_t>(rig.driver.e8CheckByte())};
            break;
    }
    Bytes frame = sim::ToProgram(payload);
    for (int i = in.Byte() % 4; i > 0; --i) {
        frame[in.Byte() % frame.size()] = in.Byte();
    }
    return frame;
}

}  // namespace
}  // namespace quorvane::fuzz

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    using namespace quorvane;
    fuzz::FuzzInput in(data, size);
    test::LinkRig rig;
    for (int steps = 0; !in.Empty() && steps < 400; ++steps) {
        switch (in.Byte() % 5) {
            case 0:
                fuzz::Start(rig, in);
                break;
            case 1:
                rig.port.Queue(in.Take(in.Byte() % 2 == 0 ? in.Byte() : in.Word() % 600));
                break;
            case 2:
                if (in.Bit()) {
                    rig.port.Queue(rig.driver.txBuf());  // the echo
                }
                rig.port.Queue(fuzz::Answer(rig, in));
                break;
            case 3: {
                static constexpr CommEvent kEvents[] = {CommEvent::Receive, CommEvent::Break,
                                                        CommEvent::Frame,   CommEvent::RxOver,
                                                        CommEvent::TxFull,  CommEvent::DeviceLost};
                rig.com.OnComm(kEvents[in.Byte() % 6]);
                break;
            }
            default:
                rig.port.outBufferCount = in.Byte() * 4;
                break;
        }
        rig.clock.Advance(in.Byte() * 8);
        rig.Tick();
        fuzz::CheckInvariants(rig);
    }
    return 0;
}
