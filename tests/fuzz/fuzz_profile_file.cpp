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

constexpr std::array<const char*, 4> kSections = {"OPTION", "ports", " x ", ""};
constexpr std::array<const char*, 4> kKeys = {"ComPort", "com1", "a", "="};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    using namespace quorvane;
    fuzz::FuzzInput in(data, size);
    const std::uint8_t choice = in.Byte();
    // Blanks around a value are not kept; x's around it make it read back as written.
    const std::string value = "x" + BytesToText(in.Take(choice % 8)) + "x";
    // A settings file holds a few short lines; every read splits the whole text again.
    const std::string content = BytesToText(in.Take(1024));

    const std::array<ProfileValue, 9> kinds = {
        ProfileValue{Int16{0}}, ProfileValue{Int32{0}},      ProfileValue{std::uint8_t{0}},
        ProfileValue{0.0f},     ProfileValue{0.0},           ProfileValue{Currency{}},
        ProfileValue{Date{}},   ProfileValue{std::string()}, ProfileValue{false}};
    ProfileValue typed = kinds[choice % kinds.size()];
    if (ParseProfileText(content, typed)) {
        const auto text = ProfileText(typed);
        ProfileValue again = kinds[choice % kinds.size()];
        QUORVANE_FUZZ_CHECK(text && ParseProfileText(*text, again) && again == typed);
    }

    std::array<std::optional<std::string>, kSections.size() * kKeys.size()> before;
    for (std::size_t i = 0; i < before.size(); ++i) {
        before[i] = IniValue(content, kSections[i / kKeys.size()], kKeys[i % kKeys.size()]);
    }
    const char* section = kSections[choice % 3];
    const char* key = kKeys[(choice / 4) % 3];
    const auto written = IniWithValue(content, section, key, value);
    const bool oneLine = value.find_first_of(std::string_view("\r\n\0", 3)) == std::string::npos;
    QUORVANE_FUZZ_CHECK(written.has_value() == oneLine);
    if (!written) {
        return 0;
    }
    QUORVANE_FUZZ_CHECK(IniValue(*written, section, key) == value);
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
