#pragma once

#include <filesystem>
#include <string>
#include <vector>

#include "platform/atomic_file.h"
#include "record/record_fault.h"

namespace quorvane {

// A service record is kept as a group of files under one name: the text at the chosen path
// and beside it, under the same name with their own extensions, the other files (the table
// of changed values, ".csv", and the page, ".html"). They are saved all or none, and none
// ever takes the place of a file already there.

// One file of a record: the extension that takes the place of the record path's own ("" for
// the record path itself), and its contents.
struct RecordFile {
    std::string extension;
    std::string contents;
};

// The first free "<base>-record.txt", then "<base>-record-2.txt" and so on: free when no
// file of the record exists under it, for each of extensions (as RecordFile has them).
std::filesystem::path FreeRecordPath(const std::filesystem::path& base,
                                     const std::vector<std::string>& extensions);

// Writes every file of the record beside path, or none; a failure says
// "Cannot save the service record 'PATH': REASON." naming the file that failed.
RecordStatus SaveRecordFiles(const std::filesystem::path& path,
                             const std::vector<RecordFile>& files, FileWrites* writes = nullptr);

}  // namespace quorvane
