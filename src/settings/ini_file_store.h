#pragma once

#include <cstddef>
#include <string>

#include "platform/profile_file.h"

namespace quorvane {

// The profile seam on an INI text file: the text rules are those of ini_text.h. A write puts
// the new text in a file beside the old one and renames it over it, so a failed write leaves
// the old file whole and reports false.
//
// A file that is not a plain text settings file (not a regular file, unreadable, larger than
// kMaxFileSize, or holding a NUL byte) gives the default on reads and is never rewritten.
class IniFileStore final : public IProfileFile {
  public:
    // A settings file holds a few short lines; anything this large is not one of ours.
    static constexpr std::size_t kMaxFileSize = std::size_t{1} << 20;

    std::string GetProfileString(const std::string& section, const std::string& key,
                                 const std::string& defaultValue, std::size_t bufferSize,
                                 const std::string& file) override;

    // Also false, writing nothing, when IniWithValue refuses the names or the value.
    bool WriteProfileString(const std::string& section, const std::string& key,
                            const std::string& value, const std::string& file) override;
    std::string WriteFailure() const override { return writeFailure_; }

  private:
    bool Write(const std::string& section, const std::string& key, const std::string& value,
               const std::string& file);

    std::string writeFailure_;
};

}  // namespace quorvane
