#pragma once

#include <QSerialPort>
#include <QString>
#include <functional>
#include <string>

#include "platform/host_system.h"
#include "platform/port_enumeration.h"

namespace quorvane {

// The name a found port is shown, stored and opened by: on Linux its device path
// ("/dev/ttyUSB0"); on Windows its COM name ("COM3"), which QSerialPort opens and a user
// knows, rather than its system location ("\\.\COM3").
QString PortDeviceName(const QString& systemLocation, const QString& portName,
                       HostSystem system = kThisSystem);

// What a port that failed to open with error would meet. Windows gives a COM port to one
// program at a time and refuses the others access, so there a refusal means busy.
PortAccess AccessAfterOpenError(QSerialPort::SerialPortError error,
                                HostSystem system = kThisSystem);

// The serial ports QSerialPortInfo finds.
//
// Linux: with their persistent names from the links under /dev/serial/by-id and
// /dev/serial/by-path. Whether a port can be opened is told by the file's presence and
// permissions and, when probing, by opening it without blocking and closing it at once: only
// that tells a port another program holds (the program's own serial port opens devices
// exclusively, and so do most others).
//
// Windows: by COM name, without persistent names; a port is present when the system lists it,
// and probing opens and closes it with QSerialPort.
class QtPortEnumeration final : public IPortEnumeration {
  public:
    // openHere: the path this program's own port has open (empty when none), which is never
    // probed. serialLinks: where the by-id and by-path directories are.
    explicit QtPortEnumeration(std::function<std::string()> openHere = {},
                               QString serialLinks = QStringLiteral("/dev/serial"),
                               HostSystem system = kThisSystem);

    std::vector<SerialPortEntry> Ports(bool probeOpen) override;
    PortAccess Access(const std::string& path) override;

  private:
    std::function<std::string()> openHere_;
    QString serialLinks_;
    HostSystem system_;
};

}  // namespace quorvane
