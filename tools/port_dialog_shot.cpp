// quorvane-port-dialog-shot FILE: a picture of Option > Serial device... for the documentation,
// on the program's real dialog and window, with a fixed list of typical cables in place of the
// ports of the machine it runs on: a cable with a serial number of its own, and two identical
// adapters without one (told apart by their sockets' by-path names).
#include <QApplication>
#include <QTimer>
#include <QTreeWidget>
#include <cstdio>

#include "qt/qt_platform.h"
#include "qt/qt_port_dialog.h"
#include "qt/qt_program.h"

namespace {

using namespace quorvane;

struct ExamplePorts final : IPortEnumeration {
    std::vector<SerialPortEntry> Ports(bool) override {
        const std::string path = "/dev/serial/by-path/pci-0000:00:14.0-usb-0:";
        return {
            {"/dev/ttyS0", "", "", "", {}, {}, "", "", "dialout", PortAccess::Usable, ""},
            {"/dev/ttyUSB0", "FT232R USB UART", "FTDI", "A50285BI", 0x0403, 0x6001,
             "/dev/serial/by-id/usb-FTDI_FT232R_USB_UART_A50285BI-if00-port0", path + "1:1.0-port0",
             "dialout", PortAccess::Usable, ""},
            {"/dev/ttyUSB1", "USB Serial", "QinHeng Electronics", "", 0x1a86, 0x7523,
             "/dev/serial/by-id/usb-1a86_USB_Serial-if00-port0", path + "2:1.0-port0", "dialout",
             PortAccess::Busy, ""},
            {"/dev/ttyUSB2", "USB Serial", "QinHeng Electronics", "", 0x1a86, 0x7523, "",
             path + "3:1.0-port0", "dialout", PortAccess::NoPermission, ""},
        };
    }
    PortAccess Access(const std::string&) override { return PortAccess::Usable; }
};

struct NoProcess final : IProcessServices {
    bool ClaimSingleInstance() override { return true; }
    std::string ProgramDirectory() override { return {}; }
    void EndProcess() override {}
};

}  // namespace

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    ConfigureApplication(app);
    if (argc != 3) {
        std::fprintf(stderr, "usage: quorvane-port-dialog-shot SETTINGS-DIR FILE.png\n");
        return 2;
    }
    NoProcess process;
    ExamplePorts ports;
    QtProgram program(process, argv[1], {}, &ports);
    program.Show();
    int status = 1;
    program.onPortDialog([&](QDialog& dialog) {
        // The second of the twins chosen: its socket's name is what would be stored.
        auto* list = dialog.findChild<QTreeWidget*>(QStringLiteral("ports"));
        list->setCurrentItem(list->topLevelItem(3));
        QTimer::singleShot(300, [&] {
            QPixmap shot = dialog.grab();
            status = shot.save(QString::fromLocal8Bit(argv[2])) ? 0 : 1;
            dialog.reject();
        });
    });
    program.ChooseSerialDevice();
    return status;
}
