#include "record/record_files.h"

#include <set>
#include <system_error>

namespace quorvane {

namespace fs = std::filesystem;

namespace {

// More records of one session than a technician saves in a day.
constexpr int kMaxNumber = 999;

fs::path FileOf(const fs::path& path, const std::string& extension) {
    fs::path file = path;
    return extension.empty() ? file : file.replace_extension(extension);
}

bool Taken(const fs::path& path, const std::vector<std::string>& extensions) {
    std::error_code ec;
    for (const std::string& extension : extensions) {
        if (fs::exists(FileOf(path, extension), ec)) {
            return true;
        }
    }
    return false;
}

Failure<RecordFault> Failed(const fs::path& path, RecordFault cause, const std::string& reason) {
    return {cause, "Cannot save the service record '" + path.string() + "': " + reason + "."};
}

Failure<RecordFault> Failed(const fs::path& path, const std::error_code& ec) {
    return ec == std::errc::file_exists
               ? Failed(path, RecordFault::NameTaken,
                        "a file of that name exists, and records are never overwritten")
               : Failed(path, RecordFault::CannotWrite, ec.message());
}

}  // namespace

fs::path FreeRecordPath(const fs::path& base, const std::vector<std::string>& extensions) {
    fs::path path = base.string() + "-record.txt";
    for (int number = 2; Taken(path, extensions) && number <= kMaxNumber; ++number) {
        path = base.string() + "-record-" + std::to_string(number) + ".txt";
    }
    return path;
}

RecordStatus SaveRecordFiles(const fs::path& path, const std::vector<RecordFile>& files,
                             FileWrites* writes) {
    std::vector<NewFile> group;
    std::set<fs::path> names;
    for (const RecordFile& file : files) {
        const fs::path target = FileOf(path, file.extension);
        if (!names.insert(target).second) {
            return Failed(path, RecordFault::SameName,
                          "the record and its table would have one name");
        }
        group.push_back({target, file.contents});
    }
    std::error_code ec;
    for (const NewFile& file : group) {
        if (fs::exists(file.target, ec)) {
            return Failed(file.target, std::make_error_code(std::errc::file_exists));
        }
    }
    if (path.has_parent_path()) {
        fs::create_directories(path.parent_path(), ec);
        if (ec) {
            return Failed(path, RecordFault::CannotWrite, ec.message());
        }
    }
    const std::optional<NewFilesError> failed = WriteNewFilesTogether(group, writes);
    if (failed) {
        return Failed(group[failed->index].target, failed->error);
    }
    return Done{};
}

}  // namespace quorvane
