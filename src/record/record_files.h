#pragma once

#include <filesystem>
#include <string>

namespace quorvane {

// A service record is kept as three files: the text and, beside it under the same name, the
// changed values (".csv") and the page (".html"). None ever takes the place of a file
// already there.

// The first free "<base>-record.txt", then "<base>-record-2.txt" and so on: free when none
// of its three files exists.
std::filesystem::path FreeRecordPath(const std::filesystem::path& base);

// Writes text at path, csv and html beside it; "" when all are in place, else
// "Cannot save the service record 'PATH': REASON.".
std::string SaveRecordFiles(const std::filesystem::path& path, const std::string& text,
                            const std::string& csv, const std::string& html);

}  // namespace quorvane
