#include "qt/qt_port_enumeration.h"

#ifndef _WIN32
#include <fcntl.h>
#include <grp.h>
#include <sys/stat.h>
#include <unistd.h>
#endif

#include <QDir>
#include <QFileInfo>
#include <QSerialPortInfo>
#include <cerrno>
#include <cstring>
#include <map>

#include "qt/qt_text.h"

namespace quorvane {

namespace {

// Device path -> the link in directory that leads to it.
std::map<QString, QString> LinksIn(const QString& directory) {
    std::map<QString, QString> links;
    const QDir dir(directory);
    for (const QFileInfo& link :
         dir.entryInfoList(QDir::System | QDir::Files | QDir::NoDotAndDotDot)) {
        const QString target = link.canonicalFilePath();
        if (link.isSymLink() && !target.isEmpty()) {
            links.emplace(target, link.absoluteFilePath());
        }
    }
    return links;
}

// Whether the system lists a port of this COM name (Windows names are case-blind).
bool Listed(const QString& name) {
    for (const QSerialPortInfo& info : QSerialPortInfo::availablePorts()) {
        if (info.portName().compare(name, Qt::CaseInsensitive) == 0) {
            return true;
        }
    }
    return false;
}

// Opens the port and closes it at once; its access afterwards, and the system's words when
// it was refused for another reason.
PortAccess ProbeWithQt(const QSerialPortInfo& info, HostSystem system, std::string& error) {
    QSerialPort port(info);
    if (port.open(QIODevice::ReadWrite)) {
        port.close();
        return PortAccess::Usable;
    }
    error = FromQString(port.errorString());
    return AccessAfterOpenError(port.error(), system);
}

#ifndef _WIN32
std::string GroupOf(const struct stat& st) {
    const struct group* g = getgrgid(st.st_gid);
    return g != nullptr ? g->gr_name : std::to_string(st.st_gid);
}

PortAccess FromErrno(int error) {
    switch (error) {
        case ENOENT:
        case ENODEV:
        case ENXIO:
            return PortAccess::Missing;
        case EACCES:
        case EPERM:
            return PortAccess::NoPermission;
        case EBUSY:
            return PortAccess::Busy;
        default:
            return PortAccess::Failed;
    }
}
#endif

}  // namespace

QString PortDeviceName(const QString& systemLocation, const QString& portName, HostSystem system) {
    return system == HostSystem::Windows ? portName : systemLocation;
}

PortAccess AccessAfterOpenError(QSerialPort::SerialPortError error, HostSystem system) {
    switch (error) {
        case QSerialPort::NoError:
            return PortAccess::Usable;
        case QSerialPort::DeviceNotFoundError:
            return PortAccess::Missing;
        case QSerialPort::PermissionError:
            return system == HostSystem::Windows ? PortAccess::Busy : PortAccess::NoPermission;
        default:
            return PortAccess::Failed;
    }
}

QtPortEnumeration::QtPortEnumeration(std::function<std::string()> openHere, QString serialLinks,
                                     HostSystem system)
    : openHere_(std::move(openHere)), serialLinks_(std::move(serialLinks)), system_(system) {}

PortAccess QtPortEnumeration::Access(const std::string& path) {
    if (path.empty()) {
        return PortAccess::Missing;
    }
    if (system_ == HostSystem::Windows) {
        // A COM port is no file: it is there when the system lists it.
        return Listed(ToQString(path)) ? PortAccess::Usable : PortAccess::Missing;
    }
#ifndef _WIN32
    if (::access(path.c_str(), R_OK | W_OK) == 0) {
        return PortAccess::Usable;
    }
    return FromErrno(errno);
#else
    return PortAccess::Failed;
#endif
}

std::vector<SerialPortEntry> QtPortEnumeration::Ports(bool probeOpen) {
    const bool windows = system_ == HostSystem::Windows;
    const auto byId =
        windows ? std::map<QString, QString>() : LinksIn(serialLinks_ + QStringLiteral("/by-id"));
    const auto byPath =
        windows ? std::map<QString, QString>() : LinksIn(serialLinks_ + QStringLiteral("/by-path"));
    const std::string here = openHere_ ? openHere_() : std::string();
    const QString hereCanonical =
        windows ? ToQString(here).toUpper() : QFileInfo(ToQString(here)).canonicalFilePath();

    std::vector<SerialPortEntry> ports;
    for (const QSerialPortInfo& info : QSerialPortInfo::availablePorts()) {
        SerialPortEntry entry;
        const QString device = PortDeviceName(info.systemLocation(), info.portName(), system_);
        entry.device = FromQString(device);
        entry.description = FromQString(info.description());
        entry.manufacturer = FromQString(info.manufacturer());
        entry.serialNumber = FromQString(info.serialNumber());
        if (info.hasVendorIdentifier() && info.hasProductIdentifier()) {
            entry.vendorId = info.vendorIdentifier();
            entry.productId = info.productIdentifier();
        }
        const QString canonical =
            windows ? device.toUpper() : QFileInfo(device).canonicalFilePath();
        if (const auto it = byId.find(canonical); it != byId.end()) {
            entry.byId = FromQString(it->second);
        }
        if (const auto it = byPath.find(canonical); it != byPath.end()) {
            entry.byPath = FromQString(it->second);
        }
        entry.access = windows ? PortAccess::Usable : Access(entry.device);
#ifndef _WIN32
        struct stat st {};
        if (!windows && ::stat(entry.device.c_str(), &st) == 0) {
            entry.group = GroupOf(st);
        }
#endif
        if (!hereCanonical.isEmpty() && canonical == hereCanonical) {
            entry.access = PortAccess::OpenHere;
        } else if (probeOpen && entry.access == PortAccess::Usable) {
            if (windows) {
                entry.access = ProbeWithQt(info, system_, entry.error);
            } else {
#ifndef _WIN32
                const int fd =
                    ::open(entry.device.c_str(), O_RDWR | O_NOCTTY | O_NONBLOCK | O_CLOEXEC);
                if (fd >= 0) {
                    ::close(fd);
                } else {
                    entry.access = FromErrno(errno);
                    entry.error = std::strerror(errno);
                }
#endif
            }
        }
        ports.push_back(std::move(entry));
    }
    return ports;
}

}  // namespace quorvane
