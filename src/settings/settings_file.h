#pragma once

#include <limits>

#include "platform/checked.h"
#include "platform/program_title.h"
#include "settings/profile_io.h"

namespace quorvane {

// The program's settings file, in the program's own directory.
inline constexpr char kSettingsFileName[] = "QUORVAADJ.rs";
// The section the profile store starts with; every read and write then uses kOptionSection.
inline constexpr const char* kSettingsInitialSection = kProgramTitle;
inline constexpr char kOptionSection[] = "OPTION";

// One stored option: its key, its default and the values that can be taken from the file.
struct OptionKey {
    const char* key;
    Int32 defaultValue;
    Int32 low;
    Int32 high;
};

// Choice: a stored port number must fit the 16-bit option.
inline constexpr OptionKey kComPortOption{"ComPort", 1, std::numeric_limits<Int16>::min(),
                                          std::numeric_limits<Int16>::max()};
// Choice: the release time is multiplied by 1000 in 16 bits, so 32 at most.
inline constexpr OptionKey kComAutoReleaseOption{"ComAutoRelease", 0, -32, 32};

// Reads option of the profile's current section into shared, a 32-bit integer updated in
// place (its value is kept when the read fails). A stored value outside option's range is
// refused like text that is no number: false, shared unchanged.
bool LoadOption(clsCmcProfileIO& profile, const OptionKey& option, Int32& shared);

// Writes value as option of the profile's current section; false when the file cannot be
// written.
bool SaveOption(clsCmcProfileIO& profile, const OptionKey& option, Int16 value);

}  // namespace quorvane
