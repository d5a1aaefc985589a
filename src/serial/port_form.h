#pragma once

#include <functional>
#include <string>

#include "platform/checked.h"
#include "platform/serial_control.h"
#include "serial/port_form_clients.h"

namespace quorvane {

// The port owner: the serial control, its configuration and latched errors, and the program's
// tick. The link driver, the main window and the settings saver are wired in from above; the
// 50 ms timer itself belongs to the caller, which follows timSolidEnabled (see below).
class frmCom final : public ISerialEventSink {
  public:
    static constexpr Int16 kMinComPortNum = 1;
    static constexpr Int16 kMaxComPortNum = 10;
    static constexpr Int32 kInBufferSize = 32760;
    static constexpr Int32 kOutBufferSize = 1024;
    static constexpr Int32 kTickPeriodMs = 50;

    // Registers itself as the control's event sink and resets (the port stays closed).
    explicit frmCom(ISerialControl& control);
    ~frmCom();
    frmCom(const frmCom&) = delete;
    frmCom& operator=(const frmCom&) = delete;

    // Wiring, done once by the composition root.
    void vep3D(ILinkDriverPort* driver) { vep3D_ = driver; }
    ILinkDriverPort* vep3D() const { return vep3D_; }
    void tickClient(ITickClient* client) { tickClient_ = client; }
    void settingsSaver(ISaveSettings* saver) { settingsSaver_ = saver; }

    ISerialControl& MsCom() { return *MsCom_; }
    const ISerialControl& MsCom() const { return *MsCom_; }

    bool comOpen() const { return MsCom_->PortOpen(); }
    // Opens or closes the port. Failures are latched in errCannotOpen, never thrown; the
    // driver is reset on every write.
    void comOpen(bool value);

    Int16 comPortNum() const { return comPortNum_; }
    // Values outside 1..10 are ignored.
    void comPortNum(Int16 value);
    Int32 comBaud() const { return comBaud_; }
    void comBaud(Int32 value) { comBaud_ = value; }
    // Hands the text to the control unchanged.
    void zebSettings(const std::string& settings);

    bool comSendEnable() const { return comOpen(); }
    bool errOverflow() const { return errOverflow_; }
    void errOverflow(bool value) { errOverflow_ = value; }
    bool errCannotOpen() const { return errCannotOpen_; }
    void errCannotOpen(bool value) { errCannotOpen_ = value; }
    bool totalError() const;
    Int16 imdMinComPortNum() const { return kMinComPortNum; }
    Int16 imdmaxComPortNum() const { return kMaxComPortNum; }

    void Reset();
    void HighSpeedBRatioSet();
    // The rate Reset restores: 9600, the program's own, unless a measurement of the program
    // on a faster line sets another here. Nothing in the program changes it.
    Int32 resetBaud() const { return resetBaud_; }
    void resetBaud(Int32 baud) { resetBaud_ = baud; }
    // Closes the port, then saves the options.
    void AllOver();

    void Form_Load() {}
    // Closes the port and disables the tick.
    void Form_Unload();

    // The timer's enabled state. The caller's 50 ms timer calls timSolid_Timer and should
    // follow this flag through the listener; a tick requested while disabled does nothing.
    bool timSolidEnabled() const { return timSolidEnabled_; }
    void timSolidEnabled(bool enabled);
    void timSolidEnabledListener(std::function<void(bool)> listener) {
        timSolidEnabledListener_ = std::move(listener);
    }
    // The caller's way of running a tick at once when data arrives, so that it obeys the
    // same rules as the timer's (a windowed program holds ticks back while a modal box is
    // open). Unset, the arrival runs timSolid_Timer here.
    void receiveTickRunner(std::function<void()> runner) { receiveTickRunner_ = std::move(runner); }

    // The tick: receive, driver step, main window step, error report, close on error.
    void timSolid_Timer();

    // The control's communication event.
    void OnComm(CommEvent event) override;

  private:
    void Configure(Int32 baud, Int32 receiveThreshold);
    // Runs the body of a tick or an event; an exception that escapes it goes to the main
    // window (rethrown when none is wired, as there is no one else to tell).
    template <typename F>
    void Guarded(F&& body);
    void HandleComm(CommEvent event);

    ISerialControl* MsCom_;
    ILinkDriverPort* vep3D_ = nullptr;
    ITickClient* tickClient_ = nullptr;
    ISaveSettings* settingsSaver_ = nullptr;
    Int16 comPortNum_ = 1;
    Int32 comBaud_ = 9600;
    Int32 resetBaud_ = 9600;
    bool errCannotOpen_ = false;
    bool errOverflow_ = false;
    bool timSolidEnabled_ = false;
    bool inTick_ = false;
    std::function<void(bool)> timSolidEnabledListener_;
    std::function<void()> receiveTickRunner_;
};

}  // namespace quorvane
