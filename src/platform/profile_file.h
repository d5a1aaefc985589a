#pragma once

#include <cstddef>
#include <string>

namespace quorvane {

// The profile-file seam: read and write one key of an INI file, the way the platform's
// profile functions do. Section and key names are matched without regard to case; a write
// creates the file and the section when needed, replaces an existing key in place and keeps
// every other line as it is.
class IProfileFile {
  public:
    virtual ~IProfileFile() = default;

    // The value of key in section of file, or defaultValue when the file, the section or the
    // key is missing; cut to bufferSize - 1 characters as a fixed buffer would cut it.
    virtual std::string GetProfileString(const std::string& section, const std::string& key,
                                         const std::string& defaultValue, std::size_t bufferSize,
                                         const std::string& file) = 0;

    // Writes key=value into section of file; false when the file cannot be written.
    virtual bool WriteProfileString(const std::string& section, const std::string& key,
                                    const std::string& value, const std::string& file) = 0;

    // Why the last write that returned false failed, in words ("Permission denied"); empty
    // when the store cannot tell.
    virtual std::string WriteFailure() const { return {}; }
};

}  // namespace quorvane
