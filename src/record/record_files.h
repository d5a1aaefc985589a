#pragma once

#include <filesystem>
#include <string>

namespace quorvane {

// A service record is kept as two files: the text and, beside it under the same name with
// ".csv", the changed values. Neither ever takes the place of a file already there.

// The first free "<base>-record.txt", then "<base>-record-2.txt" and so on: free when neither
// it nor its ".csv" exists.
std::filesystem::path FreeRecordPath(const std::filesystem::path& base);

// Writes text at path and csv beside it; "" when both are in place, else
// "Cannot save the service record 'PATH': REASON.".
std::string SaveRecordFiles(const std::filesystem::path& path, const std::string& text,
                            const std::string& csv);

}  // namespace quorvane
