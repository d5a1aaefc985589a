#pragma once

#include <cstddef>
#include <string>

#include "platform/profile_file.h"

namespace quorvane {

// The profile seam on an INI text file.
//
// Reading: lines "[section]" and "key=value"; names are matched without regard to ASCII case,
// blanks (spaces and tabs) around names and values are dropped, lines starting with ';' or '#'
// are comments, a line without '=' is no key. When a section or a key occurs more than once
// the first one wins, for reads and for writes; later ones are kept but never used.
//
// Writing: an existing key is replaced in place, a new key goes after the last entry of its
// section, a new section at the end of the file; every other byte stays as it was. The new
// file is written beside the old one and renamed over it, so a failed write leaves the old
// file whole and reports false.
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

    // Also false, writing nothing, when a name or the value cannot be stored as one line:
    // an empty name, a line break or NUL anywhere, ']' in the section, '=' in the key, or a
    // key that would read as a section or a comment.
    bool WriteProfileString(const std::string& section, const std::string& key,
                            const std::string& value, const std::string& file) override;
};

}  // namespace quorvane
