#include "settings/settings_file.h"

#include <variant>

namespace quorvane {

bool LoadOption(clsCmcProfileIO& profile, const OptionKey& option, Int32& shared) {
    ProfileValue value = shared;
    if (!profile.loadData(option.key, value, ProfileValue{option.defaultValue})) {
        return false;
    }
    const Int32 read = std::get<Int32>(value);
    if (read < option.low || read > option.high) {
        return false;
    }
    shared = read;
    return true;
}

bool SaveOption(clsCmcProfileIO& profile, const OptionKey& option, Int16 value) {
    return profile.saveData(option.key, ProfileValue{value});
}

}  // namespace quorvane
