#pragma once

#include <filesystem>
#include <optional>
#include <string_view>
#include <system_error>

namespace quorvane {

// Whether an atomic write may take the place of a file already under the target's name.
enum class AtomicWriteMode { Replace, KeepExisting };

// Writes data to a new file beside target, flushes it to the disk and then gives it target's
// name, so target is never a half-written file: it is the old file or the new one. The
// temporary file is removed on any failure. perms, when given, are set on the new file.
// KeepExisting fails with std::errc::file_exists when target exists, even when another writer
// creates it at the same moment. Returns an empty error code when the file is in place.
std::error_code WriteFileAtomically(const std::filesystem::path& target, std::string_view data,
                                    AtomicWriteMode mode = AtomicWriteMode::Replace,
                                    std::optional<std::filesystem::perms> perms = std::nullopt);

}  // namespace quorvane
