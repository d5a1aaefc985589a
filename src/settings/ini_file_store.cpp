#include "settings/ini_file_store.h"

#include "settings/ini_text.h"

#include <algorithm>
#include <cerrno>
#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <optional>
#include <random>
#include <string_view>
#include <system_error>

#if __has_include(<unistd.h>)
#include <unistd.h>
#endif

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

// Writes data to a new file beside target and renames it over target; the temporary file is
// removed on any failure, so target is either the old file or the new one, never a mixture.
bool ReplaceFile(const fs::path& target, std::string_view data,
                 std::optional<fs::perms> keepPerms) {
    const fs::path dir = target.has_parent_path() ? target.parent_path() : fs::path(".");
    std::random_device seed;
    std::FILE* f = nullptr;
    fs::path temp;
    for (int attempt = 0; attempt < 16 && f == nullptr; ++attempt) {
        char suffix[24];
        std::snprintf(suffix, sizeof suffix, ".%08x.tmp", static_cast<unsigned>(seed()));
        temp = dir / ("." + target.filename().string() + suffix);
        f = std::fopen(temp.string().c_str(), "wbx");
        if (f == nullptr && errno != EEXIST) {
            return false;
        }
    }
    if (f == nullptr) {
        return false;
    }
    bool ok = std::fwrite(data.data(), 1, data.size(), f) == data.size();
    ok = std::fflush(f) == 0 && ok;
#if __has_include(<unistd.h>)
    // The rename must not outlive the data it points to after a power loss.
    ok = ok && ::fsync(::fileno(f)) == 0;
#endif
    ok = std::fclose(f) == 0 && ok;
    std::error_code ec;
    if (ok && keepPerms) {
        fs::permissions(temp, *keepPerms, fs::perm_options::replace, ec);
        ok = !ec;
    }
    if (ok) {
        fs::rename(temp, target, ec);
        ok = !ec;
    }
    if (!ok) {
        fs::remove(temp, ec);
    }
    return ok;
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
    if (file.empty() || !IniWithValue("", section, key, value)) {
        return false;
    }
    std::error_code ec;
    fs::path target(file);
    // Write through a link to its file, so the link itself stays.
    if (fs::is_symlink(fs::symlink_status(target, ec))) {
        target = fs::canonical(target, ec);
        if (ec) {
            return false;
        }
    }
    std::string content;
    const FileState state = ReadSettingsFile(target, content);
    if (state == FileState::Refused) {
        return false;
    }
    std::optional<fs::perms> perms;
    if (state == FileState::Read) {
        const fs::file_status st = fs::status(target, ec);
        if (ec) {
            return false;
        }
        perms = st.permissions();
    }
    const std::optional<std::string> written = IniWithValue(content, section, key, value);
    return written && ReplaceFile(target, *written, perms);
}

}  // namespace quorvane
