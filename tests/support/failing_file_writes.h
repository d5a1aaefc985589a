#pragma once

#include <cerrno>
#include <cstdio>
#include <filesystem>

#include "platform/atomic_file.h"

namespace quorvane::test {

// The file system as a test needs it to fail, whoever runs the test (root writes through any
// permission bit): a disk that fills up half way through a file, or a folder that takes no new
// file. Files before the failFrom-th new one are written as usual.
class FailingFileWrites final : public FileWrites {
  public:
    enum class Fault { None, FullDisk, ReadOnly };

    std::FILE* CreateNew(const std::filesystem::path& path) override {
        ++created;
        if (fault == Fault::ReadOnly && created >= failFrom) {
            errno = EROFS;
            return nullptr;
        }
        return FileWrites::CreateNew(path);
    }

    std::size_t Write(std::FILE* file, const char* data, std::size_t size) override {
        if (fault == Fault::FullDisk && created >= failFrom) {
            // What fitted is on the disk, as with a real full disk.
            const std::size_t written = FileWrites::Write(file, data, size / 2);
            errno = ENOSPC;
            return written;
        }
        return FileWrites::Write(file, data, size);
    }

    Fault fault = Fault::None;
    int failFrom = 1;
    int created = 0;
};

}  // namespace quorvane::test
