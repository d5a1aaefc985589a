#pragma once

#include <functional>
#include <string>
#include <vector>

#include "platform/byte_string.h"
#include "support/fake_serial_control.h"
#include "support/frames.h"

namespace quorvane::test {

// A transceiver behind the fake port, with the cable's echo: every frame written comes back
// first, then the transceiver's answer. Each knob changes one thing a faulty peer might do.
class ScriptedPeer {
  public:
    explicit ScriptedPeer(FakeSerialControl& port) : port_(&port) {
        port.onOutput = [this](const Bytes& bytes) { Heard(bytes); };
        image.assign(256, 0);
        for (std::size_t i = 0; i < image.size(); ++i) {
            image[i] = static_cast<std::uint8_t>(i * 7 + 3);
        }
    }

    // Identity.
    std::string model = "8537";
    std::string sub = "0100";
    std::uint8_t revision = 0x04;
    std::string endAddress = "7FDF";
    Int32 identityLength = 63;

    // Clone read: the image sent from address 0, 16 bytes a frame.
    Bytes image;
    int countAdjust = 0;  // added to the count in the end frame

    // Answers and echo.
    bool echo = true;
    bool answerIdentify = true;
    bool answerCloneRead = true;
    bool answerE8 = true;
    Bytes e8Data{0x30, 0x31};      // answer data after the repeated command byte
    std::uint8_t writeResult = 0;  // E6 result

    // What the transceiver heard (payloads without framing), and clone-write records.
    std::vector<Bytes> heard;
    std::vector<Bytes> writtenRecords;

    // Replaces the answer to a payload; return the raw bytes to queue after the echo.
    std::function<Bytes(const Bytes& payload)> answerOverride;

  private:
    void Heard(const Bytes& bytes) {
        if (echo) {
            port_->Queue(bytes);
        }
        if (bytes.size() < 6 || bytes[0] != 0xFE || bytes[1] != 0xFE || bytes.back() != 0xFD) {
            return;
        }
        const Bytes payload(bytes.begin() + 4, bytes.end() - 1);
        heard.push_back(payload);
        if (answerOverride) {
            port_->Queue(answerOverride(payload));
            return;
        }
        port_->Queue(Answer(payload));
    }

    Bytes Answer(const Bytes& payload) {
        switch (payload[0]) {
            case 0xE0:
                return answerIdentify
                           ? Wire(E1Body(model, sub, revision, endAddress, identityLength))
                           : Bytes{};
            case 0xE2: {
                if (!answerCloneRead) {
                    return {};
                }
                Bytes out;
                int frames = 0;
                for (std::size_t adr = 0; adr < image.size(); adr += 16) {
                    const std::size_t n = std::min<std::size_t>(16, image.size() - adr);
                    const Bytes data(image.begin() + static_cast<std::ptrdiff_t>(adr),
                                     image.begin() + static_cast<std::ptrdiff_t>(adr + n));
                    const Bytes f = Wire(E4Body(static_cast<Int32>(adr), data));
                    out.insert(out.end(), f.begin(), f.end());
                    ++frames;
                }
                const Bytes end = Wire(E5Body(frames + countAdjust));
                out.insert(out.end(), end.begin(), end.end());
                return out;
            }
            case 0xE4:
                writtenRecords.push_back(
                    HexToBytes(BytesToText(Bytes(payload.begin() + 1, payload.end()))));
                return {};
            case 0xE5:
                return Wire(Body(0xE6, {writeResult}));
            case 0xE8: {
                if (!answerE8 || payload.size() < 6) {
                    return {};
                }
                Bytes fields(payload.begin() + 1, payload.begin() + 6);
                fields.insert(fields.end(), e8Data.begin(), e8Data.end());
                return Wire(Body(0xE8, fields));
            }
            default:
                return {};
        }
    }

    FakeSerialControl* port_;
};

}  // namespace quorvane::test
