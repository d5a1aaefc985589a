#include "settings/profile_io.h"

#include <algorithm>
#include <optional>
#include <utility>

namespace quorvane {

namespace {

#ifdef _WIN32
constexpr char kSeparator = '\\';
constexpr bool kDriveColon = true;
#else
constexpr char kSeparator = '/';
constexpr bool kDriveColon = false;  // a colon is an ordinary file-name character here
#endif

bool IsSeparator(char c) {
    return c == '/' || c == '\\';
}

// Appends the separator unless the directory already ends in one (the root stays the root).
// Choice: an empty directory stays empty, so the file is taken relative to
// the working directory and never silently moved to the root.
std::string WithSeparator(const std::string& dir) {
    if (dir.empty() || IsSeparator(dir.back())) {
        return dir;
    }
    return dir + kSeparator;
}

}  // namespace

clsCmcProfileIO::clsCmcProfileIO(IProfileFile& file, std::string programDirectory)
    : file_(file), programDirectory_(std::move(programDirectory)) {}

void clsCmcProfileIO::SetCurrentPath() {
    path_ = WithSeparator(programDirectory_);
}

void clsCmcProfileIO::FullPath(const std::string& fullPath) {
    const std::string dir = GetPathName(fullPath);
    path_ = (dir.size() == 1 && IsSeparator(dir[0])) ? dir : dir + kSeparator;
    name_ = GetFileName(fullPath);
}

bool clsCmcProfileIO::saveData(const std::string& sKey, const ProfileValue& sData) {
    const std::optional<std::string> text = ProfileText(sData);
    if (!text) {
        return false;
    }
    return file_.WriteProfileString(section_, sKey, *text, GetMyProfile());
}

bool clsCmcProfileIO::loadData(const std::string& sKey, ProfileValue& sData) {
    const ProfileValue current = sData;
    return Load(sKey, sData, current);
}

bool clsCmcProfileIO::loadData(const std::string& sKey, ProfileValue& sData,
                               const ProfileValue& sDefaultData) {
    if (std::holds_alternative<std::monostate>(sData) || sDefaultData.index() != sData.index()) {
        return false;
    }
    return Load(sKey, sData, sDefaultData);
}

bool clsCmcProfileIO::Load(const std::string& sKey, ProfileValue& sData,
                           const ProfileValue& sDefaultData) {
    if (std::holds_alternative<std::monostate>(sData)) {
        return false;
    }
    // A date default is written in the stored form too, so a missing key yields the default.
    const std::optional<std::string> defaultText = ProfileText(sDefaultData);
    if (!defaultText) {
        return false;
    }
    std::string text =
        file_.GetProfileString(section_, sKey, *defaultText, kBufferSize, GetMyProfile());
    if (text.empty()) {
        return false;
    }
    text.resize(std::min(text.size(), kBufferSize - 1));
    text = StripTerminator(text);
    text.erase(text.find_last_not_of(' ') + 1);
    return ParseProfileText(text, sData);
}

std::string clsCmcProfileIO::StripTerminator(const std::string& StrString) {
    return StrString.substr(0, StrString.find('\0'));
}

std::string clsCmcProfileIO::GetFileName(const std::string& strPath) {
    for (std::size_t i = strPath.size(); i > 0; --i) {
        const char c = strPath[i - 1];
        if (IsSeparator(c) || (kDriveColon && c == ':')) {
            return strPath.substr(i);
        }
    }
    return strPath;
}

std::string clsCmcProfileIO::GetPathName(const std::string& strFilename) const {
    std::string s = strFilename;
    for (char& c : s) {
        if (IsSeparator(c)) {
            c = kSeparator;
        }
    }
    std::size_t n = s.size();
    const std::size_t first = s.find(kSeparator);
    if (s.empty() || first + 1 == s.size()) {
        if (n > 1) {
            --n;
        }
    } else {
        const std::size_t last = s.rfind(kSeparator);
        n = last == std::string::npos ? 0 : last + 1;
    }
    if (n < 1) {
        return programDirectory_;
    }
    std::string dir = s.substr(0, n);
    if (dir.back() == ':') {
        dir += kSeparator;
    }
    if (dir.back() == kSeparator) {
        dir.pop_back();
    }
    return dir;
}

}  // namespace quorvane
