#pragma once

#include <QString>
#include <functional>
#include <string>

#include "platform/port_enumeration.h"

namespace quorvane {

// The serial ports QSerialPortInfo finds, with their persistent names from the links under
// /dev/serial/by-id and /dev/serial/by-path. Whether a port can be opened is told by the
// file's presence and permissions and, when probing, by opening it without blocking and closing
// it at once: only that tells a port another program holds (the program's own serial port
// opens devices exclusively, and so do most others).
class QtPortEnumeration final : public IPortEnumeration {
  public:
    // openHere: the path this program's own port has open (empty when none), which is never
    // probed. serialLinks: where the by-id and by-path directories are.
    explicit QtPortEnumeration(std::function<std::string()> openHere = {},
                               QString serialLinks = QStringLiteral("/dev/serial"));

    std::vector<SerialPortEntry> Ports(bool probeOpen) override;
    PortAccess Access(const std::string& path) override;

  private:
    std::function<std::string()> openHere_;
    QString serialLinks_;
};

}  // namespace quorvane
