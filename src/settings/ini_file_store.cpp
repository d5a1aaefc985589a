#include "settings/ini_file_store.h"

#include "platform/atomic_file.h"
#include "settings/ini_text.h"

#include <algorithm>
#include <cstdint>
#include <filesystem>
#include <fstream>
#include <optional>
#include <string_view>
#include <system_error>

namespace quorvane {

namespace fs = std::filesystem;

namespace {

enum class FileState { Missing, Read, Refused };

FileState ReadSettingsFile(const fs::path& path, std::string& content) {
    content.clear();
    std::error_code ec;
    const fs::file_status st = fs::status(path, ec);
    if (st.type() == fs::file_type::not_found) {
        return FileState::Missing;
    }
    // Anything but a regular file (a directory, a FIFO, a device) could block or never end.
    if (ec || st.type() != fs::file_type::regular) {
        return FileState::Refused;
    }
    std::ifstream in(path, std::ios::binary);
    if (!in) {
        return FileState::Refused;
    }
    // Read at most one byte more than allowed, so a file that grows meanwhile stays bounded.
    const std::uintmax_t size = fs::file_size(path, ec);
    content.resize(ec ? IniFileStore::kMaxFileSize + 1
                      : static_cast<std::size_t>(
                            std::min<std::uintmax_t>(size + 1, IniFileStore::kMaxFileSize + 1)));
    in.read(content.data(), static_cast<std::streamsize>(content.size()));
    if (in.bad()) {
        content.clear();
        return FileState::Refused;
    }
    content.resize(static_cast<std::size_t>(in.gcount()));
    if (content.size() > IniFileStore::kMaxFileSize || content.find('\0') != std::string::npos) {
        content.clear();
        return FileState::Refused;
    }
    return FileState::Read;
}

std::string CutToBuffer(std::string_view s, std::size_t bufferSize) {
    if (bufferSize == 0) {
        return {};
    }
    return std::string(s.substr(0, bufferSize - 1));
}

}  // namespace

std::string IniFileStore::GetProfileString(const std::string& section, const std::string& key,
                                           const std::string& defaultValue, std::size_t bufferSize,
                                           const std::string& file) {
    std::string content;
    if (ReadSettingsFile(file, content) != FileState::Read) {
        return CutToBuffer(defaultValue, bufferSize);
    }
    return CutToBuffer(IniValue(content, section, key).value_or(defaultValue), bufferSize);
}

bool IniFileStore::WriteProfileString(const std::string& section, const std::string& key,
                                      const std::string& value, const std::string& file) {
    writeFailure_.clear();
    return Write(section, key, value, file);
}

bool IniFileStore::Write(const std::string& section, const std::string& key,
                         const std::string& value, const std::string& file) {
    if (file.empty()) {
        writeFailure_ = "no settings file is named";
        return false;
    }
    if (!IniWithValue("", section, key, value)) {
        writeFailure_ = "the value cannot be kept in a settings file";
        return false;
    }
    std::error_code ec;
    fs::path target(file);
    // Write through a link to its file, so the link itself stays.
    if (fs::is_symlink(fs::symlink_status(target, ec))) {
        target = fs::canonical(target, ec);
        if (ec) {
            writeFailure_ = ec.message();
            return false;
        }
    }
    std::string content;
    const FileState state = ReadSettingsFile(target, content);
    if (state == FileState::Refused) {
        writeFailure_ = "it is not a plain text settings file";
        return false;
    }
    std::optional<fs::perms> perms;
    if (state == FileState::Read) {
        const fs::file_status st = fs::status(target, ec);
        if (ec) {
            writeFailure_ = ec.message();
            return false;
        }
        perms = st.permissions();
    }
    const std::optional<std::string> written = IniWithValue(content, section, key, value);
    if (!written) {
        writeFailure_ = "the value cannot be kept in a settings file";
        return false;
    }
    ec = WriteFileAtomically(target, *written, AtomicWriteMode::Replace, perms);
    if (ec) {
        writeFailure_ = ec.message();
        return false;
    }
    return true;
}

}  // namespace quorvane
