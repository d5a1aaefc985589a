#pragma once

#include <cstddef>
#include <string>

#include "platform/profile_file.h"
#include "settings/profile_value.h"

namespace quorvane {

// Reads and writes single typed values of one INI-style settings file: the file is Path
// followed by Name, the values live in the current Section.
//
// Paths: '/' and '\' both separate when a path is split; joining uses the platform's own
// separator, so the file named by GetMyProfile is a real path on Linux as on Windows.
class clsCmcProfileIO {
  public:
    // The value buffer of the profile functions, terminating NUL included.
    static constexpr std::size_t kBufferSize = 255;

    // programDirectory: the program's own directory without a trailing separator, as the
    // process services give it; SetCurrentPath and GetPathName use it.
    clsCmcProfileIO(IProfileFile& file, std::string programDirectory);

    const std::string& Name() const { return name_; }
    void Name(const std::string& name) { name_ = name; }
    const std::string& Path() const { return path_; }
    void Path(const std::string& path) { path_ = path; }
    const std::string& Section() const { return section_; }
    void Section(const std::string& section) { section_ = section; }
    std::string FullPath() const { return path_ + name_; }
    // Splits the value into Path (with a trailing separator) and Name.
    void FullPath(const std::string& fullPath);

    // Path = the program's directory followed by a separator.
    void SetCurrentPath();
    // The file every read and write uses: Path followed by Name.
    std::string GetMyProfile() const { return path_ + name_; }

    // Writes sKey of Section as the text of sData; false when sData's type has no text
    // or the file cannot be written.
    bool saveData(const std::string& sKey, const ProfileValue& sData);
    // Reads sKey of Section into sData, converted to the type sData holds; its current value
    // is the default. False, leaving sData as it was, when nothing can be read or converted.
    bool loadData(const std::string& sKey, ProfileValue& sData);
    // As above with an explicit default, which must hold the same type as sData.
    bool loadData(const std::string& sKey, ProfileValue& sData, const ProfileValue& sDefaultData);

    // The text up to its first NUL.
    static std::string StripTerminator(const std::string& StrString);
    // The part after the last separator (or, on Windows, drive colon).
    static std::string GetFileName(const std::string& strPath);
    // The directory part of a path without a trailing separator; the program's directory
    // when the path has none.
    std::string GetPathName(const std::string& strFilename) const;
    // Returns str as it is: names keep their case.
    static std::string UCase16(const std::string& str) { return str; }

  private:
    bool Load(const std::string& sKey, ProfileValue& sData, const ProfileValue& sDefaultData);

    IProfileFile& file_;
    std::string programDirectory_;
    std::string name_ = "Profile.INI";
    std::string path_;
    std::string section_;
};

}  // namespace quorvane
