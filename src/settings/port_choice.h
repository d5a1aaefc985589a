#pragma once

#include <string>
#include <vector>

#include "platform/port_enumeration.h"

namespace quorvane {

// One port as the device dialog and "quorvane-ports --list" show it.
struct PortRow {
    std::string device;
    std::string description;
    std::string manufacturer;
    std::string serialNumber;
    std::string usbIds;  // "0403:6001", empty when not a USB device
    std::string byId;
    std::string byPath;
    std::string access;  // "yes", or "no: " and why
    // What choosing the port stores for a COM port: the by-id name when it is the cable's own,
    // else the by-path name, else the device path.
    std::string mapName;
};

std::vector<PortRow> PortRows(const std::vector<SerialPortEntry>& ports);

// Whether the user may open the port, and if not, why and what to do about it.
std::string AccessText(PortAccess access, const std::string& group = {},
                       const std::string& error = {});

// The row as one line of text.
std::string PortListLine(const PortRow& row);

// What "quorvane-ports --list" prints: a line for every row, or "no serial port found".
std::string PortListText(const std::vector<PortRow>& rows);

// The text beside "COM &n" in the menu: the device it opens, or that the device is missing.
std::string MenuDeviceText(const std::string& device, PortAccess access);

}  // namespace quorvane
