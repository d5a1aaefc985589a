// The link driver behind the port form, fed arbitrary byte batches in every state while the
// clock moves: exchanges of every kind are started (directly and through the sequencer), and
// between them come raw batches, echoes, framed answers, time, line events and resets. What
// the driver keeps must always satisfy the answer checks.
#include <cstddef>
#include <cstdint>
#include <string>

#include "fuzz_input.h"
#include "protocol/common.h"
#include "sim/sim_frame.h"
#include "support/link_rig.h"

namespace quorvane::fuzz {
namespace {

constexpr std::uint8_t kAnswerCommands[] = {0xE1, 0xE4, 0xE5, 0xE6, 0xE8, 0xE0, 0x00};

// An identity answer is kept only when its length byte and length are right.
void CheckKeptAnswers(const clsCmcVep3Drv& d) {
    const Bytes& info = d.ansInfo();
    if (!info.empty()) {
        QUORVANE_FUZZ_CHECK(Len(info) >= 59 && info[0] == 0xEF && info[1] == 0xEE);
        QUORVANE_FUZZ_CHECK(info[2] == 0xE1 && info[7] == Len(info) - 7);
    }
}

void CheckInvariants(const test::LinkRig& rig) {
    const clsCmcVep3Drv& d = rig.driver;
    CheckKeptAnswers(d);
    QUORVANE_FUZZ_CHECK(d.rxBufSize() <= clsCmcVep3Drv::kRxBufMax);
    QUORVANE_FUZZ_CHECK(d.Running() == (d.waitState() != 0));
    QUORVANE_FUZZ_CHECK(d.txBuf().empty() == d.txReady());
    QUORVANE_FUZZ_CHECK(d.waitState() == 0 || !d.txBuf().empty());
    QUORVANE_FUZZ_CHECK(d.nowError() == LinkError::None || d.waitState() == 0);
    QUORVANE_FUZZ_CHECK(d.EndAddress() >= 16 && d.EndAddress() <= wire::kMaxEndAddress);
    QUORVANE_FUZZ_CHECK(d.frameCounter() >= 0 && d.frameCounter() <= 255);
    QUORVANE_FUZZ_CHECK(rig.radio.eepImage().eeSize() == clsCmcEeprom::kDefaultSize);
    // Nothing a line sends may raise a runtime error in the link.
    QUORVANE_FUZZ_CHECK(rig.window.tickErrors.empty());
}

std::string AsciiHexByte(std::uint8_t b) {
    return Hex2AsAsciiHex(b);
}

void StartThroughSequencer(test::LinkRig& rig, FuzzInput& in) {
    clsCmcVep3Sequence& seq = rig.sequence;
    if (in.Bit()) {
        seq.comHoldReload((in.Byte() % 8) * 500);
    }
    switch (in.Byte() % 5) {
        case 0:
            seq.Operation(clsCmcVep3Sequence::kOpIdentify);
            seq.start();
            break;
        case 1:
            seq.easyCloneRead();
            break;
        case 2:
            seq.easyCloneWrite();
            break;
        case 3:
            seq.easySendE8ReqAnswer("03" + AsciiHexByte(in.Byte()));
            break;
        default:
            seq.easySendE8NoAnswer(Hex2(in.Byte() % 24) + AsciiHexByte(in.Byte()));
            break;
    }
}

void StartDirectly(test::LinkRig& rig, FuzzInput& in) {
    clsCmcVep3Drv& d = rig.driver;
    rig.com.comOpen(true);
    const auto mode = static_cast<Int16>(in.Byte() % 7);  // 0 and 6 are no exchange kind
    d.workMode(mode);
    if (in.Bit()) {
        d.waitAnswer(in.Bit());
    }
    d.retryCount(static_cast<Int16>(in.Byte() % 4));
    d.myEep(in.Byte() % 8 == 0 ? nullptr : &rig.radio.eepImage());
    d.sizDataOfPacket(static_cast<Int16>(in.Byte()));
    if (in.Bit()) {
        const Bytes list = in.Take(in.Byte() % 24);
        d.cloneWriteAdrList(BytesToText(list));
    } else {
        d.cloneWriteAdrList(rig.radio.cloneWriteAdrList());
    }
    static constexpr std::uint8_t kCommands[] = {0xE0, 0xE2, 0xE3, 0xE4, 0xE5, 0xE8};
    Bytes payload{kCommands[in.Byte() % 6], 0x85, 0x37, 0x02, 0x00};
    const Bytes tail = in.Take(in.Byte() % 12);
    payload.insert(payload.end(), tail.begin(), tail.end());
    (void)d.Send(payload);
}

// An answer frame from the transceiver, often a well-formed one slightly mutated, so that the
// checks behind the framing are reached as often as the framing itself.
Bytes Answer(const test::LinkRig& rig, FuzzInput& in) {
    Bytes payload;
    switch (in.Byte() % 5) {
        case 0:
            payload = sim::IdentityPayload(
                {0x8537, in.Bit() ? std::uint16_t{0x0200} : std::uint16_t{0x0100}, "00012345",
                 in.Byte(), in.Word()});
            payload.resize(4 + in.Byte() % 64);
            break;
        case 1:
            payload =
                sim::CloneDataPayload(sim::BuildCloneRecord(in.Word(), in.Take(in.Byte() % 123)));
            break;
        case 2:
            payload =
                sim::CloneEndPayload(rig.driver.frameCounter() + (in.Bit() ? in.Byte() % 3 : 0));
            break;
        case 3: {
            payload = {0xE8, 0x85, 0x37,
                       0x02, 0x00, static_cast<std::uint8_t>(rig.driver.e8CheckByte())};
            const Bytes more = in.Take(in.Byte() % 8);
            payload.insert(payload.end(), more.begin(), more.end());
            break;
        }
        default:
            payload = in.Take(in.Byte() % 80);
            payload.insert(payload.begin(), kAnswerCommands[in.Byte() % sizeof kAnswerCommands]);
            break;
    }
    Bytes frame = sim::ToProgram(payload);
    // A few bytes changed anywhere, terminators and preambles included.
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
    int steps = 0;
    while (!in.Empty() && ++steps < 400) {
        switch (in.Byte() % 8) {
            case 0:
                fuzz::StartThroughSequencer(rig, in);
                break;
            case 1:
                fuzz::StartDirectly(rig, in);
                break;
            case 2: {
                rig.port.Queue(in.Take(in.Byte() % 2 == 0 ? in.Byte() : in.Word() % 600));
                if (in.Bit()) {
                    rig.port.Fire(CommEvent::Receive);
                } else {
                    rig.Tick();
                }
                break;
            }
            case 3: {
                if (in.Bit()) {
                    rig.port.Queue(rig.driver.txBuf());
                }
                rig.port.Queue(fuzz::Answer(rig, in));
                rig.Tick();
                break;
            }
            case 4:
                rig.clock.Advance(in.Byte() * 8);
                rig.Tick();
                break;
            case 5: {
                static constexpr CommEvent kEvents[] = {CommEvent::Receive,  CommEvent::Break,
                                                        CommEvent::Frame,    CommEvent::Overrun,
                                                        CommEvent::RxParity, CommEvent::RxOver,
                                                        CommEvent::TxFull,   CommEvent::DeviceLost};
                rig.port.Fire(kEvents[in.Byte() % 8]);
                break;
            }
            case 6:
                switch (in.Byte() % 4) {
                    case 0:
                        rig.driver.Reset();
                        break;
                    case 1:
                        rig.driver.nowError(static_cast<LinkError>(in.Byte() % 9));
                        break;
                    case 2:
                        rig.driver.lastError(static_cast<LinkError>(in.Byte() % 9));
                        break;
                    default:
                        rig.driver.ClearRxBuffer();
                        break;
                }
                break;
            default:
                if (in.Bit()) {
                    rig.com.comOpen(false);
                } else {
                    rig.port.outBufferCount = in.Byte() * 4;
                }
                break;
        }
        fuzz::CheckInvariants(rig);
    }
    return 0;
}
