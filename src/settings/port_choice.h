#pragma once

#include <string>
#include <vector>

#include "platform/host_system.h"
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
    PortAccess accessState = PortAccess::Usable;
    std::string accessError;  // the system's words when accessState is Failed
    // What choosing the port stores for a COM port: the by-id name when it is the cable's own,
    // else the by-path name, else the device path.
    std::string mapName;
};

std::vector<PortRow> PortRows(const std::vector<SerialPortEntry>& ports);

// Whether the user may open the port, and if not, why and what to do about it.
std::string AccessText(PortAccess access, const std::string& group = {},
                       const std::string& error = {});
// The same in short for a column: "yes", "no: busy", "no: no permission".
std::string AccessShortText(PortAccess access, const std::string& error = {});

// The row as one line of text.
std::string PortListLine(const PortRow& row);

// What "quorvane-ports --list" prints: a line for every row, or "no serial port found".
std::string PortListText(const std::vector<PortRow>& rows);

// The headings of the device dialog's columns. The persistent names under /dev/serial are
// Linux's; Windows has none, and its ports are told apart by description, manufacturer and
// serial number, which the other columns show.
std::vector<std::string> PortColumns(HostSystem system = kThisSystem);
// The row in the dialog's columns, one text for each heading of PortColumns(system).
std::vector<std::string> PortColumnTexts(const PortRow& row, HostSystem system = kThisSystem);

// The lines below the dialog's list for the chosen row: its device and whether it may be
// opened, then its persistent names (Linux) or what it is (Windows).
std::string PortDetails(const PortRow& row, HostSystem system = kThisSystem);

// The text beside "COM &n" in the menu: the device it opens, or that the device is missing.
std::string MenuDeviceText(const std::string& device, PortAccess access);

}  // namespace quorvane
