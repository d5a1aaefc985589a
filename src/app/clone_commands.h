#pragma once

#include <functional>
#include <string>

#include "app/clone_session.h"
#include "app/image_policy.h"
#include "platform/wall_clock.h"

namespace quorvane {

// Where the commands without a window speak and wait: a terminal and an event loop in
// quorvane-clone, the hand-set clock in tests.
class ICloneTerminal {
  public:
    // A result, on standard output.
    virtual void Say(const std::string& text) = 0;
    // A failure or a note, on standard error.
    virtual void Complain(const std::string& text) = 0;
    // Asks question; true when the user answers yes.
    virtual bool Ask(const std::string& question) = 0;
    // Returns when the session's operation has ended; what names it ("reading").
    virtual void RunToEnd(CloneSession& session, const char* what) = 0;

  protected:
    ~ICloneTerminal() = default;
};

// quorvane-clone's read and write on one transceiver, by the window's rules and in its words:
// every image read is kept as an automatic backup, a file is checked and the question asked
// as the window asks it, and a write is read back and judged as the window judges it.
// Communication failures are the window's messages after the device's name. Each command
// returns the exit status: 0 done, 1 failed.
class CloneCommands {
  public:
    struct Links {
        CloneSession& session;
        ICloneTerminal& terminal;
        IWallClock& wallClock;
        const ImagePolicy& policy;
        std::string device;
    };

    explicit CloneCommands(Links links) : links_(std::move(links)) {}

    // Reads the transceiver into the image file out.
    int Read(const std::string& out);
    // Reads the transceiver (its backup), checks file against it, asks unless yes, writes,
    // reads back and compares.
    int Write(const std::string& file, bool yes);

  private:
    // Runs one operation; false, after its message, when it failed.
    bool Run(const std::function<void()>& start, const char* what);
    // The image just read with its origin, kept as a backup; the backup's result.
    ImageBackupStore::Result KeepRead();
    int Fail(const std::string& message);

    Links links_;
};

}  // namespace quorvane
