#include "settings/ini_text.h"

#include <cstddef>
#include <vector>

namespace quorvane {

namespace {

// Choice: new files get the platform's own line ending; an existing file
// keeps the ending of its first line. Bytes are stored as given (the program writes ASCII).
#ifdef _WIN32
constexpr std::string_view kNativeNewLine = "\r\n";
#else
constexpr std::string_view kNativeNewLine = "\n";
#endif

constexpr std::string_view kUtf8Bom = "\xEF\xBB\xBF";

bool IsBlank(char c) {
    return c == ' ' || c == '\t';
}

std::string_view Trim(std::string_view s) {
    while (!s.empty() && IsBlank(s.front())) {
        s.remove_prefix(1);
    }
    while (!s.empty() && IsBlank(s.back())) {
        s.remove_suffix(1);
    }
    return s;
}

char LowerAscii(char c) {
    return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c;
}

bool EqualsNoCase(std::string_view a, std::string_view b) {
    if (a.size() != b.size()) {
        return false;
    }
    for (std::size_t i = 0; i < a.size(); ++i) {
        if (LowerAscii(a[i]) != LowerAscii(b[i])) {
            return false;
        }
    }
    return true;
}

enum class LineKind { Blank, Comment, Section, Entry, Other };

struct IniLine {
    std::size_t begin = 0;    // first byte of the line
    std::size_t textEnd = 0;  // end of its text, before "\r\n" or "\n" (or a final "\r")
    std::size_t end = 0;      // after its line ending
    LineKind kind = LineKind::Blank;
    std::string_view name;       // section or key, trimmed
    std::string_view value;      // entry value, trimmed
    bool endsInNewLine = false;  // its ending holds the "\n"
    bool HasEnding() const { return end > textEnd; }
};

IniLine Classify(std::string_view content, std::size_t begin, std::size_t textEnd,
                 std::size_t end) {
    IniLine line{begin, textEnd, end, LineKind::Blank, {}, {}};
    std::string_view text = content.substr(begin, textEnd - begin);
    if (begin == 0 && text.starts_with(kUtf8Bom)) {
        text.remove_prefix(kUtf8Bom.size());
    }
    text = Trim(text);
    if (text.empty()) {
        return line;
    }
    if (text.front() == ';' || text.front() == '#') {
        line.kind = LineKind::Comment;
    } else if (text.front() == '[') {
        const std::size_t close = text.find(']');
        if (close == std::string_view::npos) {
            line.kind = LineKind::Other;  // malformed header: neither a section nor a key
        } else {
            line.kind = LineKind::Section;
            line.name = Trim(text.substr(1, close - 1));
        }
    } else if (const std::size_t eq = text.find('='); eq != std::string_view::npos) {
        line.name = Trim(text.substr(0, eq));
        line.value = Trim(text.substr(eq + 1));
        line.kind = line.name.empty() ? LineKind::Other : LineKind::Entry;
    } else {
        line.kind = LineKind::Other;
    }
    return line;
}

std::vector<IniLine> SplitLines(std::string_view content) {
    std::vector<IniLine> lines;
    std::size_t begin = 0;
    while (begin < content.size()) {
        const std::size_t nl = content.find('\n', begin);
        std::size_t textEnd = nl == std::string_view::npos ? content.size() : nl;
        const std::size_t end = nl == std::string_view::npos ? content.size() : nl + 1;
        // A "\r" at the very end of the file is a "\r\n" cut short: an ending, not text, so that
        // the line reads the same before and after a write completes it.
        if (textEnd > begin && content[textEnd - 1] == '\r') {
            --textEnd;
        }
        lines.push_back(Classify(content, begin, textEnd, end));
        lines.back().endsInNewLine = nl != std::string_view::npos;
        begin = end;
    }
    return lines;
}

// Lines [header + 1, end) belong to the section whose header is at index header.
struct SectionSpan {
    std::size_t header = 0;
    std::size_t end = 0;
};

std::optional<SectionSpan> FindSection(const std::vector<IniLine>& lines,
                                       std::string_view section) {
    for (std::size_t i = 0; i < lines.size(); ++i) {
        if (lines[i].kind == LineKind::Section && EqualsNoCase(lines[i].name, section)) {
            std::size_t end = i + 1;
            while (end < lines.size() && lines[end].kind != LineKind::Section) {
                ++end;
            }
            return SectionSpan{i, end};
        }
    }
    return std::nullopt;
}

std::optional<std::size_t> FindKey(const std::vector<IniLine>& lines, SectionSpan span,
                                   std::string_view key) {
    for (std::size_t i = span.header + 1; i < span.end; ++i) {
        if (lines[i].kind == LineKind::Entry && EqualsNoCase(lines[i].name, key)) {
            return i;
        }
    }
    return std::nullopt;
}

bool HasLineBreakOrNul(std::string_view s) {
    return s.find_first_of(std::string_view("\r\n\0", 3)) != std::string_view::npos;
}

bool ValidSection(std::string_view section) {
    return !section.empty() && !HasLineBreakOrNul(section) &&
           section.find(']') == std::string_view::npos;
}

bool ValidKey(std::string_view key) {
    return !key.empty() && !HasLineBreakOrNul(key) && key.find('=') == std::string_view::npos &&
           key.front() != '[' && key.front() != ';' && key.front() != '#';
}

std::string_view NewLineOf(std::string_view content, const std::vector<IniLine>& lines) {
    for (const IniLine& line : lines) {
        if (line.endsInNewLine) {
            return content.substr(line.textEnd, line.end - line.textEnd);
        }
    }
    return kNativeNewLine;
}

// What completes the ending of a line before another is written after it: nothing when it has
// one, the "\n" of a "\r\n" cut short, else a whole line ending.
std::string_view EndingToAdd(const IniLine& line, std::string_view nl) {
    if (line.endsInNewLine) {
        return {};
    }
    return line.HasEnding() ? std::string_view("\n") : nl;
}

std::string WithEntry(std::string_view content, std::string_view section, std::string_view key,
                      std::string_view value) {
    const std::vector<IniLine> lines = SplitLines(content);
    const std::string_view nl = NewLineOf(content, lines);
    std::string entry;
    entry.append(key).append("=").append(value);

    std::string out;
    out.reserve(content.size() + entry.size() + section.size() + 8);
    const std::optional<SectionSpan> span = FindSection(lines, section);
    if (!span) {
        out.append(content);
        if (!lines.empty()) {
            out.append(EndingToAdd(lines.back(), nl));
            if (lines.back().kind != LineKind::Blank) {
                out.append(nl);
            }
        }
        out.append("[").append(section).append("]").append(nl);
        out.append(entry).append(nl);
        return out;
    }
    if (const std::optional<std::size_t> k = FindKey(lines, *span, key)) {
        // The line's own ending stays, whatever it is.
        out.append(content.substr(0, lines[*k].begin));
        out.append(entry);
        out.append(content.substr(lines[*k].textEnd));
        return out;
    }
    // After the section's last entry, so comments and blank lines before the next section
    // stay with that section.
    std::size_t after = span->header;
    for (std::size_t i = span->header + 1; i < span->end; ++i) {
        if (lines[i].kind == LineKind::Entry || lines[i].kind == LineKind::Other) {
            after = i;
        }
    }
    const IniLine& prev = lines[after];
    out.append(content.substr(0, prev.end));
    out.append(EndingToAdd(prev, nl));
    out.append(entry).append(nl);
    out.append(content.substr(prev.end));
    return out;
}

}  // namespace

std::optional<std::string> IniValue(std::string_view content, std::string_view section,
                                    std::string_view key) {
    const std::vector<IniLine> lines = SplitLines(content);
    if (const std::optional<SectionSpan> span = FindSection(lines, Trim(section))) {
        if (const std::optional<std::size_t> k = FindKey(lines, *span, Trim(key))) {
            // Quotes around a value are kept, so text reads back exactly as it was written.
            return std::string(lines[*k].value);
        }
    }
    return std::nullopt;
}

std::optional<std::string> IniWithValue(std::string_view content, std::string_view section,
                                        std::string_view key, std::string_view value) {
    const std::string_view sectionName = Trim(section);
    const std::string_view keyName = Trim(key);
    if (!ValidSection(sectionName) || !ValidKey(keyName) || HasLineBreakOrNul(value)) {
        return std::nullopt;
    }
    return WithEntry(content, sectionName, keyName, value);
}

}  // namespace quorvane
