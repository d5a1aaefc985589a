#include "line_trace.h"

#include <algorithm>
#include <cstdlib>
#include <fstream>
#include <sstream>

#include "protocol/common.h"

namespace quorvane::bench {

std::vector<TraceFrame> ReadTrace(const std::string& path) {
    std::vector<TraceFrame> frames;
    std::ifstream in(path);
    std::string line;
    while (std::getline(in, line)) {
        // "   512.500 ms  PC>TR  FE FE EE EF ... FD  | meaning"
        const auto pc = line.find("  PC>TR  ");
        const auto tr = line.find("  TR>PC  ");
        const auto bar = line.find("  | ");
        const auto dir = pc != std::string::npos ? pc : tr;
        if (dir == std::string::npos || bar == std::string::npos || bar < dir) {
            continue;
        }
        TraceFrame f;
        char* end = nullptr;
        const long long ms = std::strtoll(line.c_str(), &end, 10);
        if (end == nullptr || *end != '.') {
            continue;
        }
        const long long frac = std::strtoll(end + 1, nullptr, 10);
        f.us = ms * 1000 + frac;
        f.toTransceiver = pc != std::string::npos;
        std::istringstream hex(line.substr(dir + 9, bar - dir - 9));
        std::string byte;
        while (hex >> byte) {
            f.wire.push_back(static_cast<std::uint8_t>(std::strtoul(byte.c_str(), nullptr, 16)));
        }
        frames.push_back(std::move(f));
    }
    return frames;
}

double WireUs(std::size_t bytes, int baud) {
    return static_cast<double>(bytes) * 10.0 * 1e6 / baud;
}

double StartUs(const TraceFrame& f, int baud) {
    return f.toTransceiver ? static_cast<double>(f.us) - WireUs(f.wire.size(), baud)
                           : static_cast<double>(f.us);
}

double EndUs(const TraceFrame& f, int baud) {
    return f.toTransceiver ? static_cast<double>(f.us)
                           : static_cast<double>(f.us) + WireUs(f.wire.size(), baud);
}

namespace {

bool IsAdjustRequest(const TraceFrame& f) {
    return f.toTransceiver && f.wire.size() == 13 && f.wire[4] == 0xE8;
}

}  // namespace

int E8Sub(const TraceFrame& f) {
    return IsAdjustRequest(f) ? f.wire[9] : -1;
}

int E8Value(const TraceFrame& f) {
    if (!IsAdjustRequest(f)) {
        return -1;
    }
    const int hi = HexDigitValue(static_cast<char>(f.wire[10]));
    const int lo = HexDigitValue(static_cast<char>(f.wire[11]));
    return hi < 0 || lo < 0 ? -1 : hi * 16 + lo;
}

Floor ExchangeFloor(const std::vector<TraceFrame>& frames, const FloorRules& rules) {
    Floor floor;
    double cursor = 0;    // when the line is free on the floor's schedule
    double waitEnd = -1;  // end of the pending settling wait on that schedule; -1 none
    // A frame that started on the real line within the first half of a pending wait cannot
    // have waited for it: it was handed over in the same pass, right behind its item's own
    // command. (A frame that did wait may start a little under the whole wait after the one
    // before, which could have queued behind earlier frames.)
    double sameOnlyUntil = -1;
    for (std::size_t i = 0; i < frames.size(); ++i) {
        const TraceFrame& request = frames[i];
        if (!request.toTransceiver) {
            continue;
        }
        ++floor.requests;
        const double actualStart = StartUs(request, rules.baud);
        const bool samePass = actualStart < sameOnlyUntil;
        const double start = samePass ? cursor : std::max(cursor, waitEnd);
        const double requestWire = WireUs(request.wire.size(), rules.baud);
        floor.wireUs += requestWire;
        cursor = start + requestWire;

        bool answered = false;
        for (std::size_t j = i + 1; j < frames.size() && !frames[j].toTransceiver; ++j) {
            const double wire = WireUs(frames[j].wire.size(), rules.baud);
            floor.wireUs += wire;
            cursor += wire;
            ++floor.answers;
            answered = true;
        }
        if (answered) {
            cursor += rules.turnaroundUs;
            floor.turnaroundUs += rules.turnaroundUs;
        }
        if (samePass) {
            continue;
        }
        const auto wait = rules.waitMsBySub.find(E8Sub(request));
        if (wait != rules.waitMsBySub.end() && wait->second > 0) {
            waitEnd = start + wait->second * 1000.0;
            sameOnlyUntil = actualStart + wait->second * 500.0;
            ++floor.waits;
        } else {
            waitEnd = -1;
            sameOnlyUntil = -1;
        }
    }
    floor.totalUs = std::max(cursor, waitEnd);
    floor.waitUs = floor.totalUs - floor.wireUs - floor.turnaroundUs;
    return floor;
}

}  // namespace quorvane::bench
