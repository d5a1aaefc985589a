// The answer checks of the link driver (identification E1, clone data E4, clone end E5, clone
// write result E6, adjustment answer E8) against an independent reading of the frame format:
// every framed answer is delivered after a real echo, and what the driver did with it (kept,
// stored into the image, ignored, or which error) must be what the format says.
#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>

#include "fuzz_input.h"
#include "protocol/common.h"
#include "support/frames.h"
#include "support/link_rig.h"

namespace quorvane::fuzz {
namespace {

constexpr const char* kSignature = "Mirvak Co";

std::optional<int> HexPair(std::uint8_t hi, std::uint8_t lo) {
    const int h = HexDigitValue(static_cast<char>(hi));
    const int l = HexDigitValue(static_cast<char>(lo));
    if (h < 0 || l < 0) {
        return std::nullopt;
    }
    return h * 16 + l;
}

// The leading hexadecimal digits of up to n bytes from 0-based index i, as an unsigned value.
unsigned LeadingHex(const Bytes& f, std::size_t i, std::size_t n) {
    unsigned v = 0;
    for (std::size_t k = i; k < i + n && k < f.size(); ++k) {
        const int d = HexDigitValue(static_cast<char>(f[k]));
        if (d < 0) {
            break;
        }
        v = v * 16 + static_cast<unsigned>(d);
    }
    return v;
}

// Eight hexadecimal characters of four bytes: all digits, or one E or D inside.
bool IdentifiersNumeric(const Bytes& f) {
    const std::string text = BytesToHex(Bytes(f.begin() + 3, f.begin() + 7));
    int others = 0;
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text[i] >= '0' && text[i] <= '9') {
            continue;
        }
        if (++others > 1 || (text[i] != 'E' && text[i] != 'D') || i == 0 || i + 1 == text.size()) {
            return false;
        }
    }
    return true;
}

struct Expect {
    enum Kind { Waiting, Complete, Error } kind = Waiting;
    Int16 error = 0;
};

struct Model {
    Int16 frameCounter = 0;
    bool countMismatch = false;
    Int16 endAddress = clsCmcVep3Drv::kDefaultEndAddress;
};

Expect Predict(Model& m, Int16 workMode, std::uint8_t checkByte, const Bytes& f,
               const clsCmcEeprom& image, Bytes* stored, Int32* storedAt) {
    const std::size_t len = f.size();
    if (len < 3 || f[0] != 0xEF || f[1] != 0xEE) {
        return {};
    }
    const std::uint8_t cmd = f[2];
    if (cmd == 0xE1 && workMode == 1) {
        const bool good = len >= 59 && IdentifiersNumeric(f) && f[7] == len - 7;
        if (len >= 63) {
            const unsigned raw = LeadingHex(f, 59, 4);
            m.endAddress = static_cast<Int16>(std::min<unsigned>(raw - raw % 16 + 16, 32752));
        }
        m.frameCounter = 0;
        return good ? Expect{Expect::Complete} : Expect{Expect::Error, 3};
    }
    if (cmd == 0xE4 && workMode == 2) {
        bool good = len % 2 == 1 && len >= 13;
        unsigned sum = 0;
        for (std::size_t i = 3; good && i + 1 < len; i += 2) {
            const auto v = HexPair(f[i], f[i + 1]);
            good = v.has_value();
            sum += good ? static_cast<unsigned>(*v) : 0;
        }
        good = good && sum % 256 == 0 && LeadingHex(f, 7, 2) == (len - 11) / 2;
        if (!good) {
            return {Expect::Error, 3};
        }
        m.frameCounter = static_cast<Int16>((m.frameCounter + 1) % 256);
        const auto adr = static_cast<Int16>(static_cast<std::uint16_t>(LeadingHex(f, 3, 4)));
        const std::size_t n = (len - 11) / 2;
        if (adr < 0 || adr + static_cast<Int32>(n) > image.eeSize()) {
            return {Expect::Error, 5};
        }
        stored->clear();
        for (std::size_t k = 0; k < n; ++k) {
            stored->push_back(static_cast<std::uint8_t>(*HexPair(f[9 + 2 * k], f[10 + 2 * k])));
        }
        *storedAt = adr;
        return {};
    }
    if (cmd == 0xE5 && workMode == 2) {
        bool good = len >= 12 && std::equal(f.begin() + 3, f.begin() + 12, kSignature);
        if (len < 14) {
            good = false;
        } else if (static_cast<Int16>(LeadingHex(f, 12, 2)) != m.frameCounter) {
            good = false;
            m.countMismatch = true;
        }
        if (good) {
            return {Expect::Complete};
        }
        return {Expect::Error, static_cast<Int16>(m.countMismatch ? 4 : 3)};
    }
    if (cmd == 0xE6 && workMode == 4) {
        if (len < 4) {
            return {Expect::Error, 3};
        }
        return f[3] == 0 ? Expect{Expect::Complete} : Expect{Expect::Error, 7};
    }
    if (cmd == 0xE8 && workMode == 5) {
        const bool good = len >= 8 && IdentifiersNumeric(f) && f[7] == checkByte;
        return good ? Expect{Expect::Complete} : Expect{Expect::Error, 3};
    }
    return {};
}

// A frame body as the transceiver might send it: a command this exchange awaits, often with a
// well-formed body, then mutated; never holding a preamble or terminator byte, so that the
// driver sees exactly this body.
Bytes MakeBody(FuzzInput& in, Int16 workMode, const Model& m, std::uint8_t checkByte) {
    Bytes body;
    const bool wellFormed = in.Bit();
    switch (workMode) {
        case 1:
            body = wellFormed ? test::E1Body(in.Bit() ? "8537" : "85E7", "0200", in.Byte(),
                                             BytesToText(in.Take(4)), 59 + in.Byte() % 8)
                              : test::Body(0xE1, in.Take(in.Byte()));
            break;
        case 2:
            if (in.Bit()) {
                body = wellFormed ? test::E5Body(m.frameCounter + in.Byte() % 2)
                                  : test::Body(0xE5, in.Take(in.Byte() % 20));
            } else {
                body = wellFormed ? test::E4Body(in.Word() % 0x8200, in.Take(in.Byte() % 123))
                                  : test::Body(0xE4, in.Take(in.Byte()));
            }
            break;
        case 4:
            body = test::Body(0xE6, in.Take(in.Byte() % 4));
            break;
        default: {
            Bytes fields{0x85, 0x37, 0x02, 0x00, checkByte};
            body = wellFormed ? test::Body(0xE8, fields) : test::Body(0xE8);
            const Bytes more = in.Take(in.Byte() % 12);
            body.insert(body.end(), more.begin(), more.end());
            break;
        }
    }
    for (int i = in.Byte() % 3; i > 0 && !body.empty(); --i) {
        body[in.Byte() % body.size()] = in.Byte();
    }
    if (in.Byte() % 16 == 0 && body.size() > 3) {
        body.resize(3 + in.Byte() % (body.size() - 3));
    }
    if (body.size() > 256) {
        body.resize(256);
    }
    for (auto& b : body) {
        if (b == 0xFE || b == 0xFD) {
            b = 0x30;
        }
    }
    return body;
}

}  // namespace
}  // namespace quorvane::fuzz

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    using namespace quorvane;
    fuzz::FuzzInput in(data, size);
    test::LinkRig rig(false);
    static constexpr Int16 kModes[] = {1, 2, 4, 5};
    const Int16 mode = kModes[in.Byte() % 4];
    fuzz::Model model;
    std::uint8_t checkByte = 0;
    int frames = 0;
    while (!in.Empty() && ++frames < 64) {
        clsCmcVep3Drv& d = rig.driver;
        if (d.waitState() == 0) {
            // A new exchange of the chosen kind, up to the point where its answer is awaited.
            rig.com.comOpen(true);
            d.workMode(mode);
            d.myEep(&rig.radio.eepImage());
            checkByte = static_cast<std::uint8_t>(0x30 + in.Byte() % 0x40);
            Bytes payload{mode == 1   ? std::uint8_t{0xE0}
                          : mode == 2 ? std::uint8_t{0xE2}
                          : mode == 4 ? std::uint8_t{0xE5}
                                      : std::uint8_t{0xE8},
                          0x85,
                          0x37,
                          0x02,
                          0x00,
                          checkByte,
                          0x31,
                          0x32};
            if (mode == 5) {
                d.waitAnswer(true);
            }
            QUORVANE_FUZZ_CHECK(d.Send(payload) == 0);
            rig.port.Queue(d.txBuf());
            rig.Tick();
            QUORVANE_FUZZ_CHECK(d.waitState() == 2);
        }
        d.lastError(0);
        const Bytes body = fuzz::MakeBody(in, mode, model, checkByte);
        Bytes stored;
        Int32 storedAt = -1;
        const Bytes before = rig.radio.eepImage().data();
        const fuzz::Expect expect =
            fuzz::Predict(model, mode, checkByte, body, rig.radio.eepImage(), &stored, &storedAt);
        const std::size_t reports = rig.window.reports.size();
        rig.port.Queue(test::Wire(body));
        rig.Tick();

        QUORVANE_FUZZ_CHECK(rig.window.tickErrors.empty());
        QUORVANE_FUZZ_CHECK(d.frameCounter() == model.frameCounter);
        QUORVANE_FUZZ_CHECK(d.countMismatch() == model.countMismatch);
        QUORVANE_FUZZ_CHECK(d.EndAddress() == model.endAddress);
        switch (expect.kind) {
            case fuzz::Expect::Waiting:
                QUORVANE_FUZZ_CHECK(d.waitState() == 2 && d.lastError() == 0);
                QUORVANE_FUZZ_CHECK(rig.window.reports.size() == reports);
                if (storedAt >= 0) {
                    const auto& img = rig.radio.eepImage().data();
                    QUORVANE_FUZZ_CHECK(
                        std::equal(stored.begin(), stored.end(), img.begin() + storedAt));
                    QUORVANE_FUZZ_CHECK(d.lastEeAdr() == storedAt + Len(stored) - 1);
                } else {
                    QUORVANE_FUZZ_CHECK(rig.radio.eepImage().data() == before);
                }
                break;
            case fuzz::Expect::Complete:
                QUORVANE_FUZZ_CHECK(d.waitState() == 0 && d.lastError() == 0);
                if (mode == 1) {
                    QUORVANE_FUZZ_CHECK(d.ansInfo() == body);
                }
                if (mode == 5) {
                    QUORVANE_FUZZ_CHECK(d.varLastE8Answer() == Bytes(body.begin() + 3, body.end()));
                }
                break;
            case fuzz::Expect::Error:
                QUORVANE_FUZZ_CHECK(d.lastError() == expect.error);
                QUORVANE_FUZZ_CHECK(rig.window.reports.size() == reports + 1);
                QUORVANE_FUZZ_CHECK(rig.radio.eepImage().data() == before);
                break;
        }
    }
    return 0;
}
