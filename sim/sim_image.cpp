#include "sim_image.h"

#include <algorithm>
#include <cstdio>
#include <fstream>
#include <iterator>
#include <stdexcept>

namespace quorvane::sim {

namespace {

// splitmix64: a small generator whose sequence is the same on every platform and library,
// which the standard distributions do not promise.
class Rng {
  public:
    explicit Rng(std::uint64_t seed) : state_(seed) {}
    std::uint64_t Next() {
        std::uint64_t z = (state_ += 0x9E3779B97F4A7C15ull);
        z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ull;
        z = (z ^ (z >> 27)) * 0x94D049BB133111EBull;
        return z ^ (z >> 31);
    }
    // A whole number in lo..hi.
    int Range(int lo, int hi) {
        return lo + static_cast<int>(Next() % static_cast<std::uint64_t>(hi - lo + 1));
    }
    std::uint8_t Byte() { return static_cast<std::uint8_t>(Next()); }

  private:
    std::uint64_t state_;
};

std::uint8_t Signed(int v) {
    return static_cast<std::uint8_t>(static_cast<std::int8_t>(v));
}

void PutFreq(SimImage& img, std::int32_t at, std::uint32_t hz, bool inhibit) {
    const std::uint32_t v = hz | (inhibit ? 0x80000000u : 0u);
    img.Word(at, static_cast<std::uint16_t>(v >> 16));
    img.Word(at + 2, static_cast<std::uint16_t>(v & 0xFFFF));
}

void GenerateChannels(SimImage& img, Rng& rng, int count) {
    const std::uint32_t baseHz = img.Word(adr::kBaseFreq) * 100000u;
    const bool uhf = baseHz >= 200000000u;
    const std::uint32_t spanSteps = (uhf ? 60000000u : 30000000u) / 12500u;
    const std::uint32_t duplexOffset = uhf ? 5000000u : 600000u;
    for (int ch = 0; ch < count; ++ch) {
        const std::int32_t f = kGenFreqTable + 14 * ch;
        const std::int32_t s = kGenSettingTable + 20 * ch;
        if (ch % 5 == 3) {
            // An empty memory: receive frequency 0 and nothing else set.
            for (int i = 0; i < 14; ++i) {
                img.Byte(f + i, 0x00);
            }
            continue;
        }
        const std::uint32_t rx =
            baseHz + 12500u * static_cast<std::uint32_t>(rng.Range(0, int(spanSteps) - 1));
        const std::uint32_t tx = ch % 4 == 1 ? rx + duplexOffset : rx;
        PutFreq(img, f, rx, ch == 5);
        PutFreq(img, f + 4, tx, ch == 6);
        img.Byte(f + 8, static_cast<std::uint8_t>(rng.Range(0, 50)));  // tone code
        img.Byte(f + 9, static_cast<std::uint8_t>(rng.Range(0, 50)));
        for (int i = 10; i < 14; ++i) {
            img.Byte(f + i, 0x00);
        }
        for (int i = 0; i < 20; ++i) {
            img.Byte(s + i, static_cast<std::uint8_t>(rng.Range(0, 0x3F)));
        }
        static constexpr std::uint8_t kPower[3] = {0x03, 0x02, 0x00};    // High, Low2, Low1
        const std::uint8_t power = ch % 6 == 2 ? 0x01 : kPower[ch % 3];  // 01 is Low1 as well
        img.Byte(s + 8, static_cast<std::uint8_t>((img.Byte(s + 8) & 0xFC) | power));
        const bool narrow = ch % 2 == 0;
        img.Byte(s + 11,
                 static_cast<std::uint8_t>((img.Byte(s + 11) & 0x7F) | (narrow ? 0x80 : 0)));
    }
}

// The calibration and settings areas, the name and the serial number.
void FillRandomAreas(SimImage& img, Rng& rng) {
    for (std::int32_t a = 0; a < 0x0400; ++a) {
        img.Byte(a, rng.Byte());
    }
    for (std::int32_t a = 0x1000; a < 0x1100; ++a) {
        img.Byte(a, rng.Byte());
    }
    const char name[] = "TAMSKOR         ";
    for (int i = 0; i < 16; ++i) {
        img.Byte(i, static_cast<std::uint8_t>(name[i]));
    }
    for (int i = 16; i < 24; ++i) {
        img.Byte(i, static_cast<std::uint8_t>('0' + rng.Range(0, 9)));
    }
}

// The adjustment levels, each drawn from the range a healthy transceiver keeps it in.
void GenerateLevels(SimImage& img, Rng& rng) {
    static constexpr std::uint16_t kBases[4] = {1360, 1440, 4000, 4300};
    img.Word(adr::kBaseFreq, kBases[rng.Range(0, 3)]);
    img.Byte(adr::kCtcss, static_cast<std::uint8_t>(rng.Range(100, 140)));
    img.Byte(adr::kBpfT1, static_cast<std::uint8_t>(rng.Range(70, 110)));
    img.Byte(adr::kBpfT2, static_cast<std::uint8_t>(rng.Range(40, 80)));
    img.Byte(adr::kBpfCorrection, static_cast<std::uint8_t>(rng.Range(0, 20)));
    for (int i = 0; i < 4; ++i) {
        img.Byte(adr::kTempSlants + i, Signed(rng.Range(-10, 10)));
    }
    img.Byte(adr::kRxLva, static_cast<std::uint8_t>(rng.Range(80, 180)));
    img.Byte(adr::kTxLva, static_cast<std::uint8_t>(rng.Range(80, 180)));

    // MOD W follows MOD N at a ratio near 1.9 (64 = equal), in both Mid variants.
    const int modN = rng.Range(100, 130);
    const int bal = rng.Range(110, 150);
    const int ratio = rng.Range(115, 125);
    const int modW = std::min(255, (modN * ratio + 32) / 64);
    img.Byte(adr::kToneWCorr, Signed(rng.Range(-8, 8)));
    img.Byte(adr::kModW, static_cast<std::uint8_t>(modW));
    img.Byte(adr::kBalW, static_cast<std::uint8_t>(bal));
    img.Byte(adr::kToneNCorr, Signed(rng.Range(-8, 8)));
    img.Byte(adr::kModN, static_cast<std::uint8_t>(modN));
    img.Byte(adr::kBal, static_cast<std::uint8_t>(bal));
    img.Byte(adr::kToneWCorrMid, Signed(rng.Range(-8, 8)));
    img.Byte(adr::kModWMid, static_cast<std::uint8_t>(modW));
    img.Byte(adr::kBalWMid, static_cast<std::uint8_t>(bal));
    for (int i = 0; i < 42; ++i) {
        img.Byte(adr::kFreqSlants + i, Signed(rng.Range(-15, 15)));
    }
    img.Byte(adr::kPowerL1, static_cast<std::uint8_t>(rng.Range(40, 70)));
    img.Byte(adr::kPowerL2, static_cast<std::uint8_t>(rng.Range(100, 130)));
    img.Byte(adr::kPowerHi, static_cast<std::uint8_t>(rng.Range(190, 230)));
    img.Byte(adr::kRssiS1, static_cast<std::uint8_t>(rng.Range(40, 70)));
    img.Byte(adr::kRssiS3, static_cast<std::uint8_t>(rng.Range(100, 140)));
    img.Byte(adr::kRef, static_cast<std::uint8_t>(rng.Range(110, 150)));
    // Target levels strictly inside the LVIN range of both LVAs (20..200 and 30..200).
    img.Byte(adr::kLvRxLva, static_cast<std::uint8_t>(rng.Range(80, 140)));
    img.Byte(adr::kLvTxLva, static_cast<std::uint8_t>(rng.Range(90, 150)));
    img.Byte(adr::kSql, static_cast<std::uint8_t>(rng.Range(60, 120)));
}

}  // namespace

SimImage::SimImage() : data_(kImageSize, 0) {}

SimImage SimImage::Generate(std::uint32_t seed, const ImageOptions& options) {
    if (options.channels < 0 || options.channels > kMaxGenChannels) {
        throw std::invalid_argument("channel count must be 1..40");
    }
    SimImage img;
    Rng rng(seed);
    // Unused EEPROM reads as erased (FF); the calibration and settings area holds data.
    std::fill(img.data_.begin(), img.data_.end(), 0xFF);
    FillRandomAreas(img, rng);
    GenerateLevels(img, rng);

    const int count = options.channels > 0 ? options.channels : rng.Range(12, 16);
    img.Word(adr::kChannelCount, static_cast<std::uint16_t>(count));
    img.Word(adr::kFreqTableAdr, kGenFreqTable);
    img.Word(adr::kSettingTableAdr, kGenSettingTable);
    const bool mid = options.mid.value_or((rng.Next() & 1) != 0);
    img.Byte(adr::kMidFlag,
             static_cast<std::uint8_t>((img.Byte(adr::kMidFlag) & 0x7F) | (mid ? 0x80 : 0x00)));
    // The channel tables replace whatever the settings area held there.
    for (std::int32_t a = kGenFreqTable; a < kGenSettingTable + 20 * kMaxGenChannels; ++a) {
        img.Byte(a, 0xFF);
    }
    GenerateChannels(img, rng, count);
    return img;
}

SimImage SimImage::Load(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    if (!in) {
        throw std::runtime_error("cannot open image file " + path);
    }
    std::vector<std::uint8_t> bytes((std::istreambuf_iterator<char>(in)),
                                    std::istreambuf_iterator<char>());
    if (in.bad()) {
        throw std::runtime_error("cannot read image file " + path);
    }
    if (bytes.size() != static_cast<std::size_t>(kImageSize)) {
        throw std::runtime_error("image file " + path + " has " + std::to_string(bytes.size()) +
                                 " bytes, not " + std::to_string(kImageSize));
    }
    SimImage img;
    img.data_ = std::move(bytes);
    return img;
}

void SimImage::Save(const std::string& path) const {
    const std::string temp = path + ".tmp";
    {
        std::ofstream out(temp, std::ios::binary | std::ios::trunc);
        out.write(reinterpret_cast<const char*>(data_.data()),
                  static_cast<std::streamsize>(data_.size()));
        out.flush();
        if (!out) {
            std::remove(temp.c_str());
            throw std::runtime_error("cannot write image file " + temp);
        }
    }
    if (std::rename(temp.c_str(), path.c_str()) != 0) {
        std::remove(temp.c_str());
        throw std::runtime_error("cannot rename " + temp + " to " + path);
    }
}

std::uint8_t SimImage::Byte(std::int32_t address) const {
    if (address < 0 || address >= kImageSize) {
        return 0;
    }
    return data_[static_cast<std::size_t>(address)];
}

bool SimImage::Byte(std::int32_t address, std::uint8_t value) {
    if (address < 0 || address >= kImageSize) {
        return false;
    }
    data_[static_cast<std::size_t>(address)] = value;
    return true;
}

std::uint16_t SimImage::Word(std::int32_t address) const {
    return static_cast<std::uint16_t>(Byte(address) << 8 | Byte(address + 1));
}

bool SimImage::Word(std::int32_t address, std::uint16_t value) {
    if (address < 0 || address + 1 >= kImageSize) {
        return false;
    }
    Byte(address, static_cast<std::uint8_t>(value >> 8));
    Byte(address + 1, static_cast<std::uint8_t>(value & 0xFF));
    return true;
}

bool SimImage::ChannelNarrow(int index) const {
    return (Byte(SettingTable() + 20 * index + 11) & 0x80) != 0;
}

}  // namespace quorvane::sim
