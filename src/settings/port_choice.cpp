#include "settings/port_choice.h"

#include <cstdio>

namespace quorvane {

namespace {

std::string Hex4(std::uint16_t value) {
    char text[8];
    std::snprintf(text, sizeof text, "%04x", static_cast<unsigned>(value));
    return text;
}

// Two identical adapters without serial numbers (or with the same one) get the same by-id
// name, and the link of the last one plugged in replaces the other's: such a name does not
// tell which cable it is.
bool SharesItsById(const std::vector<SerialPortEntry>& ports, const SerialPortEntry& port) {
    for (const SerialPortEntry& other : ports) {
        if (&other != &port && other.vendorId == port.vendorId &&
            other.productId == port.productId && other.serialNumber == port.serialNumber &&
            other.description == port.description) {
            return true;
        }
    }
    return false;
}

}  // namespace

std::vector<PortRow> PortRows(const std::vector<SerialPortEntry>& ports) {
    std::vector<PortRow> rows;
    for (const SerialPortEntry& port : ports) {
        PortRow row{port.device,
                    port.description,
                    port.manufacturer,
                    port.serialNumber,
                    {},
                    port.byId,
                    port.byPath,
                    AccessText(port.access, port.group, port.error),
                    port.access,
                    port.error,
                    port.device};
        if (port.vendorId && port.productId) {
            row.usbIds = Hex4(*port.vendorId) + ":" + Hex4(*port.productId);
        }
        if (!port.byId.empty() && !SharesItsById(ports, port)) {
            row.mapName = port.byId;
        } else if (!port.byPath.empty()) {
            row.mapName = port.byPath;
        }
        rows.push_back(std::move(row));
    }
    return rows;
}

std::string AccessText(PortAccess access, const std::string& group, const std::string& error) {
    switch (access) {
        case PortAccess::Usable:
            return "yes";
        case PortAccess::OpenHere:
            return "yes (open in this program)";
        case PortAccess::Missing:
            return "no: missing";
        case PortAccess::Busy:
            return "no: busy (another program has it open)";
        case PortAccess::NoPermission: {
            const std::string g = group.empty() || group == "root" ? "dialout" : group;
            return "no: no permission (join the group " + g + ": sudo adduser $USER " + g +
                   ", then log in again)";
        }
        case PortAccess::Failed:
            break;
    }
    return "no: " + (error.empty() ? std::string("cannot be opened") : error);
}

std::string AccessShortText(PortAccess access, const std::string& error) {
    switch (access) {
        case PortAccess::Usable:
        case PortAccess::OpenHere:
            return "yes";
        case PortAccess::Busy:
            return "no: busy";
        case PortAccess::NoPermission:
            return "no: no permission";
        case PortAccess::Missing:
        case PortAccess::Failed:
            break;
    }
    return AccessText(access, {}, error);
}

std::string PortListLine(const PortRow& row) {
    std::string line = row.device;
    const std::pair<const char*, const std::string*> fields[] = {
        {"", &row.description},     {"", &row.manufacturer},     {"serial ", &row.serialNumber},
        {"usb ", &row.usbIds},      {"may open: ", &row.access}, {"by-id: ", &row.byId},
        {"by-path: ", &row.byPath},
    };
    for (const auto& [label, value] : fields) {
        if (!value->empty()) {
            line += "  ";
            line += label;
            line += *value;
        }
    }
    return line;
}

std::string PortListText(const std::vector<PortRow>& rows) {
    if (rows.empty()) {
        return "no serial port found\n";
    }
    std::string text;
    for (const PortRow& row : rows) {
        text += PortListLine(row) + "\n";
    }
    return text;
}

std::vector<std::string> PortColumns(HostSystem system) {
    std::vector<std::string> columns{"Device",        "Description", "Manufacturer",
                                     "Serial number", "USB id",      "May open"};
    if (system == HostSystem::Linux) {
        columns.insert(columns.end(), {"/dev/serial/by-id/", "/dev/serial/by-path/"});
    }
    return columns;
}

std::vector<std::string> PortColumnTexts(const PortRow& row, HostSystem system) {
    // The column says yes or no and the main reason; the details say what to do.
    std::vector<std::string> texts{
        row.device,       row.description, row.manufacturer,
        row.serialNumber, row.usbIds,      AccessShortText(row.accessState, row.accessError)};
    if (system == HostSystem::Linux) {
        for (const std::string* link : {&row.byId, &row.byPath}) {
            texts.push_back(link->substr(link->find_last_of('/') + 1));
        }
    }
    return texts;
}

std::string PortDetails(const PortRow& row, HostSystem system) {
    const auto orNone = [](const std::string& text) -> std::string {
        return text.empty() ? "none" : text;
    };
    std::string text = row.device + "  may open: " + row.access;
    if (system == HostSystem::Linux) {
        return text + "\nby-id:   " + orNone(row.byId) + "\nby-path: " + orNone(row.byPath);
    }
    return text + "\n" + orNone(row.description) + ", made by " + orNone(row.manufacturer) +
           "\nserial number: " + orNone(row.serialNumber);
}

std::string MenuDeviceText(const std::string& device, PortAccess access) {
    return access == PortAccess::Missing ? device + " (missing)" : device;
}

}  // namespace quorvane
