// The settings file's text on arbitrary contents, in memory: every read, then one write that
// is refused exactly when the value cannot be one line, and otherwise changes only the key
// written; the same text as a typed value converts back to the text it is written as.
#include <strings.h>

#include <array>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "fuzz_input.h"
#include "settings/ini_text.h"
#include "settings/profile_value.h"

namespace {

constexpr std::array<const char*, 5> kSections = {"OPTION", "option", "PORTS",
                                                  "Quorvane ADJ Rev.2.0", " x "};
constexpr std::array<const char*, 6> kKeys = {"ComPort", "comautorelease", "COM1", "a", "=", ""};

std::string_view Trimmed(std::string_view s) {
    while (!s.empty() && (s.front() == ' ' || s.front() == '\t')) {
        s.remove_prefix(1);
    }
    while (!s.empty() && (s.back() == ' ' || s.back() == '\t')) {
        s.remove_suffix(1);
    }
    return s;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    using namespace quorvane;
    fuzz::FuzzInput in(data, size);
    const std::uint8_t choice = in.Byte();
    const std::string value = BytesToText(in.Take(choice % 8));
    const std::string content = BytesToText(in.Rest());

    const std::array<ProfileValue, 9> kinds = {
        ProfileValue{Int16{0}}, ProfileValue{Int32{0}},      ProfileValue{std::uint8_t{0}},
        ProfileValue{0.0f},     ProfileValue{0.0},           ProfileValue{Currency{}},
        ProfileValue{Date{}},   ProfileValue{std::string()}, ProfileValue{false}};
    ProfileValue typed = kinds[choice % kinds.size()];
    if (ParseProfileText(content, typed)) {
        const auto text = ProfileText(typed);
        QUORVANE_FUZZ_CHECK(text.has_value());
        ProfileValue again = kinds[choice % kinds.size()];
        QUORVANE_FUZZ_CHECK(ParseProfileText(*text, again) && again == typed);
    }

    std::array<std::optional<std::string>, kSections.size() * kKeys.size()> before;
    for (std::size_t i = 0; i < before.size(); ++i) {
        before[i] = IniValue(content, kSections[i / kKeys.size()], kKeys[i % kKeys.size()]);
    }
    const char* section = kSections[choice % 4];
    const char* key = kKeys[(choice / 4) % 4];
    const auto written = IniWithValue(content, section, key, value);
    const bool oneLine = value.find_first_of(std::string_view("\r\n\0", 3)) == std::string::npos;
    QUORVANE_FUZZ_CHECK(written.has_value() == oneLine);
    if (!written) {
        return 0;
    }
    QUORVANE_FUZZ_CHECK(IniValue(*written, section, key) == Trimmed(value));
    QUORVANE_FUZZ_CHECK(IniWithValue(*written, section, key, value) == written);
    for (std::size_t i = 0; i < before.size(); ++i) {
        const char* s = kSections[i / kKeys.size()];
        const char* k = kKeys[i % kKeys.size()];
        if (strcasecmp(s, section) != 0 || strcasecmp(k, key) != 0) {
            QUORVANE_FUZZ_CHECK(IniValue(*written, s, k) == before[i]);
        }
    }
    return 0;
}
