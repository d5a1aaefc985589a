#pragma once

#include <cstdint>
#include <string>

#include "platform/byte_string.h"
#include "platform/checked.h"
#include "platform/clock.h"
#include "protocol/e8_sender.h"
#include "protocol/link_driver.h"
#include "protocol/radio.h"
#include "protocol/sequencer_clients.h"
#include "serial/cmc_tick.h"
#include "serial/port_form.h"

namespace quorvane {

// Turns the user-level operations into link-driver commands, checks the transceiver's
// identity, reports a failed operation and releases the port after an idle time. It never
// waits: each task looks at the driver once.
// Operations: 0 none, 1 identify only, 2 clone read, 3 clone write, 4 E8 exchange.
class clsCmcVep3Sequence final : public IE8Sender {
  public:
    static constexpr Int16 kOpNone = 0;
    static constexpr Int16 kOpIdentify = 1;
    static constexpr Int16 kOpCloneRead = 2;
    static constexpr Int16 kOpCloneWrite = 3;
    static constexpr Int16 kOpSendE8 = 4;

    // Resets (closing the port), then ComPortNo 1 and comHoldReload 0.
    clsCmcVep3Sequence(frmCom& com, clsCmcVep3Drv& driver, clsCmcRadio& radio, IClock& clock);

    // Wiring, done by the composition root. Without a sub-name check every sub identifier is
    // refused; without an error report a failure only resets.
    void subNameCheck(ISubNameCheck* check) { subNameCheck_ = check; }
    void errorReport(ICloneErrorReport* report) { errorReport_ = report; }

    Int16 ComPortNo() const { return ComPortNo_; }
    void ComPortNo(Int16 portNo) { ComPortNo_ = portNo; }
    Int16 Operation() const { return Operation_; }
    // Also clears e8AnsRequired.
    void Operation(Int16 operation);
    Int16 opStep() const { return opStep_; }
    Int16 cmdCode() const { return cmdCode_; }
    const std::string& e8HexStrToSend() const { return e8HexStrToSend_; }
    void e8HexStrToSend(const std::string& text) { e8HexStrToSend_ = text; }
    bool e8AnsRequired() const { return e8AnsRequired_; }
    void e8AnsRequired(bool value) { e8AnsRequired_ = value; }
    Int32 comHoldReload() const { return comHoldReload_; }
    // Also restarts the hold timer with the value.
    void comHoldReload(Int32 ms);
    SequenceError error() const { return error_; }

    bool OpRunning() const { return opStep_ != 0; }
    const Bytes& ansInfo() const { return driver_->ansInfo(); }
    // Bytes 4-5 and 6-7 of the identity answer as upper-case hexadecimal (the existing ones).
    std::string ansNameM() const;
    std::string ansNameS() const;
    // The identity answer's model, sub identifier and revision as numbers; 0 for a field the
    // answer does not hold whole.
    std::uint16_t ansModel() const;
    std::uint16_t ansSub() const;
    std::uint8_t ansRevision() const;

    void Reset();
    void Standby();
    void start();
    void easyReset(Int16 portNo);
    void easyCloneRead();
    void easyCloneWrite();
    // Loads image into the radio's EEPROM image and writes it over the clone area of the last
    // identity answer (a transceiver with a shorter area takes only that area).
    void easyCloneWriteImage(const Bytes& image);
    Int16 easySendE8NoAnswer(const std::string& spE8) override;
    Int16 easySendE8ReqAnswer(const std::string& spE8);

    void task();

    // The kinds of step an operation is made of (defined with the operations' tables).
    enum class Step : std::uint8_t;

  private:
    // What one step decided: the command to issue (0 none) and whether the operation failed.
    struct StepResult {
        Int16 command = 0;
        bool fail = false;
    };

    void prepareLink();
    void issueCommand();
    void OpenForWork(Int16 workMode);
    void SendFrame(const std::string& hexText, bool whenQuiet = false);
    StepResult RunStep(Step step);
    void Fail();
    void CheckIdentity(bool forWrite);

    frmCom* com_;
    clsCmcVep3Drv* driver_;
    clsCmcRadio* radio_;
    ISubNameCheck* subNameCheck_ = nullptr;
    ICloneErrorReport* errorReport_ = nullptr;
    clsCmcTick holdTimer_;
    Int16 ComPortNo_ = 1;
    Int16 Operation_ = kOpNone;
    Int16 opStep_ = 0;
    Int16 cmdCode_ = 0;
    std::string e8HexStrToSend_;
    bool e8AnsRequired_ = false;
    Int32 comHoldReload_ = 0;
    SequenceError error_ = SequenceError::None;
};

}  // namespace quorvane
