#pragma once

#include <string>

namespace quorvane {

// An image file as the parameter page shows it, or why it cannot be shown.
struct ImageFileView {
    std::string name;      // the file's name, without its folder
    std::string identity;  // the transceiver it came from and when it was read
    std::string dump;      // the parameter dump of its image
    std::string message;   // not empty: the file cannot be shown, and this says why
};

// What writing an image file would do: refused with a message, else a question to confirm.
struct ImageWriteQuestion {
    std::string refusal;
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
    // "" when the current image was saved to path, else the message.
    virtual std::string Save(const std::string& path) = 0;
    virtual ImageFileView Open(const std::string& path) = 0;
    virtual ImageWriteQuestion CheckWrite(const std::string& path) = 0;
    // The write runs from the tick; its end and any failure are reported there.
    virtual void StartWrite(const std::string& path) = 0;

  protected:
    ~IImageCommands() = default;
};

}  // namespace quorvane
