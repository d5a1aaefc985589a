#include "wire_trace.h"

#include <cstdio>

#include "sim_frame.h"

namespace quorvane::sim {

namespace {

std::string Stamp(SimTime t) {
    char buf[32];
    std::snprintf(buf, sizeof buf, "%10lld.%03lld ms", static_cast<long long>(t / 1000),
                  static_cast<long long>(t % 1000));
    return buf;
}

std::string Spaced(const Bytes& bytes) {
    static constexpr char kDigits[] = "0123456789ABCDEF";
    std::string s;
    s.reserve(bytes.size() * 3);
    for (auto b : bytes) {
        if (!s.empty()) {
            s.push_back(' ');
        }
        s.push_back(kDigits[b >> 4]);
        s.push_back(kDigits[b & 0x0F]);
    }
    return s;
}

}  // namespace

void WireTrace::Frame(SimTime t, Direction direction, const Bytes& wire) {
    Bytes content;
    std::size_t i = 0;
    while (i < wire.size() && wire[i] == wire::kPreamble) {
        ++i;
    }
    std::size_t end = wire.size();
    if (end > i && wire[end - 1] == wire::kEndOfFrame) {
        --end;
    }
    content.assign(wire.begin() + static_cast<std::ptrdiff_t>(i),
                   wire.begin() + static_cast<std::ptrdiff_t>(end));
    *out_ << Stamp(t) << (direction == Direction::ToTransceiver ? "  PC>TR  " : "  TR>PC  ")
          << Spaced(wire) << "  | " << DescribeFrame(content) << '\n';
    out_->flush();
}

void WireTrace::Note(SimTime t, const std::string& text) {
    *out_ << Stamp(t) << "  ----   " << text << '\n';
    out_->flush();
}

}  // namespace quorvane::sim
