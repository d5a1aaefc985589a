#pragma once

#include <filesystem>
#include <string>

#include "image/image_file.h"
#include "platform/atomic_file.h"
#include "platform/byte_string.h"

namespace quorvane {

// The folder of automatic backups: every image read from a transceiver is kept there as an
// image file named by the time of the read (UTC) and the transceiver's identifiers,
// "20261207-051502_8537-0200.qvimg". A file is never overwritten: a second backup in the same
// second is "20261207-051502_8537-0200-2.qvimg", then "-3" and so on.
class ImageBackupStore {
  public:
    static constexpr const char* kExtension = ".qvimg";

    // writes: null for the system's.
    explicit ImageBackupStore(std::filesystem::path folder, FileWrites* writes = nullptr)
        : folder_(std::move(folder)), writes_(writes) {}

    const std::filesystem::path& folder() const { return folder_; }
    // "20261207-051502_8537-0200": the name of the first backup of an image, without extension.
    static std::string BaseName(const ImageOrigin& origin);

    // The path saved, or the failure "Cannot save the backup 'PATH': REASON.".
    using Result = ImageResult<std::filesystem::path>;

    // Creates the folder when needed and writes the file atomically; never throws.
    Result Save(const Bytes& image, const ImageOrigin& origin) const;

  private:
    std::filesystem::path folder_;
    FileWrites* writes_;
};

}  // namespace quorvane
