#include "platform/atomic_file.h"

#include <cerrno>
#include <random>
#include <string>

#ifdef _WIN32
#include <fcntl.h>
#include <io.h>
#include <sys/stat.h>
#include <windows.h>
#else
#include <unistd.h>
#endif

namespace quorvane {

namespace fs = std::filesystem;

namespace {

std::error_code LastErrno() {
    return {errno != 0 ? errno : EIO, std::generic_category()};
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
#endif

// Makes what was written to f reach the disk: the new name must not outlive the data it
// points to after a power loss.
std::error_code FlushToDisk(std::FILE* f) {
#ifdef _WIN32
    const auto handle = reinterpret_cast<HANDLE>(::_get_osfhandle(::_fileno(f)));
    return ::FlushFileBuffers(handle) ? std::error_code() : LastError();
#else
    return ::fsync(::fileno(f)) == 0 ? std::error_code() : LastErrno();
#endif
}

// Gives temp the name target, replacing a file of that name.
std::error_code Replace(const fs::path& temp, const fs::path& target) {
#ifdef _WIN32
    return ::MoveFileExW(temp.c_str(), target.c_str(),
                         MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH)
               ? std::error_code()
               : LastError();
#else
    std::error_code ec;
    fs::rename(temp, target, ec);
    return ec;
#endif
}

// A file of a fresh name beside its target, holding the data to be given the target's name;
// removed when it goes, unless it has been renamed meanwhile.
class TempFile {
  public:
    TempFile() = default;
    TempFile(const TempFile&) = delete;
    TempFile& operator=(const TempFile&) = delete;
    TempFile(TempFile&& other) noexcept : path_(std::move(other.path_)) { other.path_.clear(); }
    TempFile& operator=(TempFile&&) = delete;
    ~TempFile() {
        if (!path_.empty()) {
            std::error_code ignored;
            fs::remove(path_, ignored);
        }
    }

    std::error_code Write(const fs::path& target, std::string_view data, FileWrites& writes) {
        std::error_code ec;
        std::FILE* f = Create(target, writes, ec);
        return f == nullptr ? ec : WriteAll(f, data, writes);
    }

    const fs::path& path() const { return path_; }

  private:
    std::FILE* Create(const fs::path& target, FileWrites& writes, std::error_code& ec) {
        const fs::path dir = target.has_parent_path() ? target.parent_path() : fs::path(".");
        std::random_device seed;
        for (int attempt = 0; attempt < 16; ++attempt) {
            char suffix[24];
            std::snprintf(suffix, sizeof suffix, ".%08x.tmp", static_cast<unsigned>(seed()));
            // Composed as a path, so that a name outside the ANSI code page survives on Windows.
            fs::path name(".");
            name += target.filename();
            name += suffix;
            const fs::path temp = dir / name;
            errno = 0;
            if (std::FILE* f = writes.CreateNew(temp)) {
                path_ = temp;
                return f;
            }
            if (errno != EEXIST) {
                break;
            }
        }
        ec = LastErrno();
        return nullptr;
    }

    static std::error_code WriteAll(std::FILE* f, std::string_view data, FileWrites& writes) {
        std::error_code ec;
        errno = 0;
        if (writes.Write(f, data.data(), data.size()) != data.size() || std::fflush(f) != 0) {
            ec = LastErrno();
        }
        if (!ec) {
            ec = FlushToDisk(f);
        }
        if (std::fclose(f) != 0 && !ec) {
            ec = LastErrno();
        }
        return ec;
    }

    fs::path path_;
};

// Gives temp the name target only when no file has it: a hard link cannot replace a file.
// Where the file system has no hard links (FAT), Windows moves without replacing; elsewhere a
// check before the rename has to do.
std::error_code MoveIfAbsent(const fs::path& temp, const fs::path& target) {
#ifdef _WIN32
    if (::CreateHardLinkW(target.c_str(), temp.c_str(), nullptr)) {
        return {};
    }
    const std::error_code linkError = LastError();
    if (linkError == std::errc::file_exists) {
        return linkError;
    }
    return ::MoveFileExW(temp.c_str(), target.c_str(), MOVEFILE_WRITE_THROUGH) ? std::error_code()
                                                                               : LastError();
#else
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
#endif
}

}  // namespace

std::FILE* FileWrites::CreateNew(const fs::path& path) {
#ifdef _WIN32
    // msvcrt, the C library MinGW-w64 links, knows no "x" mode: the open itself is exclusive.
    const int fd =
        ::_wopen(path.c_str(), _O_WRONLY | _O_CREAT | _O_EXCL | _O_BINARY, _S_IREAD | _S_IWRITE);
    if (fd < 0) {
        return nullptr;
    }
    std::FILE* f = ::_fdopen(fd, "wb");
    if (f == nullptr) {
        ::_close(fd);
    }
    return f;
#else
    return std::fopen(path.c_str(), "wbx");
#endif
}

std::size_t FileWrites::Write(std::FILE* file, const char* data, std::size_t size) {
    return std::fwrite(data, 1, size, file);
}

std::error_code WriteFileAtomically(const fs::path& target, std::string_view data,
                                    AtomicWriteMode mode, std::optional<fs::perms> perms,
                                    FileWrites* writes) {
    FileWrites system;
    TempFile temp;
    std::error_code ec = temp.Write(target, data, writes != nullptr ? *writes : system);
    if (!ec && perms) {
        fs::permissions(temp.path(), *perms, fs::perm_options::replace, ec);
    }
    if (!ec) {
        if (mode == AtomicWriteMode::Replace) {
            ec = Replace(temp.path(), target);
        } else {
            ec = MoveIfAbsent(temp.path(), target);
        }
    }
    // After a hard link the temporary name goes with temp; after a rename it is already gone.
    return ec;
}

std::optional<NewFilesError> WriteNewFilesTogether(const std::vector<NewFile>& files,
                                                   FileWrites* writes) {
    FileWrites system;
    std::vector<TempFile> temps(files.size());
    for (std::size_t i = 0; i < files.size(); ++i) {
        const std::error_code ec =
            temps[i].Write(files[i].target, files[i].data, writes != nullptr ? *writes : system);
        if (ec) {
            return NewFilesError{ec, i};
        }
    }
    for (std::size_t i = 0; i < files.size(); ++i) {
        const std::error_code ec = MoveIfAbsent(temps[i].path(), files[i].target);
        if (ec) {
            for (std::size_t done = 0; done < i; ++done) {
                std::error_code ignored;
                fs::remove(files[done].target, ignored);
            }
            return NewFilesError{ec, i};
        }
    }
    return std::nullopt;
}

}  // namespace quorvane
