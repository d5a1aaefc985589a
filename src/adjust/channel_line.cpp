#include "adjust/channel_line.h"

#include "eeprom/eeprom_map.h"
#include "platform/number_format.h"

namespace quorvane {

namespace {

std::string Mhz(Int32 hz) {
    return FormatNumber(static_cast<double>(hz) / 1000000.0, "###0.#####0");
}

constexpr char kInhibit[] = "Inhibit   ";

}  // namespace

std::string ChannelLine(const clsIndEep_RigTamsk& eep, const ChannelTables& tables,
                        const std::string& title, Int16 ch) {
    std::string line = title + ": ";
    const std::string name = eep.RigTamskEep_GetChName(ch);
    line += (ch + 1 < 10 ? "0" : "") + name;

    const Int32 record = Mul16(eepmap::kChFreqRecord, ch);
    const bool rxInhibit = eep.Check_Inh(Add32(tables.chStartAdr, record));
    const bool txInhibit = eep.Check_Inh(Add32(tables.chStartAdr4, record));

    line += " RX = ";
    line += rxInhibit ? kInhibit : Mhz(eep.RigTamskEep_GetChFreqRxReal(tables.chStartAdr, ch));
    line += ", TX = ";
    if (txInhibit) {
        line += kInhibit;
    } else {
        const Int32 tx = eep.RigTamskEep_GetChFreqTxReal(tables.chStartAdr4, ch);
        if (!rxInhibit && eep.RigTamskEep_GetChFreqRxReal(tables.chStartAdr, ch) == tx) {
            line += "  <-      ";
        } else {
            line += Mhz(tx);
        }
    }

    line += "  RF Power: ";
    switch (eep.RigTamskEep_GetChRFPower(tables.chBlock2Adr, ch)) {
        case 0:
            line += "High";
            break;
        case 1:
            line += "Low2";
            break;
        default:
            line += "Low1";
            break;
    }
    line += "  Mode:";
    line += eep.RigTamskEep_GetChMode(tables.chBlock2Adr, ch) ? " Narrow" : " Wide";
    return line;
}

}  // namespace quorvane
