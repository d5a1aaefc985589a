#pragma once

#include <cstdint>
#include <vector>

#include "platform/byte_string.h"
#include "platform/checked.h"
#include "protocol/wire.h"

namespace quorvane {

// The in-memory copy of the transceiver's EEPROM. Statuses are 0 done, 1 refused; a refused
// call changes nothing.
class clsCmcEeprom {
  public:
    static constexpr Int32 kDefaultSize = wire::kImageSize;

    clsCmcEeprom();

    Int32 eeSize() const { return static_cast<Int32>(eeData_.size()); }
    // Discards the contents and allocates a fresh zero-filled image of the given size.
    void eeSize(Int32 size);

    bool AdrValid(Int32 adr) const { return adr >= 0 && adr < eeSize(); }

    Int16 ReadByte(Int32 adr) const;
    Int16 WriteByte(Int32 adr, std::uint8_t data);
    bool ReadBit(Int32 adr, Int16 bit) const;
    Int16 FillBlock(Int32 adr, std::uint8_t data, Int32 siz);
    Int16 WriteBlock(Int32 adr, const Bytes& data);
    // Raises IndexOutOfRange for a block outside the image.
    Bytes ReadBlock(Int32 adr, Int32 siz) const;

    // The whole image, for tests and tools.
    const std::vector<std::uint8_t>& data() const { return eeData_; }

  private:
    std::vector<std::uint8_t> eeData_;
};

}  // namespace quorvane
