#include <gtest/gtest.h>

#include <QDir>
#include <QFile>

#include "qt/settings_location.h"
#include "support/file_text.h"
#include "support/temp_dir.h"

namespace quorvane {
namespace {

TEST(SettingsLocation, TheProgramsDirectoryWhileWritableElseAPerUserCopyThatIsKept) {
    test::TempDir dir;
    const QString program = QString::fromStdString(dir.File("bin"));
    const QString user = QString::fromStdString(dir.File("home/.config/quorvane-adj"));
    ASSERT_TRUE(QDir().mkpath(program));
    EXPECT_EQ(ChooseSettingsDirectory(program, user), program);
    EXPECT_EQ(ChooseSettingsDirectory(program + "/gone", user), user);
    EXPECT_TRUE(QDir(user).exists() && QDir(user).isEmpty());  // nothing beside it to copy

    test::WriteFile(dir.File("bin/QUORVAADJ.rs"), "[PORTS]\nCOM1=/dev/ttyUSB0\n");
    QFile::setPermissions(program + "/QUORVAADJ.rs", QFile::ReadOwner);
    ASSERT_EQ(ChooseSettingsDirectory(program, false, user), user);
    const std::string own = dir.File("home/.config/quorvane-adj/QUORVAADJ.rs");
    EXPECT_EQ(test::ReadFile(own), "[PORTS]\nCOM1=/dev/ttyUSB0\n");
    test::WriteFile(own, "[PORTS]\nCOM1=/dev/ttyACM0\n");
    ASSERT_EQ(ChooseSettingsDirectory(program, false, user), user);
    EXPECT_EQ(test::ReadFile(own), "[PORTS]\nCOM1=/dev/ttyACM0\n");  // never replaced
}

}  // namespace
}  // namespace quorvane
