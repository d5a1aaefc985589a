#pragma once

#include <cstddef>
#include <cstdio>
#include <filesystem>
#include <optional>
#include <string_view>
#include <system_error>
#include <vector>

namespace quorvane {

// The two calls through which a new file's bytes reach the disk. The program uses these, the
// system's own; a test derives from it to meet a full disk or a folder that takes no new file,
// which no permission bit can show when the tests run as root. Both set errno on a failure.
class FileWrites {
  public:
    virtual ~FileWrites() = default;
    // A new file of that name, open for writing; null when none can be made (errno EEXIST
    // when a file of that name is there).
    virtual std::FILE* CreateNew(const std::filesystem::path& path);
    // Writes size bytes of data; the number written, fewer on a failure.
    virtual std::size_t Write(std::FILE* file, const char* data, std::size_t size);
};

// Whether an atomic write may take the place of a file already under the target's name.
enum class AtomicWriteMode { Replace, KeepExisting };

// Writes data to a new file beside target, flushes it to the disk and then gives it target's
// name, so target is never a half-written file: it is the old file or the new one. The
// temporary file is removed on any failure. perms, when given, are set on the new file.
// KeepExisting fails with std::errc::file_exists when target exists, even when another writer
// creates it at the same moment. Returns an empty error code when the file is in place.
// writes: null for the system's calls.
std::error_code WriteFileAtomically(const std::filesystem::path& target, std::string_view data,
                                    AtomicWriteMode mode = AtomicWriteMode::Replace,
                                    std::optional<std::filesystem::perms> perms = std::nullopt,
                                    FileWrites* writes = nullptr);

// One file of a group written together.
struct NewFile {
    std::filesystem::path target;
    std::string_view data;
};

// Why a group of files was not written, and the index of the file the failure concerns.
struct NewFilesError {
    std::error_code error;
    std::size_t index = 0;
};

// Writes every file of the group or none, never taking the place of a file already there:
// all are written to temporary files beside their targets first, then each is given its
// name; when one cannot be, those already named are removed again. No temporary file stays.
std::optional<NewFilesError> WriteNewFilesTogether(const std::vector<NewFile>& files,
                                                   FileWrites* writes = nullptr);

}  // namespace quorvane
