#pragma once

#include <cstdint>
#include <iosfwd>
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
};

// The command line (without the program name): the options to serve with, or the exit status
// once --help or --version was answered on out (0), or a wrong command line refused on err (2).
// Accepts "--name value" and "--name=value"; of an option given twice the last counts.
std::variant<SimOptions, int> ParseCommandLine(const std::vector<std::string>& args,
                                               std::ostream& out, std::ostream& err);

}  // namespace quorvane::sim
