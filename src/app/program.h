#pragma once

#include <memory>
#include <string>

#include "adjust/ind_op_rig_tamsk.h"
#include "app/image_service.h"
#include "app/main_window.h"
#include "app/service_records.h"
#include "console/console.h"
#include "platform/atomic_file.h"
#include "platform/clock.h"
#include "platform/main_form.h"
#include "platform/process_services.h"
#include "platform/profile_file.h"
#include "platform/program_title.h"
#include "platform/serial_control.h"
#include "platform/wall_clock.h"
#include "protocol/link_driver.h"
#include "protocol/radio.h"
#include "protocol/sequencer.h"
#include "serial/port_form.h"
#include "serial/port_form_clients.h"
#include "settings/profile_io.h"

namespace quorvane {

// The platform parts a program runs on: real ones in the desktop program, fakes or the
// in-process stand-in in tests. All outlive the program.
struct Platform {
    ISerialControl& serial;
    IClock& clock;
    IProfileFile& profileFile;
    IProcessServices& process;
    const frmMainControls& form;
    // Where the settings file lives; empty: the program's own directory.
    std::string settingsDirectory{};
    // The user's data folder: automatic backups go to its "backups" folder; empty: none are
    // made.
    std::string userDataFolder{};
    // The time of day for stamping images; null: the system clock.
    IWallClock* wallClock = nullptr;
    // How backups and records reach the disk; null: the system's calls.
    FileWrites* fileWrites = nullptr;
    // Draws the sweeps and LVA adjustments on the service record's page; null: none drawn.
    const ICurveChart* curveChart = nullptr;
};

// The composition root: exactly one of each main object, created and wired in the order of
// start-up. Nothing is global, so a test can run several programs side by side.
class Program final : public ISaveSettings {
  public:
    // Start-up up to the shown window: the port form and its profile store, the radio's
    // identity, the port defaults, the options from the settings file, and the tick enabled.
    // The port stays closed; the window is shown by the caller, which then calls Form_Load.
    explicit Program(const Platform& platform);
    ~Program();
    Program(const Program&) = delete;
    Program& operator=(const Program&) = delete;

    // The 50 ms timer's tick.
    void Tick();

    // Shutdown when the window closes: the port is closed, the options written, the tick
    // stopped.
    void ShutdownCom();

    void SaveSettings() override { main_.saveData(prof_); }

    // Makes COM port portNo open device (Option > Serial device...). When COM n now opens
    // another device the port closes, as on choosing another COM port. When the settings file
    // cannot be written the message says so and COM n keeps its device.
    void ChooseComPortDevice(Int16 portNo, const std::string& device);

    frmCom& Com() { return com_; }
    clsCmcVep3Drv& Driver() { return driver_; }
    clsCmcRadio& Radio() { return radio_; }
    clsCmcVep3Sequence& Sequence() { return seq_; }
    clsConsole& Console() { return console_; }
    frmMain& MainWindow() { return main_; }
    clsIndOp_RigTamsk& Operations() { return *ops_; }
    clsCmcProfileIO& Profile() { return prof_; }
    EepromImageService& Images() { return *images_; }
    ServiceRecords& Records() { return *records_; }
    const Platform& Parts() const { return platform_; }

  private:
    std::string PortText();

    Platform platform_;
    // Every message box the program shows goes through here, so the session records it.
    RecordedMessageBox messages_;
    frmMainControls form_;
    clsCmcProfileIO prof_;
    frmCom com_;
    clsCmcVep3Drv driver_;
    clsCmcRadio radio_;
    clsCmcVep3Sequence seq_;
    clsConsole console_;
    frmMain main_;
    std::unique_ptr<clsIndOp_RigTamsk> ops_;
    SystemWallClock systemWallClock_;
    std::unique_ptr<EepromImageService> images_;
    std::unique_ptr<ServiceRecords> records_;
};

inline constexpr auto kAlreadyRunningText = JoinLiterals(
    "Cannot execute ", kProgramTitle, " repeatedly.\r\n", kProgramTitle, " is already executing.");
inline constexpr const char* kAlreadyRunningMessage = kAlreadyRunningText.data();

// The single-instance rule, before anything else is created: false (after the refusal
// message) when another instance runs.
bool ClaimSingleInstance(IProcessServices& process, IMessageBox& box);

}  // namespace quorvane
