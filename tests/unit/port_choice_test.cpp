#include <gtest/gtest.h>

#include "settings/port_choice.h"

namespace quorvane {
namespace {

const std::string kById = "/dev/serial/by-id/";
const std::string kByPath = "/dev/serial/by-path/pci-0000:00:14.0-usb-0:";

SerialPortEntry Port(std::string device, std::string serial, std::string byId, std::string byPath,
                     PortAccess access, std::string group = "dialout") {
    return {device, "USB Serial", "QinHeng", serial, 0x1a86, 0x7523,
            byId,   byPath,       group,     access, ""};
}

TEST(PortChoice, TheCablesOwnByIdNameElseTheSocketsByPathNameElseTheDevice) {
    // Two identical adapters without serial numbers: the second's link took their one by-id
    // name. A third with a serial number of its own; a built-in port without links.
    const std::vector<PortRow> rows = PortRows({
        Port("/dev/ttyUSB0", "", "", kByPath + "1:1.0-port0", PortAccess::Busy),
        Port("/dev/ttyUSB1", "", kById + "usb-1a86_USB_Serial-if00-port0", kByPath + "2:1.0-port0",
             PortAccess::NoPermission, "uucp"),
        Port("/dev/ttyUSB2", "A50285BI", kById + "usb-1a86_USB_Serial_A50285BI-if00-port0",
             kByPath + "3:1.0-port0", PortAccess::Usable),
        {"/dev/ttyS0", "", "", "", {}, {}, "", "", "root", PortAccess::Failed, "I/O error"},
    });
    ASSERT_EQ(rows.size(), 4u);
    EXPECT_EQ(rows[0].mapName, kByPath + "1:1.0-port0");
    EXPECT_EQ(rows[1].mapName, kByPath + "2:1.0-port0");
    EXPECT_EQ(rows[2].mapName, kById + "usb-1a86_USB_Serial_A50285BI-if00-port0");
    EXPECT_EQ(rows[3].mapName, "/dev/ttyS0");
    EXPECT_EQ(rows[0].access, "no: busy (another program has it open)");
    EXPECT_EQ(
        rows[1].access,
        "no: no permission (join the group uucp: sudo adduser $USER uucp, then log in again)");
    EXPECT_EQ(rows[3].access, "no: I/O error");
    EXPECT_EQ(PortListLine(rows[2]),
              "/dev/ttyUSB2  USB Serial  QinHeng  serial A50285BI  usb 1a86:7523  may open: yes  "
              "by-id: " +
                  kById + "usb-1a86_USB_Serial_A50285BI-if00-port0  by-path: " + kByPath +
                  "3:1.0-port0");
    EXPECT_EQ(PortListLine(rows[3]), "/dev/ttyS0  may open: no: I/O error");
    EXPECT_EQ(PortListText({rows[0], rows[3]}),
              "/dev/ttyUSB0  USB Serial  QinHeng  usb 1a86:7523  may open: no: busy (another "
              "program has it open)  by-path: " +
                  kByPath + "1:1.0-port0\n/dev/ttyS0  may open: no: I/O error\n");
    EXPECT_EQ(PortListText({}), "no serial port found\n");
    EXPECT_EQ(AccessText(PortAccess::NoPermission, "root"),
              "no: no permission (join the group dialout: sudo adduser $USER dialout, then log in "
              "again)");
    EXPECT_EQ(AccessShortText(PortAccess::OpenHere), "yes");
    EXPECT_EQ(MenuDeviceText("/dev/ttyUSB0", PortAccess::Missing), "/dev/ttyUSB0 (missing)");
    EXPECT_EQ(MenuDeviceText("/dev/ttyUSB0", PortAccess::Busy), "/dev/ttyUSB0");

    // The device dialog: Linux adds the persistent names; Windows, which has none, tells a
    // cable by what it is.
    EXPECT_EQ(PortColumns(HostSystem::Linux).back(), "/dev/serial/by-path/");
    EXPECT_EQ(PortColumnTexts(rows[1], HostSystem::Linux),
              (std::vector<std::string>{"/dev/ttyUSB1", "USB Serial", "QinHeng", "", "1a86:7523",
                                        "no: no permission", "usb-1a86_USB_Serial-if00-port0",
                                        "pci-0000:00:14.0-usb-0:2:1.0-port0"}));
    EXPECT_EQ(PortDetails(rows[3], HostSystem::Linux),
              "/dev/ttyS0  may open: no: I/O error\nby-id:   none\nby-path: none");
    const std::vector<PortRow> com = PortRows({{"COM3", "USB Serial Port", "FTDI", "A50285BI",
                                                0x0403, 0x6001, "", "", "", PortAccess::Busy, ""}});
    EXPECT_EQ(com[0].mapName, "COM3");
    EXPECT_EQ(PortColumns(HostSystem::Windows),
              (std::vector<std::string>{"Device", "Description", "Manufacturer", "Serial number",
                                        "USB id", "May open"}));
    EXPECT_EQ(PortColumnTexts(com[0], HostSystem::Windows),
              (std::vector<std::string>{"COM3", "USB Serial Port", "FTDI", "A50285BI", "0403:6001",
                                        "no: busy"}));
    EXPECT_EQ(PortDetails(com[0], HostSystem::Windows),
              "COM3  may open: no: busy (another program has it open)\nUSB Serial Port, made by "
              "FTDI\nserial number: A50285BI");
}

}  // namespace
}  // namespace quorvane
