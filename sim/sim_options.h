#pragma once

#include <cstdint>
#include <string>
#include <variant>
#include <vector>

#include "sim_image.h"
#include "tamskor_sim.h"

namespace quorvane::sim {

// What the tamskor-sim command was asked to do.
struct SimOptions {
    TamskorConfig config;
    std::uint32_t seed = 1;
    ImageOptions image;
    std::string imagePath;        // load the image from here instead of generating it
    std::string saveImagePath;    // write the image here at start and again on exit
    std::string tracePath;        // wire trace; "-" for standard error
    std::string linkPath;         // symbolic link to the device, removed on exit
    bool pacedInput = false;      // the program's bytes take their wire time to arrive
    bool monotonicTrace = false;  // trace times on the system's monotonic clock
    bool help = false;
};

// The options of the command line (without the program name), or the reason they are wrong.
// Accepts "--name value" and "--name=value".
std::variant<SimOptions, std::string> ParseOptions(const std::vector<std::string>& args);

// The --help text: every option and every fault.
std::string HelpText();

}  // namespace quorvane::sim
