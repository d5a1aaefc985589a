#pragma once

#include <string>

#include "platform/checked.h"
#include "platform/host_system.h"
#include "platform/profile_file.h"

namespace quorvane {

// The settings file's section that maps port numbers to devices, e.g. "COM1=/dev/ttyUSB0".
inline constexpr char kPortsSection[] = "PORTS";

// The system's own name for COM port portNo: "/dev/ttyS<portNo-1>" on Linux, "COM<portNo>"
// on Windows; empty for a number below 1, which names no port.
std::string DefaultComPortDevice(Int16 portNo, HostSystem system = kThisSystem);

// The device of COM port portNo: key "COM<portNo>" of section "PORTS" in settingsFile when it
// is set and not blank, else DefaultComPortDevice.
std::string ComPortDevice(IProfileFile& store, const std::string& settingsFile, Int16 portNo);

// Makes COM port portNo open device (empty: the default again), changing that one key and
// keeping every other line of settingsFile; false when the file cannot be written.
bool SetComPortDevice(IProfileFile& store, const std::string& settingsFile, Int16 portNo,
                      const std::string& device);

}  // namespace quorvane
