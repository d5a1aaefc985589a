#pragma once

#include <cstdint>
#include <string>

#include "platform/byte_string.h"

namespace quorvane {

// Communication events of the serial control, numbered as the port form's table numbers them.
enum class CommEvent : std::int16_t {
    Receive = 2,        // data received (at least the receive threshold)
    Break = 1001,       // break signal received
    CtsTimeout = 1002,  // CTS time-out
    DsrTimeout = 1003,  // DSR time-out
    Frame = 1004,       // framing error
    Overrun = 1006,     // port overrun, bytes lost
    CdTimeout = 1007,   // CD time-out
    RxOver = 1008,      // receive queue overflow
    RxParity = 1009,    // parity error
    TxFull = 1010,      // transmit queue full
    Dcb = 1011,         // device control block error
    // The device went away while open (adapter unplugged, other end of a pseudo-terminal
    // closed). The control has already closed the port when it reports this.
    DeviceLost = 1100,
};

// Receives the control's events; the port form implements it.
class ISerialEventSink {
  public:
    virtual void OnComm(CommEvent event) = 0;

  protected:
    ~ISerialEventSink() = default;
};

// The serial-control seam: one numbered port with its line settings, queues and events.
// Operations that the device may refuse return false ("a failure reported by the control");
// they never throw. All calls and events happen on the one user-interface thread.
class ISerialControl {
  public:
    virtual ~ISerialControl() = default;

    virtual void SetEventSink(ISerialEventSink* sink) = 0;

    // Port number used at the next open (COM port n).
    virtual bool CommPort(std::int16_t portNumber) = 0;
    virtual std::int16_t CommPort() const = 0;
    // Line settings text, for example "9600,N,8,1"; applied at the next open.
    virtual bool Settings(const std::string& settings) = 0;
    virtual std::string Settings() const = 0;

    virtual void DTREnable(bool on) = 0;
    virtual void RTSEnable(bool on) = 0;
    virtual void InBufferSize(std::int32_t bytes) = 0;
    virtual void OutBufferSize(std::int32_t bytes) = 0;
    virtual std::int32_t OutBufferSize() const = 0;
    virtual void RThreshold(std::int32_t bytes) = 0;
    virtual void SThreshold(std::int32_t bytes) = 0;
    virtual void InputLen(std::int32_t bytes) = 0;
    virtual void InputMode(std::int16_t mode) = 0;

    virtual bool PortOpen() const = 0;
    // Opens or closes the port; false when the device refused (absent, busy, bad settings).
    virtual bool PortOpen(bool open) = 0;

    // Bytes queued for reading, and bytes handed over for sending that have not left yet.
    virtual std::int32_t InBufferCount() const = 0;
    virtual std::int32_t OutBufferCount() const = 0;
    // Clears the transmit queue (OutBufferCount = 0). Bytes of a frame already handed over
    // are never lost by this: they are on the line or kept until they are.
    virtual bool ClearOutBuffer() = 0;

    // All queued received bytes at once, raw; empty when none.
    virtual Bytes Input() = 0;
    // Queues bytes for sending; false when the port is closed or refuses.
    virtual bool Output(const Bytes& bytes) = 0;
};

}  // namespace quorvane
