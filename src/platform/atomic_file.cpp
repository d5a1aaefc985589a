#include "platform/atomic_file.h"

#include <cerrno>
#include <cstdio>
#include <random>
#include <string>

#if __has_include(<unistd.h>)
#include <unistd.h>
#endif

namespace quorvane {

namespace fs = std::filesystem;

namespace {

std::error_code LastErrno() {
    return {errno != 0 ? errno : EIO, std::generic_category()};
}

// Creates a file of a fresh name beside target; null with ec set when none can be created.
std::FILE* CreateTemp(const fs::path& target, fs::path& temp, std::error_code& ec) {
    const fs::path dir = target.has_parent_path() ? target.parent_path() : fs::path(".");
    std::random_device seed;
    for (int attempt = 0; attempt < 16; ++attempt) {
        char suffix[24];
        std::snprintf(suffix, sizeof suffix, ".%08x.tmp", static_cast<unsigned>(seed()));
        temp = dir / ("." + target.filename().string() + suffix);
        errno = 0;
        if (std::FILE* f = std::fopen(temp.string().c_str(), "wbx")) {
            return f;
        }
        if (errno != EEXIST) {
            break;
        }
    }
    ec = LastErrno();
    return nullptr;
}

std::error_code WriteAll(std::FILE* f, std::string_view data) {
    std::error_code ec;
    errno = 0;
    if (std::fwrite(data.data(), 1, data.size(), f) != data.size() || std::fflush(f) != 0) {
        ec = LastErrno();
    }
#if __has_include(<unistd.h>)
    // The new name must not outlive the data it points to after a power loss.
    if (!ec && ::fsync(::fileno(f)) != 0) {
        ec = LastErrno();
    }
#endif
    if (std::fclose(f) != 0 && !ec) {
        ec = LastErrno();
    }
    return ec;
}

// Gives temp the name target only when no file has it: a hard link cannot replace a file.
// Where the file system has no hard links, a check before the rename has to do.
std::error_code MoveIfAbsent(const fs::path& temp, const fs::path& target) {
    std::error_code ec;
    fs::create_hard_link(temp, target, ec);
    if (!ec || ec == std::errc::file_exists) {
        return ec;
    }
    if (fs::exists(fs::symlink_status(target, ec))) {
        return std::make_error_code(std::errc::file_exists);
    }
    fs::rename(temp, target, ec);
    return ec;
}

}  // namespace

std::error_code WriteFileAtomically(const fs::path& target, std::string_view data,
                                    AtomicWriteMode mode, std::optional<fs::perms> perms) {
    fs::path temp;
    std::error_code ec;
    std::FILE* f = CreateTemp(target, temp, ec);
    if (f == nullptr) {
        return ec;
    }
    ec = WriteAll(f, data);
    if (!ec && perms) {
        fs::permissions(temp, *perms, fs::perm_options::replace, ec);
    }
    if (!ec) {
        if (mode == AtomicWriteMode::Replace) {
            fs::rename(temp, target, ec);
        } else {
            ec = MoveIfAbsent(temp, target);
        }
    }
    // After a hard link the temporary name goes as well; after a rename it is already gone.
    std::error_code ignored;
    fs::remove(temp, ignored);
    return ec;
}

}  // namespace quorvane
