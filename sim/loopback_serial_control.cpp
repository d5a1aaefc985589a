#include "loopback_serial_control.h"

#include <algorithm>
#include <charconv>

namespace quorvane::sim {

namespace {

// The baud rate of a "9600,N,8,1" settings text; 0 when it is not one the line can run.
std::int32_t ParseSettings(const std::string& s) {
    const auto comma = s.find(',');
    if (comma == std::string::npos || s.substr(comma) != ",N,8,1") {
        return 0;
    }
    std::int32_t baud = 0;
    auto [end, ec] = std::from_chars(s.data(), s.data() + comma, baud);
    if (ec != std::errc{} || end != s.data() + comma || baud < 300 || baud > 921600) {
        return 0;
    }
    return baud;
}

}  // namespace

LoopbackSerialControl::LoopbackSerialControl(TamskorSim& transceiver, IClock& clock)
    : transceiver_(&transceiver), clock_(&clock), lastTick_(clock.TickCount()), tx_(9600) {}

SimTime LoopbackSerialControl::Now() const {
    Sync();
    return now_;
}

void LoopbackSerialControl::Sync() const {
    const std::int32_t tick = clock_->TickCount();
    // The clock is 32 bits and wraps; only the forward difference counts.
    const auto delta = static_cast<std::int32_t>(static_cast<std::uint32_t>(tick) -
                                                 static_cast<std::uint32_t>(lastTick_));
    lastTick_ = tick;
    if (delta > 0) {
        now_ += FromMs(delta);
    }
    const std::size_t before = tx_.Queued();
    for (const auto& [due, byte] : tx_.TakeDueTimed(now_)) {
        if (BaudMatches()) {
            transceiver_->Receive(byte, due);
        }
    }
    const std::size_t sent = before - tx_.Queued();
    uncounted_ -= std::min(uncounted_, sent);

    for (auto byte : transceiver_->TakeDue(now_)) {
        if (!open_ || !BaudMatches()) {
            ++lost_;
            continue;
        }
        if (static_cast<std::int64_t>(rx_.size()) >= inBufferSize_) {
            ++lost_;
            overflowed_ = true;
            continue;
        }
        rx_.push_back(byte);
        arrived_ = true;
    }
}

void LoopbackSerialControl::Pump() {
    Sync();
    if (sink_ == nullptr || !open_) {
        return;
    }
    if (overflowed_) {
        overflowed_ = false;
        sink_->OnComm(CommEvent::RxOver);
    }
    if (open_ && arrived_ && rThreshold_ > 0 &&
        static_cast<std::int64_t>(rx_.size()) >= rThreshold_) {
        arrived_ = false;
        sink_->OnComm(CommEvent::Receive);
    }
}

bool LoopbackSerialControl::CommPort(std::int16_t portNumber) {
    if (open_ || portNumber < 1) {
        return false;
    }
    port_ = portNumber;
    return true;
}

bool LoopbackSerialControl::Settings(const std::string& settings) {
    const std::int32_t baud = ParseSettings(settings);
    if (baud == 0) {
        return false;
    }
    settings_ = settings;
    if (!open_) {
        baud_ = baud;
    }
    return true;
}

bool LoopbackSerialControl::PortOpen(bool open) {
    Sync();
    if (open == open_) {
        return true;
    }
    if (open) {
        if (deviceAbsent_) {
            return false;
        }
        baud_ = ParseSettings(settings_);
        tx_.Baud(baud_);
        // Bytes still leaving from an earlier session go on, but no longer count as queued.
        uncounted_ = tx_.Queued();
        rx_.clear();
        arrived_ = false;
        overflowed_ = false;
        open_ = true;
        return true;
    }
    open_ = false;
    rx_.clear();
    arrived_ = false;
    overflowed_ = false;
    return true;
}

std::int32_t LoopbackSerialControl::InBufferCount() const {
    Sync();
    return static_cast<std::int32_t>(rx_.size());
}

std::int32_t LoopbackSerialControl::OutBufferCount() const {
    Sync();
    return static_cast<std::int32_t>(tx_.Queued() - uncounted_);
}

bool LoopbackSerialControl::ClearOutBuffer() {
    Sync();
    uncounted_ = tx_.Queued();
    return true;
}

Bytes LoopbackSerialControl::Input() {
    Sync();
    std::size_t n = rx_.size();
    if (inputLen_ > 0) {
        n = std::min(n, static_cast<std::size_t>(inputLen_));
    }
    Bytes out(rx_.begin(), rx_.begin() + static_cast<std::ptrdiff_t>(n));
    rx_.erase(rx_.begin(), rx_.begin() + static_cast<std::ptrdiff_t>(n));
    return out;
}

bool LoopbackSerialControl::Output(const Bytes& bytes) {
    Sync();
    if (!open_) {
        return false;
    }
    if (static_cast<std::int64_t>(bytes.size()) > outBufferSize_ - OutBufferCount()) {
        return false;
    }
    tx_.Send(bytes, now_);
    lastOutputAt_ = now_;
    return true;
}

}  // namespace quorvane::sim
