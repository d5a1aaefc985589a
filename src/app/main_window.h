#pragma once

#include <string>

#include "adjust/ind_op_rig_tamsk.h"
#include "app/image_commands.h"
#include "app/service_records.h"
#include "console/console.h"
#include "platform/main_form.h"
#include "protocol/link_driver.h"
#include "protocol/sequencer.h"
#include "protocol/sequencer_clients.h"
#include "serial/port_form.h"
#include "serial/port_form_clients.h"
#include "settings/profile_io.h"

namespace quorvane {

// The main window's logic: the two options, the menus, keys and buttons turned into calls of
// the console and the adjustment operations, the port status, the per-tick step and the error
// report. It speaks to the window only through the control seams.
class frmMain final : public IMainFormEvents, public ITickClient, public ICloneErrorReport {
  public:
    struct Links {
        const frmMainControls& form;
        frmCom& com;
        const clsCmcVep3Drv& driver;
        clsCmcVep3Sequence& sequence;
        clsConsole& console;
    };

    explicit frmMain(const Links& links);
    frmMain(const frmMain&) = delete;
    frmMain& operator=(const frmMain&) = delete;

    // The adjustment operations are created after the window object and wired in here; this
    // also sets the options to their creation values (COM 1, release off).
    void Attach(clsIndOp_RigTamsk& ops);

    Int16 ComPortNo() const { return ComPortNo_; }
    void ComPortNo(Int16 portNo);
    Int16 ComAutoRelease() const { return ComAutoRelease_; }
    // A time whose milliseconds do not fit 16 bits is refused and the old one kept.
    void ComAutoRelease(Int16 seconds);

    void saveData(clsCmcProfileIO& objProf);
    void loadData(clsCmcProfileIO& objProf);

    // ICloneErrorReport: the message for the current error state, after a full reset.
    void MsgBoxCloneErr(clsCmcVep3Sequence& myObjVep3Seq) override;

    // ITickClient.
    void task() override;
    void MsgBoxCloneErr() override;
    void TickError(const std::exception& error) override;

    // IMainFormEvents.
    bool lboConsole_KeyDown(Int16 keyCode, Int16 shift) override;
    void lboConsole_GotFocus() override;
    void Form_KeyDown(Int16 keyCode, Int16 shift) override;
    void cmd00_Click(Int16 index) override;
    void cmd00_KeyPress(Int16 index, char keyAscii) override;
    void mnuOptSelCom_Click(Int16 index) override;
    void mnuOptionSelAutoRelease_Click(Int16 index) override;
    void mnuFileSave_Click() override;
    void mnuFileOpen_Click() override;
    void mnuFileWrite_Click() override;
    void mnuFileRecord_Click() override;
    void mnuFileExit_Click() override;
    void Form_Load() override;
    void Form_Resize() override;
    void Form_QueryUnload() override;
    void Form_Unload() override;

    // What the window's close and unload steps do beyond this object: the shutdown of the
    // port form and the end of the program, wired by the composition root.
    void onShutdownCom(std::function<void()> f) { shutdownCom_ = std::move(f); }
    void onEndProgram(std::function<void()> f) { endProgram_ = std::move(f); }
    void onExitRequested(std::function<void()> f) { exitRequested_ = std::move(f); }
    // Asks the tick's owner for a tick as soon as the current window event has finished, so
    // that a key or a click is acted on at once, as the arrival of serial data is, rather
    // than at the next period of the timer. Every wait still runs on its clock.
    void onTickRequest(std::function<void()> f) { tickRequest_ = std::move(f); }
    // Told of a run-time error before the operations are reset and it is shown, so that work
    // the reset cuts off (an image write) is known to have failed.
    void onRuntimeError(std::function<void()> f) { runtimeError_ = std::move(f); }
    // Where a port or link failure found by the tick is reported; unset, here. The image
    // service stands in front of this window's report, as it must know when its write fails.
    void errorReport(ICloneErrorReport* report) { errorReport_ = report; }
    // The image commands behind the File menu; without them its image items stay disabled.
    void imageCommands(IImageCommands* commands) { images_ = commands; }
    // The service records behind File > "Save service record..."; without them it stays
    // disabled.
    void serviceRecords(ServiceRecords* records) { records_ = records; }

    const std::string& keyTrail() const { return keyTrail_; }

  private:
    clsIndOp_RigTamsk& Ops();
    // Runs a window event; a runtime error (any standard exception) that escapes it resets the
    // adjustment operations and is shown, and the program goes on.
    template <typename F>
    auto Guarded(F&& f) -> decltype(f());
    void ShowRuntimeError(const std::string& what);
    void RequestTick();
    // Whether an image file may be opened: only while no transceiver is connected.
    bool OpenAllowed();
    void UpdateFileMenu();
    void PlaceImageFileLabel();
    // The path chosen in the standard dialog, "" when cancelled; remembers its folder.
    std::string AskImageFile(const std::string& title, bool save);

    Links links_;
    clsIndOp_RigTamsk* ops_ = nullptr;
    Int16 ComPortNo_ = 1;
    Int16 ComAutoRelease_ = 0;
    std::string keyTrail_;
    IImageCommands* images_ = nullptr;
    ICloneErrorReport* errorReport_ = nullptr;
    ServiceRecords* records_ = nullptr;
    std::string lastFolder_;
    std::function<void()> shutdownCom_;
    std::function<void()> endProgram_;
    std::function<void()> exitRequested_;
    std::function<void()> tickRequest_;
    std::function<void()> runtimeError_;
};

}  // namespace quorvane
