#include "platform/atomic_file.h"

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <random>
#include <string>

#ifdef _WIN32
#include <windows.h>
#else
#include <fcntl.h>
#include <unistd.h>
#endif

namespace quorvane {

namespace fs = std::filesystem;

namespace {

// A fresh name beside target for the file that is to take its place.
fs::path TempBeside(const fs::path& target, std::random_device& seed) {
    const fs::path dir = target.has_parent_path() ? target.parent_path() : fs::path(".");
    char suffix[24];
    std::snprintf(suffix, sizeof suffix, ".%08x.tmp", static_cast<unsigned>(seed()));
    // Composed as a path, so that a name outside the ANSI code page survives on Windows.
    fs::path name(".");
    name += target.filename();
    name += suffix;
    return dir / name;
}

#ifdef _WIN32

// The common failures in the words they have on every system (and that callers compare with);
// the others in Windows' own.
std::error_code ErrorOf(DWORD error) {
    switch (error) {
        case ERROR_FILE_EXISTS:
        case ERROR_ALREADY_EXISTS:
            return std::make_error_code(std::errc::file_exists);
        case ERROR_FILE_NOT_FOUND:
        case ERROR_PATH_NOT_FOUND:
            return std::make_error_code(std::errc::no_such_file_or_directory);
        case ERROR_ACCESS_DENIED:
            return std::make_error_code(std::errc::permission_denied);
        case ERROR_DISK_FULL:
        case ERROR_HANDLE_DISK_FULL:
            return std::make_error_code(std::errc::no_space_on_device);
        default:
            return {static_cast<int>(error != 0 ? error : ERROR_WRITE_FAULT),
                    std::system_category()};
    }
}

std::error_code LastError() {
    return ErrorOf(::GetLastError());
}

// The temporary file, open for writing, closed with the object.
class TempFile {
  public:
    explicit TempFile(const fs::path& target) {
        std::random_device seed;
        for (int attempt = 0; attempt < 16; ++attempt) {
            path_ = TempBeside(target, seed);
            handle_ = ::CreateFileW(path_.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW,
                                    FILE_ATTRIBUTE_NORMAL, nullptr);
            if (handle_ != INVALID_HANDLE_VALUE) {
                return;
            }
            const DWORD error = ::GetLastError();
            if (error != ERROR_FILE_EXISTS) {
                ec_ = ErrorOf(error);
                return;
            }
        }
        ec_ = std::make_error_code(std::errc::file_exists);
    }
    ~TempFile() { Close(); }
    TempFile(const TempFile&) = delete;
    TempFile& operator=(const TempFile&) = delete;

    std::error_code Error() const { return ec_; }
    const fs::path& Path() const { return path_; }

    // Writes data and flushes it to the disk, then closes the file.
    std::error_code WriteAndClose(std::string_view data) {
        while (!ec_ && !data.empty()) {
            const DWORD chunk = static_cast<DWORD>(std::min<std::size_t>(data.size(), 1u << 30));
            DWORD written = 0;
            if (!::WriteFile(handle_, data.data(), chunk, &written, nullptr) || written == 0) {
                ec_ = LastError();
            }
            data.remove_prefix(written);
        }
        // The new name must not outlive the data it points to after a power loss.
        if (!ec_ && !::FlushFileBuffers(handle_)) {
            ec_ = LastError();
        }
        if (!Close() && !ec_) {
            ec_ = LastError();
        }
        return ec_;
    }

  private:
    bool Close() {
        const bool closed = handle_ == INVALID_HANDLE_VALUE || ::CloseHandle(handle_);
        handle_ = INVALID_HANDLE_VALUE;
        return closed;
    }

    fs::path path_;
    HANDLE handle_ = INVALID_HANDLE_VALUE;
    std::error_code ec_;
};

std::error_code Replace(const fs::path& temp, const fs::path& target) {
    if (::MoveFileExW(temp.c_str(), target.c_str(),
                      MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH)) {
        return {};
    }
    return LastError();
}

// Gives temp the name target only when no file has it. A hard link cannot replace a file;
// where the file system has none (FAT), a move without MOVEFILE_REPLACE_EXISTING cannot either.
std::error_code MoveIfAbsent(const fs::path& temp, const fs::path& target) {
    if (::CreateHardLinkW(target.c_str(), temp.c_str(), nullptr)) {
        return {};
    }
    const std::error_code ec = LastError();
    if (ec == std::errc::file_exists) {
        return ec;
    }
    return ::MoveFileExW(temp.c_str(), target.c_str(), MOVEFILE_WRITE_THROUGH) ? std::error_code()
                                                                               : LastError();
}

#else

std::error_code LastErrno() {
    return {errno != 0 ? errno : EIO, std::generic_category()};
}

// The temporary file, open for writing, closed with the object.
class TempFile {
  public:
    explicit TempFile(const fs::path& target) {
        std::random_device seed;
        for (int attempt = 0; attempt < 16; ++attempt) {
            path_ = TempBeside(target, seed);
            fd_ = ::open(path_.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
            if (fd_ >= 0) {
                return;
            }
            if (errno != EEXIST) {
                break;
            }
        }
        ec_ = LastErrno();
    }
    ~TempFile() { Close(); }
    TempFile(const TempFile&) = delete;
    TempFile& operator=(const TempFile&) = delete;

    std::error_code Error() const { return ec_; }
    const fs::path& Path() const { return path_; }

    // Writes data and flushes it to the disk, then closes the file.
    std::error_code WriteAndClose(std::string_view data) {
        while (!ec_ && !data.empty()) {
            const ssize_t written = ::write(fd_, data.data(), data.size());
            if (written < 0 && errno == EINTR) {
                continue;
            }
            if (written <= 0) {
                ec_ = LastErrno();
                break;
            }
            data.remove_prefix(static_cast<std::size_t>(written));
        }
        // The new name must not outlive the data it points to after a power loss.
        if (!ec_ && ::fsync(fd_) != 0) {
            ec_ = LastErrno();
        }
        if (!Close() && !ec_) {
            ec_ = LastErrno();
        }
        return ec_;
    }

  private:
    bool Close() {
        const bool closed = fd_ < 0 || ::close(fd_) == 0;
        fd_ = -1;
        return closed;
    }

    fs::path path_;
    int fd_ = -1;
    std::error_code ec_;
};

std::error_code Replace(const fs::path& temp, const fs::path& target) {
    std::error_code ec;
    fs::rename(temp, target, ec);
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

#endif

}  // namespace

std::error_code WriteFileAtomically(const fs::path& target, std::string_view data,
                                    AtomicWriteMode mode, std::optional<fs::perms> perms) {
    TempFile file(target);
    if (file.Error()) {
        return file.Error();
    }
    std::error_code ec = file.WriteAndClose(data);
    if (!ec && perms) {
        fs::permissions(file.Path(), *perms, fs::perm_options::replace, ec);
    }
    if (!ec) {
        ec = mode == AtomicWriteMode::Replace ? Replace(file.Path(), target)
                                              : MoveIfAbsent(file.Path(), target);
    }
    // After a hard link the temporary name goes as well; after a move it is already gone.
    std::error_code ignored;
    fs::remove(file.Path(), ignored);
    return ec;
}

}  // namespace quorvane
