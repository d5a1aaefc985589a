#include "settings/profile_io.h"
#include "support/file_text.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <limits>
#include <sstream>
#include <string>

#include "settings/ini_file_store.h"
#include "settings/port_map.h"
#include "settings/settings_file.h"
#include "rig/fake_profile_file.h"
#include "support/temp_dir.h"

namespace quorvane {
namespace {

namespace fs = std::filesystem;
using test::FakeProfileFile;
using test::TempDir;

using test::ReadFile;
using test::WriteFile;

// The profile store as the port form sets it up, on a real file in a temporary directory.
class ProfileIOTest : public ::testing::Test {
  protected:
    ProfileIOTest() {
        prof.SetCurrentPath();
        prof.Name(kSettingsFileName);
        prof.Section(kSettingsInitialSection);
    }

    // The main window's read of its options: one shared 32-bit variable, narrowed after each.
    void LoadLikeMainWindow(Int16& comPortNo, Int16& comAutoRelease) {
        prof.Section(kOptionSection);
        Int32 shared = 0;
        LoadOption(prof, kComPortOption, shared);
        comPortNo = To16(shared);
        LoadOption(prof, kComAutoReleaseOption, shared);
        comAutoRelease = To16(shared);
    }

    void WriteOptions(const std::string& content) { WriteFile(file, "[OPTION]\n" + content); }

    TempDir dir;
    IniFileStore store;
    clsCmcProfileIO prof{store, dir.path().string()};
    std::string file = dir.File("QUORVAADJ.rs");
};

TEST_F(ProfileIOTest, NamesAndPaths) {
    FakeProfileFile fake;
    clsCmcProfileIO p(fake, "/opt/quorvane");
    EXPECT_EQ(p.Name(), "Profile.INI");
    EXPECT_EQ(p.Path(), "");
    EXPECT_EQ(p.Section(), "");
    EXPECT_EQ(p.GetMyProfile(), "Profile.INI");
    p.SetCurrentPath();
    EXPECT_EQ(p.Path(), "/opt/quorvane/");
    EXPECT_EQ(p.GetMyProfile(), "/opt/quorvane/Profile.INI");
    EXPECT_EQ(prof.GetMyProfile(), file);

    clsCmcProfileIO root(fake, "/");
    root.SetCurrentPath();
    EXPECT_EQ(root.Path(), "/");
    clsCmcProfileIO none(fake, "");
    none.SetCurrentPath();
    EXPECT_EQ(none.GetMyProfile(), "Profile.INI");  // relative, never the root

    p.FullPath("/etc/q/x.ini");
    EXPECT_EQ(p.Path(), "/etc/q/");
    EXPECT_EQ(p.Name(), "x.ini");
    EXPECT_EQ(p.FullPath(), "/etc/q/x.ini");
    p.FullPath("C:\\dir\\sub\\y.INI");  // both separators split; the platform's one joins
    EXPECT_EQ(p.Path(), "C:/dir/sub/");
    EXPECT_EQ(p.Name(), "y.INI");
    p.FullPath("/z.ini");
    EXPECT_EQ(p.FullPath(), "/z.ini");
    p.FullPath("plain.ini");
    EXPECT_EQ(p.FullPath(), "/opt/quorvane/plain.ini");

    EXPECT_EQ(p.GetPathName("a/b/c.ini"), "a/b");
    EXPECT_EQ(p.GetPathName("a\\b\\"), "a/b");
    EXPECT_EQ(p.GetPathName("dir/"), "dir");  // the first separator is the last character
    EXPECT_EQ(p.GetPathName("/"), "");
    EXPECT_EQ(p.GetPathName("//"), "/");
    EXPECT_EQ(p.GetPathName(""), "/opt/quorvane");
    EXPECT_EQ(p.GetPathName("file.ini"), "/opt/quorvane");
    EXPECT_EQ(clsCmcProfileIO::GetFileName("a/b\\c.ini"), "c.ini");
    EXPECT_EQ(clsCmcProfileIO::GetFileName("c.ini"), "c.ini");
    EXPECT_EQ(clsCmcProfileIO::GetFileName("dir/"), "");
    EXPECT_EQ(clsCmcProfileIO::StripTerminator(std::string("ab\0cd", 5)), "ab");
    EXPECT_EQ(clsCmcProfileIO::StripTerminator("abc"), "abc");
    EXPECT_EQ(clsCmcProfileIO::UCase16("MiXed"), "MiXed");
}

TEST_F(ProfileIOTest, EveryTypeRoundTrips) {
    prof.Section("Types");
    const ProfileValue values[] = {
        Int16{-32768},
        Int16{32767},
        Int32{std::numeric_limits<Int32>::min()},
        Int32{2147483647},
        std::uint8_t{255},
        0.1f,
        -3.4028235e38f,
        1e-30f,
        0.1,
        -2.5e-300,
        1.7976931348623157e308,
        Currency{std::numeric_limits<std::int64_t>::max()},
        Currency{std::numeric_limits<std::int64_t>::min()},
        Currency{-5000},
        Date{2006, 1, 31, 13, 45, 10},
        Date{2024, 2, 29, 0, 0, 0},
        std::string("a=b; [c] \"d\" #e"),
        true,
        false,
    };
    for (const ProfileValue& v : values) {
        SCOPED_TRACE(*ProfileText(v));
        ASSERT_TRUE(prof.saveData("k", v));
        ProfileValue back = v;
        std::visit([](auto& x) { x = {}; }, back);  // same type, other value
        ASSERT_TRUE(prof.loadData("k", back));
        EXPECT_EQ(back, v);
    }
}

TEST_F(ProfileIOTest, ValuesAreWrittenAsPlainText) {
    FakeProfileFile fake;
    clsCmcProfileIO p(fake, "/d");
    p.Section("S");
    const auto written = [&](const ProfileValue& v) {
        EXPECT_TRUE(p.saveData("k", v));
        return fake.Get(p.GetMyProfile(), "S", "k");
    };
    EXPECT_EQ(written(Int16{-5}), "-5");
    EXPECT_EQ(written(Int32{70000}), "70000");
    EXPECT_EQ(written(std::uint8_t{7}), "7");
    EXPECT_EQ(written(1.5f), "1.5");
    EXPECT_EQ(written(0.5), "0.5");
    EXPECT_EQ(written(1e20), "1e+20");
    EXPECT_EQ(written(Currency{12345}), "1.2345");
    EXPECT_EQ(written(Currency{15000}), "1.5");
    EXPECT_EQ(written(Currency{-10000}), "-1");
    EXPECT_EQ(written(Currency{1}), "0.0001");
    EXPECT_EQ(written(Date{2006, 1, 31, 13, 45, 10}), "2006.01.31-13:45:10");
    EXPECT_EQ(written(true), "1");
    EXPECT_EQ(written(false), "0");
    EXPECT_EQ(written(std::string(" as is ")), " as is ");

    // Values that have no text, or would not read back, are refused and nothing is written.
    fake.writes = 0;
    EXPECT_FALSE(p.saveData("k", std::monostate{}));
    EXPECT_FALSE(p.saveData("k", std::numeric_limits<double>::infinity()));
    EXPECT_FALSE(p.saveData("k", std::numeric_limits<float>::quiet_NaN()));
    EXPECT_FALSE(p.saveData("k", Date{2006, 2, 30, 0, 0, 0}));
    EXPECT_EQ(fake.writes, 0);
    fake.failWrites = true;
    EXPECT_FALSE(p.saveData("k", Int16{1}));
}

TEST_F(ProfileIOTest, DefaultsAndTypeChecks) {
    prof.Section("S");
    ProfileValue v = Int16{5};
    EXPECT_TRUE(prof.loadData("missing", v));  // its own value is the default
    EXPECT_EQ(v, ProfileValue{Int16{5}});
    EXPECT_TRUE(prof.loadData("missing", v, Int16{9}));
    EXPECT_EQ(v, ProfileValue{Int16{9}});
    EXPECT_FALSE(prof.loadData("missing", v, Int32{9}));  // default of another type
    EXPECT_EQ(v, ProfileValue{Int16{9}});
    ProfileValue d = Date{2001, 2, 3, 4, 5, 6};
    EXPECT_TRUE(prof.loadData("missing", d, Date{2010, 10, 10, 10, 10, 10}));
    EXPECT_EQ(d, ProfileValue{(Date{2010, 10, 10, 10, 10, 10})});
    ProfileValue nothing;
    EXPECT_FALSE(prof.loadData("missing", nothing));
    EXPECT_FALSE(prof.loadData("missing", nothing, std::monostate{}));
    ProfileValue text = std::string();
    EXPECT_FALSE(prof.loadData("missing", text));  // no characters at all
    EXPECT_FALSE(fs::exists(file));
}

TEST_F(ProfileIOTest, StoredTextConversions) {
    prof.Section("S");
    // Loads text stored under k into a value of the type of start; the value afterwards.
    const auto load = [&](const std::string& stored, ProfileValue start, bool ok = true) {
        WriteFile(file, "[S]\nk=" + stored + "\n");
        EXPECT_EQ(prof.loadData("k", start), ok) << stored;
        return start;
    };
    EXPECT_EQ(load("+12", Int16{0}), ProfileValue{Int16{12}});
    EXPECT_EQ(load("-0", std::uint8_t{3}), ProfileValue{std::uint8_t{0}});
    EXPECT_EQ(load("0004", Int32{0}), ProfileValue{Int32{4}});
    for (const char* bad : {"32768", "-32769", "12x", "x12", "1.0", "1e3", "+-1", "-", "0x10"}) {
        EXPECT_EQ(load(bad, Int16{7}, false), ProfileValue{Int16{7}});
    }
    EXPECT_EQ(load("256", std::uint8_t{1}, false), ProfileValue{std::uint8_t{1}});
    EXPECT_EQ(load("-1", std::uint8_t{1}, false), ProfileValue{std::uint8_t{1}});
    EXPECT_EQ(load("2147483648", Int32{1}, false), ProfileValue{Int32{1}});

    EXPECT_EQ(load(".5", 0.0), ProfileValue{0.5});
    EXPECT_EQ(load("-2.", 0.0), ProfileValue{-2.0});
    EXPECT_EQ(load("+1.25E+2", 0.0f), ProfileValue{125.0f});
    for (const char* bad : {"1e39", "1e-50", "inf", "nan", "1,5", "1e", ".", "0x1p3", "1.2.3"}) {
        EXPECT_EQ(load(bad, 2.0f, false), ProfileValue{2.0f});
    }
    EXPECT_EQ(load("1e309", 2.0, false), ProfileValue{2.0});

    EXPECT_EQ(load("1.5", Currency{}), ProfileValue{Currency{15000}});
    EXPECT_EQ(load("-.25", Currency{}), ProfileValue{Currency{-2500}});
    EXPECT_EQ(load("0.00005", Currency{}), ProfileValue{Currency{0}});  // half to even
    EXPECT_EQ(load("0.00015", Currency{}), ProfileValue{Currency{2}});
    EXPECT_EQ(load("0.000051", Currency{}), ProfileValue{Currency{1}});
    EXPECT_EQ(load("-922337203685477.5808", Currency{}),
              ProfileValue{Currency{std::numeric_limits<std::int64_t>::min()}});
    for (const char* bad : {"922337203685477.5808", "1e2", "1.2.3", "$1", "-"}) {
        EXPECT_EQ(load(bad, Currency{3}, false), ProfileValue{Currency{3}});
    }

    const Date was{2001, 2, 3, 4, 5, 6};
    EXPECT_EQ(load("2006/01/31 13.45.10", was), ProfileValue{(Date{2006, 1, 31, 13, 45, 10})});
    EXPECT_EQ(load("2006.01.31", was), ProfileValue{was});  // not 19 characters: kept, true
    for (const char* bad : {"2006.13.01-00:00:00", "2006.02.29-00:00:00", "2006.01.31-24:00:00",
                            "20x6.01.31-13:45:10", "2006.01.31-13:45:-1"}) {
        EXPECT_EQ(load(bad, was, false), ProfileValue{was});
    }

    EXPECT_EQ(load("yes", false), ProfileValue{true});
    EXPECT_EQ(load("0", true), ProfileValue{false});
    EXPECT_EQ(load("00", false), ProfileValue{true});
    EXPECT_EQ(load("0   ", true), ProfileValue{false});  // trailing blanks go first
    EXPECT_EQ(load(std::string(300, 't'), std::string()), ProfileValue{std::string(254, 't')});

    // A key present with an empty value and an empty default gives nothing.
    ProfileValue empty = std::string("kept");
    WriteFile(file, "[S]\nk=\n");
    EXPECT_FALSE(prof.loadData("k", empty, std::string()));
    EXPECT_EQ(empty, ProfileValue{std::string("kept")});
}

TEST_F(ProfileIOTest, ReaderCutsAtNulAndDropsTrailingBlanks) {
    FakeProfileFile fake;
    clsCmcProfileIO p(fake, "/d");
    p.Name("f.ini");
    p.SetCurrentPath();
    p.Section("S");
    ProfileValue v = Int16{0};
    fake.Set("/d/f.ini", "S", "k", "12   ");
    EXPECT_TRUE(p.loadData("k", v));
    EXPECT_EQ(v, ProfileValue{Int16{12}});
    fake.Set("/d/f.ini", "S", "k", std::string("34\0junk", 7));
    EXPECT_TRUE(p.loadData("k", v));
    EXPECT_EQ(v, ProfileValue{Int16{34}});
    fake.Set("/d/f.ini", "S", "k", "   56");  // leading blanks are not the reader's to drop
    EXPECT_FALSE(p.loadData("k", v));
    EXPECT_EQ(v, ProfileValue{Int16{34}});
    ProfileValue t = std::string("x");
    fake.Set("/d/f.ini", "S", "k", "   ");
    EXPECT_TRUE(p.loadData("k", t));
    EXPECT_EQ(t, ProfileValue{std::string()});
    EXPECT_EQ(fake.lastFile, "/d/f.ini");
}

TEST_F(ProfileIOTest, OptionsWithoutFileAreDefaultsAndAreSaved) {
    Int16 port = -1;
    Int16 release = -1;
    LoadLikeMainWindow(port, release);
    EXPECT_EQ(port, 1);
    EXPECT_EQ(release, 0);
    EXPECT_FALSE(fs::exists(file));

    prof.Section(kOptionSection);
    EXPECT_TRUE(SaveOption(prof, kComPortOption, port));
    EXPECT_TRUE(SaveOption(prof, kComAutoReleaseOption, release));
    EXPECT_EQ(ReadFile(file), "[OPTION]\nComPort=1\nComAutoRelease=0\n");
}

TEST_F(ProfileIOTest, StoredOptionsLoad) {
    Int16 port = 0;
    Int16 release = 0;
    WriteOptions("ComPort=3\nComAutoRelease=2\n");
    LoadLikeMainWindow(port, release);
    EXPECT_EQ(port, 3);
    EXPECT_EQ(release, 2);

    WriteOptions("ComPort=2\nComAutoRelease=1   \n");
    LoadLikeMainWindow(port, release);
    EXPECT_EQ(release, 1);

    // A bad port keeps the shared variable's 0; a bad release keeps the port just read.
    WriteOptions("ComPort=two\nComAutoRelease=4\n");
    LoadLikeMainWindow(port, release);
    EXPECT_EQ(port, 0);
    EXPECT_EQ(release, 4);
    WriteOptions("ComPort=3\nComAutoRelease=x\n");
    LoadLikeMainWindow(port, release);
    EXPECT_EQ(port, 3);
    EXPECT_EQ(release, 3);

    // Values the 16-bit options cannot hold are refused the same way, never raised.
    WriteOptions("ComPort=70000\nComAutoRelease=33\n");
    LoadLikeMainWindow(port, release);
    EXPECT_EQ(port, 0);
    EXPECT_EQ(release, 0);
    WriteOptions("ComPort=4\nComAutoRelease=32\n");
    LoadLikeMainWindow(port, release);
    EXPECT_EQ(port, 4);
    EXPECT_EQ(release, 32);

    // Saving replaces the values and keeps what else the file holds.
    WriteFile(file, "; mine\n[OPTION]\nComPort=4\nComAutoRelease=32\n[PORTS]\nCOM1=/dev/x\n");
    prof.Section(kOptionSection);
    EXPECT_TRUE(SaveOption(prof, kComPortOption, 2));
    EXPECT_TRUE(SaveOption(prof, kComAutoReleaseOption, 5));
    EXPECT_EQ(ReadFile(file),
              "; mine\n[OPTION]\nComPort=2\nComAutoRelease=5\n[PORTS]\nCOM1=/dev/x\n");
}

TEST_F(ProfileIOTest, PortDevices) {
    EXPECT_EQ(ComPortDevice(store, file, 1), "/dev/ttyS0");  // no file
    EXPECT_EQ(ComPortDevice(store, file, 10), "/dev/ttyS9");
    EXPECT_EQ(ComPortDevice(store, file, 0), "");
    WriteFile(file, "[ports]\ncom1 = /dev/ttyUSB0 \nCOM2=\nCOM3=/dev/ttyACM0\n");
    EXPECT_EQ(ComPortDevice(store, file, 1), "/dev/ttyUSB0");
    EXPECT_EQ(ComPortDevice(store, file, 2), "/dev/ttyS1");  // blank: the system's name
    EXPECT_EQ(ComPortDevice(store, file, 3), "/dev/ttyACM0");
    EXPECT_EQ(ComPortDevice(store, file, 4), "/dev/ttyS3");
    EXPECT_EQ(DefaultComPortDevice(-1), "");
}

}  // namespace
}  // namespace quorvane
