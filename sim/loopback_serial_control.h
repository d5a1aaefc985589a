#pragma once

#include <cstdint>
#include <deque>
#include <string>

#include "paced_line.h"
#include "platform/clock.h"
#include "platform/serial_control.h"
#include "sim_time.h"
#include "tamskor_sim.h"

namespace quorvane::sim {

// The program's serial control wired straight to the stand-in, in one process, on the
// program's clock. Time moves only with the clock: the program's bytes leave at the baud rate
// of its line settings and reach the stand-in as each is complete; the stand-in's bytes are
// queued for reading as they become due. A test advances its hand-set clock and calls Pump,
// which raises the events; every other call brings the line up to the clock's time silently.
//
// Faithful to a real port where the program can tell: bytes that arrive while the port is
// closed are lost; when the line settings' baud rate differs from the stand-in's, nothing
// intelligible crosses and every byte is lost in both directions; a full receive queue loses
// the byte and raises CommEvent::RxOver at the next Pump; Output refuses (false) when the port
// is closed or the transmit queue lacks room.
class LoopbackSerialControl final : public ISerialControl {
  public:
    LoopbackSerialControl(TamskorSim& transceiver, IClock& clock);

    // Brings the line up to the clock's time, then raises CommEvent::RxOver if received bytes
    // were lost, and CommEvent::Receive if bytes arrived since the last Receive event and at
    // least RThreshold (> 0) are queued. Events go only to an open port's sink.
    void Pump();

    // While true, PortOpen(true) fails as it does for an absent or busy device.
    void DeviceAbsent(bool absent) { deviceAbsent_ = absent; }

    // Plugs the cable into another transceiver; what was on its way to the old one is lost.
    void Attach(TamskorSim& transceiver) {
        Sync();
        transceiver_ = &transceiver;
    }

    // The line's time, in microseconds from the clock's first reading.
    SimTime Now() const;
    // The line's time of the program's last Output that was accepted.
    SimTime LastOutputAt() const { return lastOutputAt_; }
    // Received bytes lost so far (closed port, wrong baud rate, full queue).
    std::int64_t LostBytes() const { return lost_; }
    TamskorSim& Transceiver() { return *transceiver_; }

    void SetEventSink(ISerialEventSink* sink) override { sink_ = sink; }
    bool CommPort(std::int16_t portNumber) override;
    std::int16_t CommPort() const override { return port_; }
    bool Settings(const std::string& settings) override;
    std::string Settings() const override { return settings_; }
    void DTREnable(bool on) override { dtr_ = on; }
    void RTSEnable(bool on) override { rts_ = on; }
    void InBufferSize(std::int32_t bytes) override { inBufferSize_ = bytes; }
    void OutBufferSize(std::int32_t bytes) override { outBufferSize_ = bytes; }
    std::int32_t OutBufferSize() const override { return outBufferSize_; }
    void RThreshold(std::int32_t bytes) override { rThreshold_ = bytes; }
    void SThreshold(std::int32_t bytes) override { sThreshold_ = bytes; }
    void InputLen(std::int32_t bytes) override { inputLen_ = bytes; }
    void InputMode(std::int16_t mode) override { inputMode_ = mode; }
    bool PortOpen() const override { return open_; }
    bool PortOpen(bool open) override;
    std::int32_t InBufferCount() const override;
    std::int32_t OutBufferCount() const override;
    bool ClearOutBuffer() override;
    Bytes Input() override;
    bool Output(const Bytes& bytes) override;

    bool DTREnable() const { return dtr_; }
    bool RTSEnable() const { return rts_; }

  private:
    // Moves every byte due by the clock's time; logically const (time passing).
    void Sync() const;
    bool BaudMatches() const { return baud_ == transceiver_->Config().baud; }

    TamskorSim* transceiver_;
    IClock* clock_;
    ISerialEventSink* sink_ = nullptr;

    std::int16_t port_ = 1;
    std::string settings_ = "9600,N,8,1";
    std::int32_t baud_ = 9600;
    bool dtr_ = false;
    bool rts_ = false;
    std::int32_t inBufferSize_ = 1024;
    std::int32_t outBufferSize_ = 512;
    std::int32_t rThreshold_ = 0;
    std::int32_t sThreshold_ = 0;
    std::int32_t inputLen_ = 0;
    std::int16_t inputMode_ = 0;
    bool open_ = false;
    bool deviceAbsent_ = false;

    mutable std::int32_t lastTick_;
    mutable SimTime now_ = 0;
    mutable PacedLine tx_;
    mutable std::size_t uncounted_ = 0;  // bytes queued before the last ClearOutBuffer
    mutable std::deque<std::uint8_t> rx_;
    mutable bool arrived_ = false;
    mutable bool overflowed_ = false;
    mutable std::int64_t lost_ = 0;
    SimTime lastOutputAt_ = 0;
};

}  // namespace quorvane::sim
