#pragma once

#include <ostream>
#include <string>

#include "platform/byte_string.h"
#include "sim_time.h"

namespace quorvane::sim {

enum class Direction { ToTransceiver, ToProgram };

// A readable record of the line: one line per frame with its time, direction, bytes and
// meaning, and one per notable event (an ignored frame, a fault at work).
//   "   512.500 ms  PC>TR  FE FE EE EF E8 85 37 02 00 08 38 30 FD  | E8 sub 08 value 0x80 (SQL)"
class WireTrace {
  public:
    explicit WireTrace(std::ostream& out) : out_(&out) {}

    // wire: the whole frame as on the line, FE FE .. FD.
    void Frame(SimTime t, Direction direction, const Bytes& wire);
    void Note(SimTime t, const std::string& text);

  private:
    std::ostream* out_;
};

}  // namespace quorvane::sim
