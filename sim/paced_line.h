#pragma once

#include <cstdint>
#include <deque>
#include <optional>
#include <utility>

#include "platform/byte_string.h"
#include "sim_time.h"

namespace quorvane::sim {

// One direction of a serial line: every byte carries the time at which it has arrived
// completely at the far end. Bytes sent by a transmitter leave one after another at the baud
// rate; bytes passed through (the cable's echo) appear at their own time without taking the
// transmitter's time. The queue is kept in time order.
class PacedLine {
  public:
    explicit PacedLine(std::int32_t baud);

    std::int32_t Baud() const { return baud_; }
    // A new rate for bytes sent from now on; queued bytes keep their times.
    void Baud(std::int32_t baud);

    // Queues bytes that start no earlier than `earliest` and not before the transmitter has
    // finished what it already sends. Returns the time the last byte is complete (the time the
    // transmitter becomes free; `earliest` or later when bytes is empty).
    SimTime Send(const Bytes& bytes, SimTime earliest);

    // A byte that appears on the line at `at` (after any byte already due at that time).
    void Pass(std::uint8_t byte, SimTime at);

    // Removes and returns the bytes complete by `now`, in order.
    Bytes TakeDue(SimTime now);

    // Removes and returns the bytes complete by `now` with their times.
    std::deque<std::pair<SimTime, std::uint8_t>> TakeDueTimed(SimTime now);

    // Time of the next byte, if any is queued.
    std::optional<SimTime> NextDue() const;

    // When the transmitter has finished everything it was given.
    SimTime FreeAt() const { return freeAt_; }

    std::size_t Queued() const { return queue_.size(); }

    // Forgets every queued byte due after `t` (a transmitter that stops dead).
    void DropAfter(SimTime t);

  private:
    void Insert(SimTime at, std::uint8_t byte);

    std::int32_t baud_;
    SimTime freeAt_ = 0;
    std::deque<std::pair<SimTime, std::uint8_t>> queue_;
};

}  // namespace quorvane::sim
