#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QDir>
#include <QFile>

#include "qt/qt_platform.h"
#include "qt/qt_port_enumeration.h"
#include "qt/settings_location.h"
#include "settings/ini_file_store.h"
#include "support/temp_dir.h"

namespace quorvane {
namespace {

TEST(SettingsLocation, TheProgramsDirectoryWhileWritableElseThePerUserOneStartedFromItsFile) {
    test::TempDir dir;
    const QString program = QString::fromStdString(dir.File("bin"));
    const QString user = QString::fromStdString(dir.File("home/quorvane-adj"));
    ASSERT_TRUE(QDir().mkpath(program));
    EXPECT_EQ(ChooseSettingsDirectory(program, user), program);
    EXPECT_FALSE(QDir(user).exists());  // nothing made while it is not needed
    // A writable file is no directory for it.
    EXPECT_EQ(ChooseSettingsDirectory(QCoreApplication::applicationFilePath(), user), user);
    EXPECT_TRUE(QDir(user).isEmpty());  // nothing beside the program to start from

    IniFileStore store;
    const std::string installed = dir.File("bin/QUORVAADJ.rs");
    const std::string own = dir.File("home/quorvane-adj/QUORVAADJ.rs");
    ASSERT_TRUE(store.WriteProfileString("PORTS", "COM1", "/dev/ttyUSB0", installed));
    QFile::setPermissions(QString::fromStdString(installed), QFile::ReadOwner);
    EXPECT_EQ(ChooseSettingsDirectory(program, false, user), user);
    EXPECT_EQ(store.GetProfileString("PORTS", "COM1", "", 255, own), "/dev/ttyUSB0");
    EXPECT_TRUE(store.WriteProfileString("PORTS", "COM1", "/dev/ttyACM0", own));  // writable
    EXPECT_EQ(ChooseSettingsDirectory(program, false, user), user);
    EXPECT_EQ(store.GetProfileString("PORTS", "COM1", "", 255, own), "/dev/ttyACM0");  // kept
}

TEST(SettingsLocation, ThePerUserDirectoryIsQuorvaneAdjInTheUsersConfigurationDirectory) {
    test::TempDir dir;
    const QByteArray before = qgetenv("XDG_CONFIG_HOME");
    qputenv("XDG_CONFIG_HOME", dir.File("config").c_str());
    EXPECT_EQ(UserSettingsDirectory(), QString::fromStdString(dir.File("config/quorvane-adj")));
    qputenv("XDG_CONFIG_HOME", before);
}

// Each Windows difference of the Qt layer, run here on Linux, beside the Linux way.
TEST(SettingsLocation, WindowsAndLinuxEachNameFoldersLocksAndPortsTheirWay) {
    using enum HostSystem;
    EXPECT_EQ(NativePath(QStringLiteral("C:/Users/tech/AppData/Local/quorvane-adj"), Windows),
              QStringLiteral("C:\\Users\\tech\\AppData\\Local\\quorvane-adj"));
    EXPECT_EQ(NativePath(QStringLiteral("/home/tech/.config/quorvane-adj"), Linux),
              QStringLiteral("/home/tech/.config/quorvane-adj"));

    test::TempDir dir;
    const QString folder = QString::fromStdString(dir.path().string());
    const QString file = QString::fromStdString(dir.File("file"));
    ASSERT_TRUE(QFile(file).open(QIODevice::WriteOnly));
    for (HostSystem system : {Linux, Windows}) {
        EXPECT_TRUE(DirectoryWritable(folder, system));
        EXPECT_FALSE(DirectoryWritable(file, system));
        EXPECT_FALSE(DirectoryWritable(folder + QStringLiteral("/none"), system));
    }
    EXPECT_EQ(QDir(folder).entryList(QDir::NoDotAndDotDot | QDir::AllEntries),
              QStringList{QStringLiteral("file")});  // the probe leaves nothing behind

    const QString temp = QStringLiteral("C:/Users/tech/AppData/Local/Temp");
    EXPECT_EQ(InstanceLockDirectory(QStringLiteral("C:/Users/tech"), temp, Windows), temp);
    EXPECT_EQ(
        InstanceLockDirectory(QStringLiteral("/run/user/1000"), QStringLiteral("/tmp"), Linux),
        QStringLiteral("/run/user/1000"));
    EXPECT_EQ(InstanceLockDirectory(QString(), QStringLiteral("/tmp"), Linux),
              QStringLiteral("/tmp"));

    EXPECT_EQ(PortDeviceName(QStringLiteral("\\\\.\\COM3"), QStringLiteral("COM3"), Windows),
              QStringLiteral("COM3"));
    EXPECT_EQ(PortDeviceName(QStringLiteral("/dev/ttyUSB0"), QStringLiteral("ttyUSB0"), Linux),
              QStringLiteral("/dev/ttyUSB0"));
    EXPECT_EQ(AccessAfterOpenError(QSerialPort::PermissionError, Windows), PortAccess::Busy);
    EXPECT_EQ(AccessAfterOpenError(QSerialPort::PermissionError, Linux), PortAccess::NoPermission);
    EXPECT_EQ(AccessAfterOpenError(QSerialPort::DeviceNotFoundError, Windows), PortAccess::Missing);
    EXPECT_EQ(AccessAfterOpenError(QSerialPort::OpenError, Linux), PortAccess::Failed);

    // The enumeration's Windows way: COM names the system does not list are missing, and no
    // port found here gets a path or a persistent name.
    QtPortEnumeration windows({}, QStringLiteral("/dev/serial"), Windows);
    EXPECT_EQ(windows.Access("COM7"), PortAccess::Missing);
    EXPECT_EQ(windows.Access(""), PortAccess::Missing);
    for (const SerialPortEntry& port : windows.Ports(false)) {
        EXPECT_EQ(port.device.find('/'), std::string::npos) << port.device;
        EXPECT_EQ(port.byId + port.byPath + port.group, "");
    }
}

}  // namespace
}  // namespace quorvane
