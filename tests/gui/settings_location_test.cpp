#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QFileInfo>

#include "qt/settings_location.h"
#include "settings/ini_file_store.h"
#include "support/temp_dir.h"

namespace quorvane {
namespace {

QString Q(const std::string& s) {
    return QString::fromStdString(s);
}

TEST(SettingsLocation, TheProgramsDirectoryWhileItIsWritableElseThePerUserOne) {
    test::TempDir dir;
    const QString program = Q(dir.File("bin"));
    const QString user = Q(dir.File("home/.config/quorvane-adj"));
    ASSERT_TRUE(QDir().mkpath(program));

    EXPECT_EQ(ChooseSettingsDirectory(program, user), program);
    EXPECT_EQ(ChooseSettingsDirectory(program, true, user), program);
    EXPECT_FALSE(QFileInfo::exists(user));  // nothing made while it is not needed

    // A directory that is not there cannot take the file either.
    EXPECT_EQ(ChooseSettingsDirectory(Q(dir.File("gone")), user), user);
    EXPECT_TRUE(QFileInfo(user).isDir());
}

TEST(SettingsLocation, ThePerUserFileStartsAsACopyOfTheOneBesideTheProgram) {
    test::TempDir dir;
    const QString program = Q(dir.File("bin"));
    const QString user = Q(dir.File("home/.config/quorvane-adj"));
    ASSERT_TRUE(QDir().mkpath(program));
    IniFileStore store;
    const std::string installed = dir.File("bin/QUORVAADJ.rs");
    ASSERT_TRUE(store.WriteProfileString("PORTS", "COM1", "/dev/ttyUSB0", installed));
    QFile::setPermissions(Q(installed), QFile::ReadOwner | QFile::ReadGroup | QFile::ReadOther);

    ASSERT_EQ(ChooseSettingsDirectory(program, false, user), user);
    const std::string own = dir.File("home/.config/quorvane-adj/QUORVAADJ.rs");
    EXPECT_EQ(store.GetProfileString("PORTS", "COM1", "", 255, own), "/dev/ttyUSB0");
    EXPECT_TRUE(store.WriteProfileString("OPTION", "ComPort", "2", own));  // writable copy

    // Once there, the user's file is never replaced by the installed one.
    ASSERT_TRUE(store.WriteProfileString("PORTS", "COM1", "/dev/ttyACM0", own));
    ASSERT_EQ(ChooseSettingsDirectory(program, false, user), user);
    EXPECT_EQ(store.GetProfileString("PORTS", "COM1", "", 255, own), "/dev/ttyACM0");
    EXPECT_EQ(store.GetProfileString("OPTION", "ComPort", "", 255, own), "2");
}

TEST(SettingsLocation, NoFileBesideTheProgramLeavesThePerUserDirectoryEmpty) {
    test::TempDir dir;
    const QString user = Q(dir.File("u"));
    EXPECT_EQ(ChooseSettingsDirectory(Q(dir.File("bin")), false, user), user);
    EXPECT_TRUE(QDir(user).isEmpty());
}

}  // namespace
}  // namespace quorvane
