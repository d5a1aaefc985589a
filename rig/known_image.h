#pragma once

#include <utility>

#include "platform/checked.h"
#include "sim/sim_image.h"

namespace quorvane::test {

// Mid flag clear, twelve channels counted of fourteen records (3 and 8 absent, 12 present but
// beyond the count), every level different.
inline sim::SimImage KnownImage() {
    sim::ImageOptions options;
    options.mid = false;
    options.channels = 14;
    sim::SimImage image = sim::SimImage::Generate(1, options);
    const std::pair<Int32, int> levels[] = {{130, 255}, {129, 153}, {128, 51}, {74, 128}, {81, 128},
                                            {67, 128},  {73, 100},  {80, 150}, {66, 50},  {51, 0},
                                            {274, 1},   {135, 204}, {52, 90},  {53, 60},  {60, 114},
                                            {61, 200},  {136, 100}, {137, 150}};
    for (auto [address, value] : levels) {
        image.Byte(address, static_cast<std::uint8_t>(value));
    }
    image.Word(314, 12);
    // Record 0: receive 156.025 MHz, transmit 156.625 MHz, Low2, narrow.
    for (auto [offset, word] : {std::pair{0, 0x094C}, {2, 0xC0A8}, {4, 0x0955}, {6, 0xE868}}) {
        image.Word(sim::kGenFreqTable + offset, static_cast<std::uint16_t>(word));
    }
    image.Byte(sim::kGenSettingTable + 8, 0x02);
    image.Byte(sim::kGenSettingTable + 11, 0x80);
    return image;
}

}  // namespace quorvane::test
