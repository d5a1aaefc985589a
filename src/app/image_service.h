#pragma once

#include <filesystem>
#include <functional>
#include <optional>
#include <string>

#include "adjust/ind_op_rig_tamsk.h"
#include "app/image_commands.h"
#include "app/image_policy.h"
#include "image/image_file.h"
#include "platform/main_form.h"
#include "platform/wall_clock.h"
#include "protocol/link_driver.h"
#include "protocol/radio.h"
#include "protocol/sequencer.h"
#include "protocol/sequencer_clients.h"
#include "serial/port_form.h"

namespace quorvane {

// What the program does with whole EEPROM images: the automatic backup of every image read,
// saving the current image, opening a file to view its parameters, and writing a file to the
// transceiver (clone write, then a clone read to compare). The write is stepped from the tick
// and never blocks; its failures are reported as every communication failure is. A write that
// loses its port or is stopped by a run-time error is a failed write: after that message one
// more says that the transceiver may hold part of the image, and nothing goes out until the
// user acts. When the read after an accepted write fails, one more message says that the image
// was written but not compared.
class EepromImageService final : public ICloneErrorReport, public IImageCommands {
  public:
    struct Links {
        clsCmcVep3Drv& driver;
        clsCmcRadio& radio;
        clsCmcVep3Sequence& sequence;
        clsIndOp_RigTamsk& ops;
        ICloneErrorReport& report;  // the window's error report, which this one passes on to
        const frmMainControls& form;
        IWallClock& wallClock;
        const frmCom& com;
        ImagePolicy policy;  // its backup folder empty: no automatic backups
    };

    explicit EepromImageService(Links links);

    // The adjustment operations' hook: a clone read has finished.
    void CloneReadDone();

    // The image as the last clone read brought it, with its origin; absent before a read.
    const std::optional<EepromImageFile>& ImageAsRead() const { return asRead_; }
    // Told after every clone read, with the name of the image file written when the read was
    // the check of a write, else "".
    void imageRead(std::function<void(const std::string& written)> f) { imageRead_ = std::move(f); }
    // The last automatic backup written; empty when none was.
    const std::filesystem::path& LastBackup() const { return lastBackup_; }

    // Saves the current image (adjustments included) with the origin of its read.
    ImageStatus SaveImage(const std::string& path) const;
    // A failure says "Cannot read the image 'PATH': REASON.".
    ImageResult<ImageFileView> OpenImage(const std::string& path) const;
    WriteCheck CheckImageForWrite(const std::string& path) const;

    // Connected (the adjusting cycle runs), nothing on the line and no write under way.
    bool CanWrite() const override;
    bool Writing() const { return state_ != State::Idle; }
    // Writes the file after the user confirmed; does nothing unless CanWrite().
    void StartWrite(const std::string& path) override;

    // IImageCommands, for the File menu.
    bool CanSave() const override { return asRead_.has_value() && !Writing(); }
    std::string DefaultFolder() const override { return links_.policy.BackupFolder().string(); }
    ImageStatus Save(const std::string& path) override { return SaveImage(path); }
    ImageResult<ImageFileView> Open(const std::string& path) override { return OpenImage(path); }
    ImageResult<ImageWriteQuestion> CheckWrite(const std::string& path) override;

    // One step, after each tick of the port form.
    void Task();

    // ICloneErrorReport: notes that the write failed, then reports as the window does.
    void MsgBoxCloneErr(clsCmcVep3Sequence& sequence) override;
    // Told of a run-time error before the window resets the operations and shows it: a write
    // under way has failed with it.
    void RuntimeErrorShown();
    // Told before a technician's action resets the operations (Connect, another COM port or
    // serial device): a write under way ends here as a cut-off one does, its message shown
    // with nothing running behind it, and the action then goes on as it always does.
    void EndBeforeReset();

  private:
    enum class State : std::uint8_t { Idle, Writing, ReadingBack };

    void FinishReadBack();
    // Ends a write that failed or was given up in state endedIn; partial: the transceiver may
    // hold part of the image.
    void End(State endedIn, bool partial);
    // Whether the clone-write command has gone out: from then on the transceiver takes records.
    bool WriteBegun() const;
    void Say(const std::string& text) const;

    Links links_;
    std::optional<EepromImageFile> asRead_;
    std::filesystem::path lastBackup_;
    State state_ = State::Idle;
    bool failed_ = false;
    // Set with failed_: the write was cut off after it had begun (the port went, or a run-time
    // error), rather than ended by a fault the link reported.
    bool cutOff_ = false;
    Bytes written_;
    Bytes beforeWrite_;
    std::string writtenName_;
    std::function<void(const std::string&)> imageRead_;
};

}  // namespace quorvane
