#include "settings/port_map.h"

#include <cstddef>

namespace quorvane {

namespace {
// The profile functions' value buffer, terminating NUL included.
constexpr std::size_t kBufferSize = 255;
}  // namespace

std::string DefaultComPortDevice(Int16 portNo, HostSystem system) {
    if (portNo < 1) {
        return {};
    }
    return system == HostSystem::Windows ? "COM" + std::to_string(portNo)
                                         : "/dev/ttyS" + std::to_string(portNo - 1);
}

std::string ComPortDevice(IProfileFile& store, const std::string& settingsFile, Int16 portNo) {
    if (portNo < 1) {
        return {};
    }
    std::string device = store.GetProfileString(kPortsSection, "COM" + std::to_string(portNo), "",
                                                kBufferSize, settingsFile);
    device = device.substr(0, device.find('\0'));
    const std::size_t last = device.find_last_not_of(" \t");
    device.erase(last == std::string::npos ? 0 : last + 1);
    const std::size_t first = device.find_first_not_of(" \t");
    device.erase(0, first == std::string::npos ? device.size() : first);
    return device.empty() ? DefaultComPortDevice(portNo) : device;
}

bool SetComPortDevice(IProfileFile& store, const std::string& settingsFile, Int16 portNo,
                      const std::string& device) {
    return store.WriteProfileString(kPortsSection, "COM" + std::to_string(portNo), device,
                                    settingsFile);
}

}  // namespace quorvane
