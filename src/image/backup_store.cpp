#include "image/backup_store.h"

#include <cstdio>
#include <string_view>
#include <system_error>

#include "image/utc_time.h"
#include "platform/atomic_file.h"

namespace quorvane {

namespace fs = std::filesystem;

namespace {

// Enough for any number of backups a technician takes in one second.
constexpr int kMaxSameSecond = 999;

std::string BackupName(const ImageOrigin& origin, int number) {
    std::string text = ImageBackupStore::BaseName(origin);
    if (number > 1) {
        text += "-" + std::to_string(number);
    }
    return text + ImageBackupStore::kExtension;
}

Failure<ImageFault> Failed(const fs::path& path, const std::string& reason,
                           ImageFault cause = ImageFault::CannotSave) {
    return {cause, "Cannot save the backup '" + path.string() + "': " + reason + "."};
}

}  // namespace

std::string ImageBackupStore::BaseName(const ImageOrigin& origin) {
    const UtcTime u = SplitUtc(origin.readAt);
    char name[64];
    std::snprintf(name, sizeof name, "%04d%02u%02u-%02d%02d%02d_%04X-%04X", u.year, u.month, u.day,
                  u.hour, u.minute, u.second, unsigned{origin.identity.model},
                  unsigned{origin.identity.sub});
    return name;
}

ImageBackupStore::Result ImageBackupStore::Save(const Bytes& image,
                                                const ImageOrigin& origin) const {
    fs::path path = folder_ / BackupName(origin, 1);
    if (image.size() != EepromImageFile::kImageSize) {
        return Failed(path, "the image holds " + std::to_string(image.size()) + " bytes, not " +
                                std::to_string(EepromImageFile::kImageSize));
    }
    std::error_code ec;
    fs::create_directories(folder_, ec);
    if (ec) {
        return Failed(path, ec.message());
    }
    const Bytes bytes = EncodeImageFile(image, origin);
    const std::string_view data(reinterpret_cast<const char*>(bytes.data()), bytes.size());
    for (int number = 1; number <= kMaxSameSecond; ++number) {
        path = folder_ / BackupName(origin, number);
        ec = WriteFileAtomically(path, data, AtomicWriteMode::KeepExisting, std::nullopt, writes_);
        if (!ec) {
            return path;
        }
        if (ec != std::errc::file_exists) {
            return Failed(path, ec.message());
        }
    }
    return Failed(path, "every name up to this one is taken", ImageFault::NamesTaken);
}

}  // namespace quorvane
