#pragma once

#include <functional>
#include <memory>
#include <string>

#include "app/program.h"
#include "platform/port_enumeration.h"
#include "platform/process_services.h"
#include "platform/steady_clock.h"
#include "platform/ui_controls.h"
#include "platform/wall_clock.h"
#include "qt/curve_chart.h"
#include "qt/qt_curves_window.h"
#include "qt/qt_main_window.h"
#include "qt/qt_platform.h"
#include "qt/qt_serial_control.h"
#include "settings/ini_file_store.h"

class QApplication;
class QDialog;

namespace quorvane {

// The desktop program: the Qt window, the serial port, the real clock and the settings file
// under the core Program, with the 50 ms tick source following the port form's timer and
// the arrival of serial data running a tick at once. Start-up runs up to the shown window
// (Show); closing the window shuts down and then calls onEnd.
class QtProgram {
  public:
    // settingsDirectory: where the settings file is read and written; empty: the program's
    // own directory. The process services (and the port enumeration, when one is given in
    // place of the system's) must outlive this object.
    QtProgram(IProcessServices& process, std::string settingsDirectory,
              std::function<void()> onEnd = {}, IPortEnumeration* ports = nullptr);
    ~QtProgram();
    QtProgram(const QtProgram&) = delete;
    QtProgram& operator=(const QtProgram&) = delete;

    // Shows the window; its Form_Load runs before it becomes visible.
    void Show();

    QtMainWindow& Window() { return *window_; }
    Program& Core() { return *program_; }
    QtSerialControl& Serial() { return *serial_; }
    QtTickSource& Ticks() { return *ticks_; }
    // The settings file this run reads and writes.
    std::string SettingsFile() const { return program_->Profile().GetMyProfile(); }
    // The device COM port portNo opens: [PORTS] COMn of the settings file, else the default.
    std::string PortDevice(Int16 portNo);

    // Puts beside each "COM &n" of Option > Port the device it opens, or that it is missing;
    // done each time the menu opens.
    void ShowPortDevices();
    // Option > Serial device...: the device dialog for the current COM port; a device chosen
    // there is stored in the settings file (Program::ChooseComPortDevice).
    void ChooseSerialDevice();
    // Called with the dialog once it is built, before it runs (tests drive it from here).
    void onPortDialog(std::function<void(QDialog&)> f) { onPortDialog_ = std::move(f); }

    // View > Sweep and LVA curves: shows the window of curves, made on first use; it follows
    // every tick while it is shown.
    QtCurvesWindow& ShowCurves();

  private:
    void RefreshCurves();

    IniFileStore store_;
    SteadyClock clock_;
    SystemWallClock wallClock_;
    QtCurveChart curveChart_;
    std::unique_ptr<QtMainWindow> window_;
    std::unique_ptr<QtSerialControl> serial_;
    std::unique_ptr<Program> program_;
    std::unique_ptr<QtTickSource> ticks_;
    std::unique_ptr<IPortEnumeration> ownPorts_;
    IPortEnumeration* ports_ = nullptr;
    std::function<void(QDialog&)> onPortDialog_;
    QtCurvesWindow* curves_ = nullptr;  // a child of the main window, which deletes it
};

// The desktop program from start to end: the single-instance claim first (a refusal shows
// its message and returns 1 without touching any file), then the window until it closes;
// returns the event loop's status. settingsDirectory is asked only after the claim.
int RunProgram(IProcessServices& process, IMessageBox& refusalBox,
               const std::function<std::string()>& settingsDirectory);

// quorvane-adj in app: the application's settings, then RunProgram with the settings file
// beside the program while the user may write there, else in the per-user directory, so an
// installed program still saves its options.
int RunDesktopProgram(QApplication& app);

}  // namespace quorvane
