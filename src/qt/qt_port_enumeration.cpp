#include "qt/qt_port_enumeration.h"

#include <fcntl.h>
#include <grp.h>
#include <sys/stat.h>
#include <unistd.h>

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

}  // namespace

QtPortEnumeration::QtPortEnumeration(std::function<std::string()> openHere, QString serialLinks)
    : openHere_(std::move(openHere)), serialLinks_(std::move(serialLinks)) {}

PortAccess QtPortEnumeration::Access(const std::string& path) {
    if (path.empty()) {
        return PortAccess::Missing;
    }
    if (::access(path.c_str(), R_OK | W_OK) == 0) {
        return PortAccess::Usable;
    }
    return FromErrno(errno);
}

std::vector<SerialPortEntry> QtPortEnumeration::Ports(bool probeOpen) {
    const auto byId = LinksIn(serialLinks_ + QStringLiteral("/by-id"));
    const auto byPath = LinksIn(serialLinks_ + QStringLiteral("/by-path"));
    const std::string here = openHere_ ? openHere_() : std::string();
    const QString hereCanonical = QFileInfo(ToQString(here)).canonicalFilePath();

    std::vector<SerialPortEntry> ports;
    for (const QSerialPortInfo& info : QSerialPortInfo::availablePorts()) {
        SerialPortEntry entry;
        const QString device = info.systemLocation();
        entry.device = FromQString(device);
        entry.description = FromQString(info.description());
        entry.manufacturer = FromQString(info.manufacturer());
        entry.serialNumber = FromQString(info.serialNumber());
        if (info.hasVendorIdentifier() && info.hasProductIdentifier()) {
            entry.vendorId = info.vendorIdentifier();
            entry.productId = info.productIdentifier();
        }
        const QString canonical = QFileInfo(device).canonicalFilePath();
        if (const auto it = byId.find(canonical); it != byId.end()) {
            entry.byId = FromQString(it->second);
        }
        if (const auto it = byPath.find(canonical); it != byPath.end()) {
            entry.byPath = FromQString(it->second);
        }
        struct stat st {};
        if (::stat(entry.device.c_str(), &st) == 0) {
            entry.group = GroupOf(st);
        }
        entry.access = Access(entry.device);
        if (!hereCanonical.isEmpty() && canonical == hereCanonical) {
            entry.access = PortAccess::OpenHere;
        } else if (probeOpen && entry.access == PortAccess::Usable) {
            const int fd = ::open(entry.device.c_str(), O_RDWR | O_NOCTTY | O_NONBLOCK | O_CLOEXEC);
            if (fd >= 0) {
                ::close(fd);
            } else {
                entry.access = FromErrno(errno);
                entry.error = std::strerror(errno);
            }
        }
        ports.push_back(std::move(entry));
    }
    return ports;
}

}  // namespace quorvane
