#include "paced_line.h"

#include <algorithm>
#include <stdexcept>

namespace quorvane::sim {

PacedLine::PacedLine(std::int32_t baud) : baud_(baud) {
    if (baud < 300) {
        throw std::invalid_argument("baud rate below 300");
    }
}

void PacedLine::Baud(std::int32_t baud) {
    if (baud < 300) {
        throw std::invalid_argument("baud rate below 300");
    }
    baud_ = baud;
}

SimTime PacedLine::Send(const Bytes& bytes, SimTime earliest) {
    const SimTime start = std::max(earliest, freeAt_);
    if (bytes.empty()) {
        return start;
    }
    for (std::size_t k = 0; k < bytes.size(); ++k) {
        Insert(start + WireTime(static_cast<std::int64_t>(k) + 1, baud_), bytes[k]);
    }
    freeAt_ = start + WireTime(static_cast<std::int64_t>(bytes.size()), baud_);
    return freeAt_;
}

void PacedLine::Pass(std::uint8_t byte, SimTime at) {
    Insert(at, byte);
}

void PacedLine::Insert(SimTime at, std::uint8_t byte) {
    if (queue_.empty() || queue_.back().first <= at) {
        queue_.emplace_back(at, byte);
        return;
    }
    auto pos = std::upper_bound(queue_.begin(), queue_.end(), at,
                                [](SimTime t, const auto& entry) { return t < entry.first; });
    queue_.emplace(pos, at, byte);
}

Bytes PacedLine::TakeDue(SimTime now) {
    Bytes out;
    while (!queue_.empty() && queue_.front().first <= now) {
        out.push_back(queue_.front().second);
        queue_.pop_front();
    }
    return out;
}

std::deque<std::pair<SimTime, std::uint8_t>> PacedLine::TakeDueTimed(SimTime now) {
    std::deque<std::pair<SimTime, std::uint8_t>> out;
    while (!queue_.empty() && queue_.front().first <= now) {
        out.push_back(queue_.front());
        queue_.pop_front();
    }
    return out;
}

std::optional<SimTime> PacedLine::NextDue() const {
    if (queue_.empty()) {
        return std::nullopt;
    }
    return queue_.front().first;
}

void PacedLine::DropAfter(SimTime t) {
    while (!queue_.empty() && queue_.back().first > t) {
        queue_.pop_back();
    }
    freeAt_ = std::min(freeAt_, t);
}

}  // namespace quorvane::sim
