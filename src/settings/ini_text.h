#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace quorvane {

// The text of an INI settings file, apart from any file: what a key reads as and what the
// text becomes when a key is written. IniFileStore puts the file around these.
//
// Reading: lines "[section]" and "key=value"; names are matched without regard to ASCII case,
// blanks (spaces and tabs) around names and values are dropped, lines starting with ';' or '#'
// are comments, a line without '=' is no key. When a section or a key occurs more than once
// the first one wins, for reads and for writes; later ones are kept but never used. A "\r" at
// the very end is a "\r\n" cut short.
//
// Writing: an existing key is replaced in place, a new key goes after the last entry of its
// section, a new section at the end; every other byte stays as it was. A new text gets "\n"
// line endings (the platform's own on Windows); an existing one keeps the ending of its first
// line.

// The value of key in section, or nothing when the section or the key is missing.
std::optional<std::string> IniValue(std::string_view content, std::string_view section,
                                    std::string_view key);

// content with key=value written into section; nothing when a name or the value cannot be
// stored as one line: an empty name, a line break or NUL anywhere, ']' in the section, '='
// in the key, or a key that would read as a section or a comment.
std::optional<std::string> IniWithValue(std::string_view content, std::string_view section,
                                        std::string_view key, std::string_view value);

}  // namespace quorvane
