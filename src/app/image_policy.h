#pragma once

#include <filesystem>
#include <optional>
#include <string>

#include "image/backup_store.h"
#include "image/image_file.h"
#include "platform/atomic_file.h"
#include "platform/byte_string.h"
#include "platform/checked.h"
#include "protocol/sequencer.h"

namespace quorvane {

// The identity as the sequencer's identity answer and the driver's end address give it.
RadioIdentity IdentityOfAnswer(const clsCmcVep3Sequence& sequence, Int32 endAddress);

// "model 8537, sub 0200, revision 04"
std::string IdentityText(const RadioIdentity& identity);

// "model 8537, sub 0200, revision 04, read 2026-12-07 05:15:02 UTC", or "origin unknown".
std::string OriginText(const std::optional<ImageOrigin>& origin);

// An image file that may be written to the connected transceiver: the question to confirm
// and the file's image.
struct WriteQuestion {
    std::string text;
    bool unknownOrigin = false;  // a plain image: nothing says which transceiver it came from
    bool otherSub = false;       // read from a transceiver with another sub identifier
    std::string warning;         // the question's warning of either, or ""
    Bytes image;
};

// A file allowed to be written, or the message why not.
using WriteCheck = ImageResult<WriteQuestion>;

// A write read back: whether the transceiver holds the image, and the text that says so.
struct ReadBackResult {
    bool same = false;
    std::string text;
};

// What the window and the command line alike do with whole images: every image read is kept
// as an automatic backup, a file is checked against the transceiver before it is written and
// the question asked in one wording, and a write is judged by reading it back.
class ImagePolicy {
  public:
    // backupFolder: empty, no backups are kept. writes: null, the system's.
    explicit ImagePolicy(std::filesystem::path backupFolder, FileWrites* writes = nullptr)
        : backupFolder_(std::move(backupFolder)), writes_(writes) {}

    const std::filesystem::path& BackupFolder() const { return backupFolder_; }

    // Keeps an image just read; the backup's path (empty when no backups are kept), or the
    // failure that left none.
    ImageBackupStore::Result KeepRead(const Bytes& image, const ImageOrigin& origin) const;

    // The file at path checked against the transceiver radio, loaded first.
    static WriteCheck CheckWrite(const std::string& path, const RadioIdentity& radio);
    // The image file loaded from path, checked against the transceiver radio.
    static WriteCheck CheckWrite(const std::string& path, EepromImageFile file,
                                 const RadioIdentity& radio);

    // The written image against the one read back, over the first end bytes of each.
    static ReadBackResult ReadBack(const Bytes& written, const Bytes& read, std::size_t end);

    // After a write that lost its port: the transceiver may hold part of fileName; backup is
    // the file that holds what it held before (empty when none could be kept).
    static std::string PartialWriteText(const std::string& fileName,
                                        const std::filesystem::path& backup);

    // After a write the transceiver accepted whose read-back failed.
    static std::string NotReadBackText(const std::string& fileName);

  private:
    std::filesystem::path backupFolder_;
    FileWrites* writes_;
};

}  // namespace quorvane
