#pragma once

#include <cstdint>
#include <map>
#include <string>
#include <vector>

#include "platform/byte_string.h"

namespace quorvane::bench {

// One frame of the stand-in's trace (tamskor-sim --trace, with --paced-input on and
// --trace-clock monotonic, so the times are this machine's monotonic microseconds).
struct TraceFrame {
    // Program to transceiver: when its last byte was complete on the line. Transceiver to
    // program: when its first byte started.
    std::int64_t us = 0;
    bool toTransceiver = false;
    Bytes wire;  // FE FE ... FD
};

// The frames of a trace file, in order; notes and unreadable lines are skipped.
std::vector<TraceFrame> ReadTrace(const std::string& path);

// Line time of n bytes of 10 bits (start, 8 data, stop), in microseconds.
double WireUs(std::size_t bytes, int baud);
// When the frame's first byte started and its last byte ended on the line.
double StartUs(const TraceFrame& f, int baud);
double EndUs(const TraceFrame& f, int baud);

// Sub-command and value of an adjust command the program sent (FE FE EE EF E8 model sub
// cc v v FD, the value in two ASCII hexadecimal digits); -1 for any other frame.
int E8Sub(const TraceFrame& f);
int E8Value(const TraceFrame& f);

// The shortest time the behaviour allows for a run of exchanges: every frame the program
// sends takes its line time (its echo comes back alongside it on the other wire), every
// answer its line time after the transceiver's turnaround, and after an adjust command
// whose item asks for a settling wait the next pass may send nothing until that wait has
// run from the moment the command was sent. A follow-up command handed over in the same
// pass as its item's own goes out right behind it.
struct Floor {
    double totalUs = 0;
    double wireUs = 0;        // line time of every request and answer
    double turnaroundUs = 0;  // the transceiver's, once per answered request
    double waitUs = 0;        // settling time beyond the line time it overlaps
    int requests = 0;
    int answers = 0;
    int waits = 0;
};

struct FloorRules {
    int baud = 9600;
    double turnaroundUs = 0;
    std::map<int, int> waitMsBySub;  // adjust sub-command -> its item's settling wait
};

// The floor of the frames given (a slice of a trace: every request with its answers).
Floor ExchangeFloor(const std::vector<TraceFrame>& frames, const FloorRules& rules);

}  // namespace quorvane::bench
