#include "record/record_files.h"

#include <system_error>

#include "platform/atomic_file.h"

namespace quorvane {

namespace fs = std::filesystem;

namespace {

// More records of one session than a technician saves in a day.
constexpr int kMaxNumber = 999;

fs::path Beside(const fs::path& path, const char* extension) {
    fs::path beside = path;
    return beside.replace_extension(extension);
}

bool Taken(const fs::path& path) {
    std::error_code ec;
    return fs::exists(path, ec) || fs::exists(Beside(path, ".csv"), ec) ||
           fs::exists(Beside(path, ".html"), ec);
}

std::string Failed(const fs::path& path, const std::string& reason) {
    return "Cannot save the service record '" + path.string() + "': " + reason + ".";
}

std::string Reason(const std::error_code& ec) {
    return ec == std::errc::file_exists ? "a file of that name exists, and records are never "
                                          "overwritten"
                                        : ec.message();
}

}  // namespace

fs::path FreeRecordPath(const fs::path& base) {
    fs::path path = base.string() + "-record.txt";
    for (int number = 2; Taken(path) && number <= kMaxNumber; ++number) {
        path = base.string() + "-record-" + std::to_string(number) + ".txt";
    }
    return path;
}

std::string SaveRecordFiles(const fs::path& path, const std::string& text, const std::string& csv,
                            const std::string& html) {
    const fs::path csvPath = Beside(path, ".csv");
    const fs::path htmlPath = Beside(path, ".html");
    if (csvPath == path) {
        return Failed(path, "the record and its table would have one name");
    }
    if (htmlPath == path) {
        return Failed(path, "the record and its page would have one name");
    }
    std::error_code ec;
    for (const fs::path& p : {path, csvPath, htmlPath}) {
        if (fs::exists(p, ec)) {
            return Failed(p, Reason(std::make_error_code(std::errc::file_exists)));
        }
    }
    if (path.has_parent_path()) {
        fs::create_directories(path.parent_path(), ec);
        if (ec) {
            return Failed(path, ec.message());
        }
    }
    ec = WriteFileAtomically(path, text, AtomicWriteMode::KeepExisting);
    if (ec) {
        return Failed(path, Reason(ec));
    }
    ec = WriteFileAtomically(csvPath, csv, AtomicWriteMode::KeepExisting);
    if (ec) {
        return Failed(csvPath, Reason(ec));
    }
    ec = WriteFileAtomically(htmlPath, html, AtomicWriteMode::KeepExisting);
    return ec ? Failed(htmlPath, Reason(ec)) : std::string();
}

}  // namespace quorvane
