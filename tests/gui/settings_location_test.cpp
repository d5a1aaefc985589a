#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QDir>
#include <QFile>

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

}  // namespace
}  // namespace quorvane
