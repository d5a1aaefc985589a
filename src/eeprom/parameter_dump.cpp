#include <algorithm>
#include <array>
#include <cstdio>
#include <string>
#include <string_view>

#include "eeprom/eeprom_map.h"
#include "eeprom/ind_eep_rig_tamsk.h"
#include "platform/number_format.h"
#include "platform/text.h"

namespace quorvane {

namespace {

constexpr std::size_t kLabelWidth = 30;

std::string UnsignedField(Int16 byte) {
    return RightAlign(std::to_string(byte), 4);
}

std::string SignedField(Int16 byte) {
    return RightAlign(std::to_string(byte > 127 ? byte - 256 : byte), 4);
}

}  // namespace

std::string ParameterLineText(const ParameterLine& line) {
    // Every name is shorter than its column.
    std::string text(kLabelWidth - std::min(kLabelWidth, line.name.size() + 2), ' ');
    text += line.name;
    text += ": ";
    text += line.field;
    return text;
}

std::string clsIndEep_RigTamsk::ParameterDumpText() const {
    std::string text;
    text.reserve(66 * 40);
    for (const ParameterLine& line : ParameterDump()) {
        text += ParameterLineText(line);
        text += "\r\n";
    }
    return text;
}

std::vector<ParameterLine> clsIndEep_RigTamsk::ParameterDump() const {
    using namespace eepmap;
    const bool mid = RigTamskEep_GetMid();
    std::vector<ParameterLine> lines;
    lines.reserve(66);
    auto line = [&lines](std::string_view name, std::string field) {
        lines.push_back({std::string(name), std::move(field)});
    };
    auto u = [&](std::string_view name, Int32 adr) { line(name, UnsignedField(Byte(adr))); };
    auto s = [&](std::string_view name, Int32 adr) { line(name, SignedField(Byte(adr))); };

    u("POW HI Level", kPowHiLevel);
    u("POW L2 Level", kPowL2Level);
    u("POW L1 Level", kPowL1Level);
    u("BAL W Level", mid ? kBalWLevelMid : kBalWLevel);
    u("BAL N Level", kBalNLevel);
    u("MOD W Level", mid ? kModWLevelMid : kModWLevel);
    u("MOD N Level", kModNLevel);
    u("CTCS/DTCS Level", kCtcsDtcsLevel);
    u("SQL Level", kSqlLevel);
    u("REF Level", kRefLevel);
    u("BPF Correction", kBpfCorrection);
    u("BPF T1 Level", kBpfT1Level);
    u("BPF T2 Level", kBpfT2Level);
    u("RX LVA Level", kRxLvaLevel);
    u("TX LVA Level", kTxLvaLevel);

    // The groups run in this order, which is not the order of a band record's bytes.
    const std::array<std::pair<const char*, Int32>, 6> slantGroups{{
        {"MOD", kSlantMod},
        {"Tone", kSlantTone},
        {"POW", kSlantPow},
        {"BAL", kSlantBal},
        {"Rx LVA", kSlantRxLva},
        {"Tx LVA", kSlantTxLva},
    }};
    for (const auto& [name, offset] : slantGroups) {
        for (Int32 band = 0; band < kFreqSlantBands; ++band) {
            char title[32];
            std::snprintf(title, sizeof title, "%s Slant(Freq) Band%d", name, band);
            s(title, kFreqSlantTable + kFreqSlantRecord * band + offset);
        }
    }

    s("MOD Slant(Temp) Area", kModSlantTemp);
    s("Tone Slant(Temp) Area", kToneSlantTemp);
    s("SQL Slant(Temp) Area", kSqlSlantTemp);
    s("BAL Slant(Temp) Area", kBalSlantTemp);
    s("Tone W Correction", mid ? kToneWCorrectionMid : kToneWCorrection);
    s("Tone N Correction", kToneNCorrection);

    const double mhz = static_cast<double>(ReadBaseFreqBlock()) / 1000000.0;
    line("Base Frequency", Right(std::string(8, ' ') + FormatNumber(mhz, "###0.##0"), 8) + "MHz");

    u("RSSI S1 Level", kRssiS1Level);
    u("RSSI S3 Level", kRssiS3Level);
    return lines;
}

}  // namespace quorvane
