#pragma once

#include <cstdint>
#include <optional>
#include <string>

#include "image/image_file.h"
#include "platform/byte_string.h"
#include "platform/clock.h"
#include "platform/result.h"
#include "platform/serial_control.h"
#include "protocol/link_driver.h"
#include "protocol/radio.h"
#include "protocol/sequencer.h"
#include "protocol/sequencer_clients.h"
#include "serial/port_form.h"
#include "serial/port_form_clients.h"

namespace quorvane {

// How a clone operation failed.
enum class CloneFault : std::uint8_t {
    Link,    // a fault the link reported: no answer, a refused command, a bad frame
    CutOff,  // the port could not be used any more or overflowed, or a run-time error stopped it
};

// The port form, link driver and sequencer of the program without its window: one clone read
// or clone write at a time, stepped by Tick() every 50 ms, for the command-line tool. A
// failure gives the message the window would show.
class CloneSession final : public ITickClient, public ICloneErrorReport, public ISubNameCheck {
  public:
    CloneSession(ISerialControl& serial, IClock& clock, Int16 portNo);
    ~CloneSession();
    CloneSession(const CloneSession&) = delete;
    CloneSession& operator=(const CloneSession&) = delete;

    void StartRead();
    // Writes image (kImageSize bytes) over the clone area the last read's identity gave.
    void StartWrite(const Bytes& image);
    void Tick() { com_.timSolid_Timer(); }
    frmCom& Com() { return com_; }

    bool Running() const { return seq_.OpRunning(); }
    // Done unless the last operation failed; the failure's text is worded as the window's box
    // words it.
    Status<CloneFault> Outcome() const;
    // Progress of the running transfer, 0 to 1.
    double Progress() const;
    // After a read: the image and the transceiver's identity.
    Bytes Image() const;
    RadioIdentity Identity() const;

    void task() override;
    void MsgBoxCloneErr() override { MsgBoxCloneErr(seq_); }
    void TickError(const std::exception& error) override;
    void MsgBoxCloneErr(clsCmcVep3Sequence& sequence) override;
    bool RigOpFunc_CheckSubNameLegal(const std::string& subName) override;

  private:
    frmCom com_;
    clsCmcVep3Drv driver_;
    clsCmcRadio radio_;
    clsCmcVep3Sequence seq_;
    Int16 portNo_;
    std::optional<Failure<CloneFault>> failure_;
};

}  // namespace quorvane
