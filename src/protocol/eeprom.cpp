#include "protocol/eeprom.h"

#include <algorithm>
#include <string>

namespace quorvane {

clsCmcEeprom::clsCmcEeprom() : eeData_(kDefaultSize, 0) {}

void clsCmcEeprom::eeSize(Int32 size) {
    if (size < 0) {
        raiseInvalidArgument("EEPROM size " + std::to_string(size));
    }
    eeData_.assign(static_cast<std::size_t>(size), 0);
}

Int16 clsCmcEeprom::ReadByte(Int32 adr) const {
    return AdrValid(adr) ? eeData_[static_cast<std::size_t>(adr)] : Int16{0};
}

Int16 clsCmcEeprom::WriteByte(Int32 adr, std::uint8_t data) {
    if (!AdrValid(adr)) {
        return 1;
    }
    eeData_[static_cast<std::size_t>(adr)] = data;
    return 0;
}

bool clsCmcEeprom::ReadBit(Int32 adr, Int16 bit) const {
    if (!AdrValid(adr) || bit < 0 || bit > 7) {
        return false;
    }
    return (eeData_[static_cast<std::size_t>(adr)] >> bit) & 1;
}

Int16 clsCmcEeprom::FillBlock(Int32 adr, std::uint8_t data, Int32 siz) {
    const std::int64_t last = std::int64_t{adr} + siz - 1;
    if (!AdrValid(adr) || last < 0 || last >= eeSize()) {
        return 1;
    }
    // Both ends valid but siz < 1 (last below adr) writes nothing, as the loop would.
    for (std::int64_t a = adr; a <= last; ++a) {
        eeData_[static_cast<std::size_t>(a)] = data;
    }
    return 0;
}

Int16 clsCmcEeprom::WriteBlock(Int32 adr, const Bytes& data) {
    const std::int64_t last = std::int64_t{adr} + static_cast<std::int64_t>(data.size()) - 1;
    if (!AdrValid(adr) || last < 0 || last >= eeSize()) {
        return 1;
    }
    std::copy(data.begin(), data.end(), eeData_.begin() + adr);
    return 0;
}

Bytes clsCmcEeprom::ReadBlock(Int32 adr, Int32 siz) const {
    if (siz <= 0) {
        return {};
    }
    const std::int64_t last = std::int64_t{adr} + siz - 1;
    if (adr < 0 || last >= eeSize()) {
        raiseIndexOutOfRange("EEPROM block " + std::to_string(adr) + ".." + std::to_string(last));
    }
    auto first = eeData_.begin() + adr;
    return Bytes(first, first + siz);
}

}  // namespace quorvane
