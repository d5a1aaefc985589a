#pragma once

#include <string>

#include "image/image_fault.h"

namespace quorvane {

// An image file as the parameter page shows it.
struct ImageFileView {
    std::string name;      // the file's name, without its folder
    std::string identity;  // "model 8537, sub 0200, revision 04, read 2026-12-07 05:15:02 UTC"
    std::string dump;      // the 66-line parameter dump of its image, lines ending CR LF
};

// What writing an image file would do, when it is not refused: a question to confirm.
struct ImageWriteQuestion {
    std::string confirmation;
    bool warning = false;  // the question is asked with the warning icon
};

// The EEPROM image commands of the File menu as the main window asks for them: the work on
// files and on the transceiver is done behind this, the window only asks and shows.
class IImageCommands {
  public:
    virtual bool CanSave() const = 0;
    virtual bool CanWrite() const = 0;
    // Where the file dialogs open until the user has chosen a folder: the backups folder.
    virtual std::string DefaultFolder() const = 0;
    // Saves the current image to path.
    virtual ImageStatus Save(const std::string& path) = 0;
    // The file at path for viewing, or why it cannot be shown.
    virtual ImageResult<ImageFileView> Open(const std::string& path) = 0;
    // The question to ask before the file at path is written, or why it is refused.
    virtual ImageResult<ImageWriteQuestion> CheckWrite(const std::string& path) = 0;
    // The write runs from the tick; its end and any failure are reported there.
    virtual void StartWrite(const std::string& path) = 0;

  protected:
    ~IImageCommands() = default;
};

}  // namespace quorvane
