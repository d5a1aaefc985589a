#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace quorvane {

// What opening a serial device would meet now.
enum class PortAccess {
    Usable,
    OpenHere,      // this program has it open
    Missing,       // no such device (a cable unplugged, a link left dangling)
    Busy,          // another program has it open
    NoPermission,  // this user may not open it
    Failed,        // refused for another reason (SerialPortEntry::error says which)
};

// One serial port present on the machine.
struct SerialPortEntry {
    std::string device;  // the system's path, e.g. "/dev/ttyUSB0"
    std::string description;
    std::string manufacturer;
    std::string serialNumber;
    std::optional<std::uint16_t> vendorId;
    std::optional<std::uint16_t> productId;
    // Persistent names: the link under /dev/serial/by-id/ (for the cable, whichever socket it
    // is plugged into) and under /dev/serial/by-path/ (for the socket); empty when none.
    std::string byId;
    std::string byPath;
    std::string group;  // the group that owns the device, e.g. "dialout"
    PortAccess access = PortAccess::Usable;
    std::string error;  // the system's words when access is Failed
};

// The port-enumeration seam: the serial ports present (QSerialPortInfo in the program, a fixed
// list in tests).
class IPortEnumeration {
  public:
    virtual ~IPortEnumeration() = default;
    // The ports present, by device path. probeOpen: find out whether each can be opened by
    // opening and closing it at once (which tells a busy device); without it only the file's
    // presence and permissions are looked at, and nothing is opened.
    virtual std::vector<SerialPortEntry> Ports(bool probeOpen) = 0;
    // What opening path (any device or link, also one not in the list) would meet, judged from
    // the file's presence and permissions alone.
    virtual PortAccess Access(const std::string& path) = 0;
};

}  // namespace quorvane
