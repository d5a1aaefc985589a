#include "app/clone_commands.h"

#include <filesystem>

namespace quorvane {

int CloneCommands::Fail(const std::string& message) {
    links_.terminal.Complain(message);
    return 1;
}

bool CloneCommands::Run(const std::function<void()>& start, const char* what) {
    start();
    links_.terminal.RunToEnd(links_.session, what);
    return links_.session.Outcome().ok();
}

ImageBackupStore::Result CloneCommands::KeepRead() {
    Bytes image = links_.session.Image();
    image.resize(EepromImageFile::kImageSize, 0);
    ImageBackupStore::Result backup = links_.policy.KeepRead(
        image, ImageOrigin{links_.session.Identity(), links_.wallClock.Now()});
    if (backup && !backup->empty()) {
        links_.terminal.Complain("backup: " + backup->string());
    }
    return backup;
}

int CloneCommands::Read(const std::string& out) {
    CloneSession& session = links_.session;
    if (!Run([&] { session.StartRead(); }, "reading")) {
        return Fail(links_.device + ": " + session.Outcome().text());
    }
    const ImageBackupStore::Result backup = KeepRead();
    if (!backup) {
        // As in the window: the image read is still at hand, and goes where it was asked to.
        links_.terminal.Complain(backup.text());
    }
    Bytes image = session.Image();
    image.resize(EepromImageFile::kImageSize, 0);
    const ImageStatus saved =
        SaveImageFile(out, image, ImageOrigin{session.Identity(), links_.wallClock.Now()});
    return saved ? 0 : Fail(saved.text());
}

int CloneCommands::Write(const std::string& file, bool yes) {
    CloneSession& session = links_.session;
    // A file that cannot be read is said before the transceiver is read at all.
    ImageFileResult loaded = LoadImageFile(file);
    if (!loaded) {
        return Fail(loaded.text());
    }
    if (!Run([&] { session.StartRead(); }, "reading")) {
        return Fail(links_.device + ": " + session.Outcome().text());
    }
    const ImageBackupStore::Result backup = KeepRead();
    if (!backup) {
        // Nothing is written over an image that is kept nowhere.
        return Fail(backup.text());
    }
    const RadioIdentity radio = session.Identity();
    const WriteCheck check = ImagePolicy::CheckWrite(file, std::move(*loaded), radio);
    if (!check) {
        return Fail(check.text());
    }
    if (yes) {
        // Not asked, but a script's log still shows what the question would have warned of.
        if (!check->warning.empty()) {
            links_.terminal.Complain(check->warning);
        }
    } else if (!links_.terminal.Ask(check->text + "\n\nDevice: " + links_.device + "\n[y/N] ")) {
        return Fail("Nothing was written.");
    }
    const std::string name = std::filesystem::path(file).filename().string();
    if (!Run([&] { session.StartWrite(check->image); }, "writing")) {
        std::string message = links_.device + ": " + session.Outcome().text();
        if (session.Outcome().cause() == CloneFault::CutOff) {
            message += "\n\n" + ImagePolicy::PartialWriteText(name, *backup);
        }
        return Fail(message);
    }
    if (!Run([&] { session.StartRead(); }, "reading back")) {
        return Fail(links_.device + ": " + session.Outcome().text() + "\n\n" +
                    ImagePolicy::NotReadBackText(name));
    }
    const ImageBackupStore::Result after = KeepRead();
    if (!after) {
        links_.terminal.Complain(after.text());
    }
    const ReadBackResult result =
        ImagePolicy::ReadBack(check->image, session.Image(), radio.endAddress);
    if (!result.same) {
        return Fail(result.text);
    }
    links_.terminal.Say(result.text);
    return 0;
}

}  // namespace quorvane
