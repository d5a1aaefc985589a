#pragma once

#include <exception>

#include "platform/byte_string.h"
#include "platform/checked.h"
#include "platform/runtime_error.h"

namespace quorvane {

// What the port form needs of the objects above it. The link driver, the main window and the
// start-up module implement these; the composition root wires them to the port form.

// The link-driver operations the port form calls.
class ILinkDriverPort {
  public:
    // Hands over one batch of received bytes, of any length.
    virtual void read(const Bytes& data) = 0;
    // One time-out step; called once per tick.
    virtual void task() = 0;
    // Abandons any exchange, empties the receive accumulator and clears nowError.
    virtual void Reset() = 0;
    // Drops the partial frame being received.
    virtual void ClearRxBuffer() = 0;
    // True while a link failure is latched (until Reset).
    virtual bool linkFailed() const = 0;

  protected:
    ~ILinkDriverPort() = default;
};

// The main window's part of every tick.
class ITickClient {
  public:
    // One step of the sequencer and of the adjustment operations.
    virtual void task() = 0;
    // Reports the latched port or link error once; resets the operations, the sequencer, the
    // driver and the port form before it shows its message.
    virtual void MsgBoxCloneErr() = 0;
    // A runtime error (the program's own or any standard exception) escaped a tick or a
    // communication event: reset the adjustment operations and show it.
    virtual void TickError(const std::exception& error) = 0;

  protected:
    ~ITickClient() = default;
};

// Saves the options at shutdown (the profile store lives above this layer).
class ISaveSettings {
  public:
    virtual void SaveSettings() = 0;

  protected:
    ~ISaveSettings() = default;
};

}  // namespace quorvane
