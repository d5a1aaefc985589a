#include <gtest/gtest.h>

#include <limits>
#include <string>

#include "rig/fake_profile_file.h"
#include "settings/port_map.h"
#include "settings/profile_io.h"
#include "settings/settings_file.h"

namespace quorvane {
namespace {

using test::FakeProfileFile;
// The program's directory and its settings file as each system writes them.
#ifdef _WIN32
constexpr char kDir[] = "C:\\Program Files\\q";
constexpr char kFile[] = "C:\\Program Files\\q\\QUORVAADJ.rs";
#else
constexpr char kDir[] = "/opt/q";
constexpr char kFile[] = "/opt/q/QUORVAADJ.rs";
#endif

class ProfileIOTest : public ::testing::Test {
  protected:
    ProfileIOTest() {
        prof.SetCurrentPath();
        prof.Name("QUORVAADJ.rs");
        prof.Section("S");
    }
    void Store(const std::string& text) { file.Set(kFile, "S", "k", text); }
    // Loads the stored text into a value of start's type: the value afterwards, or "refused".
    template <typename T>
    std::string LoadAs(const std::string& stored, T start) {
        Store(stored);
        ProfileValue v = start;
        if (!prof.loadData("k", v)) {
            return v == ProfileValue{start} ? "refused" : "changed although refused";
        }
        return ProfileText(v).value_or("no text");
    }

    FakeProfileFile file;
    clsCmcProfileIO prof{file, kDir};
};

TEST_F(ProfileIOTest, PathsAndNames) {
    EXPECT_EQ(prof.GetMyProfile(), kFile);
    clsCmcProfileIO none(file, "");
    none.SetCurrentPath();
    EXPECT_EQ(none.GetMyProfile(), "Profile.INI");  // relative, never the root
#ifdef _WIN32  // either separator, a drive's root kept as the root
    prof.FullPath("D:/radio/QUORVA.rs");
    EXPECT_EQ(prof.FullPath(), "D:\\radio\\QUORVA.rs");
    prof.FullPath("D:\\QUORVA.rs");
    EXPECT_EQ(prof.FullPath(), "D:\\QUORVA.rs");
#else
    prof.FullPath("/radio/QUORVA.rs");
    EXPECT_EQ(prof.FullPath(), "/radio/QUORVA.rs");
    prof.FullPath("/QUORVA.rs");
    EXPECT_EQ(prof.FullPath(), "/QUORVA.rs");
#endif
}

TEST_F(ProfileIOTest, EveryTypeIsWrittenAsPlainTextAndReadsBack) {
    const std::pair<ProfileValue, const char*> cases[] = {
        {Int16{-32768}, "-32768"},
        {std::uint8_t{255}, "255"},
        {-3.4028235e38f, "-3.4028235e+38"},
        {1e20, "1e+20"},
        {Currency{-1}, "-0.0001"},
        {Currency{std::numeric_limits<std::int64_t>::min()}, "-922337203685477.5808"},
        {Date{2024, 2, 29, 13, 45, 10}, "2024.02.29-13:45:10"},
        {std::string(" a=b; [c]"), " a=b; [c]"},
        {true, "1"},
        {false, "0"},
    };
    for (const auto& [value, text] : cases) {
        ASSERT_TRUE(prof.saveData("k", value)) << text;
        EXPECT_EQ(file.Get(kFile, "S", "k"), text);
        ProfileValue back = value;
        std::visit([](auto& x) { x = {}; }, back);  // same type, another value
        ASSERT_TRUE(prof.loadData("k", back)) << text;
        EXPECT_EQ(back, value) << text;
    }
    // Values that have no text, or would not read back, are refused and nothing is written.
    file.writes = 0;
    EXPECT_FALSE(prof.saveData("k", std::monostate{}));
    EXPECT_FALSE(prof.saveData("k", std::numeric_limits<double>::infinity()));
    EXPECT_FALSE(prof.saveData("k", std::numeric_limits<float>::quiet_NaN()));
    EXPECT_FALSE(prof.saveData("k", Date{2006, 2, 29, 0, 0, 0}));
    EXPECT_TRUE(IsValidDate(Date{2026, 12, 31, 23, 59, 59}));
    EXPECT_FALSE(IsValidDate(Date{2026, 5, 32, 0, 0, 0}));
    EXPECT_FALSE(IsValidDate(Date{2026, 9, 31, 0, 0, 0}));
    EXPECT_TRUE(IsValidDate(Date{100, 1, 1, 0, 0, 0}));
    EXPECT_EQ(file.writes, 0);
    file.failWrites = true;
    EXPECT_FALSE(prof.saveData("k", Int16{1}));
}

TEST_F(ProfileIOTest, StoredTextIsConvertedOrRefusedLeavingTheValue) {
    EXPECT_EQ(LoadAs("+12   ", Int16{0}), "12");  // trailing blanks go first
    for (const char* bad : {"32768", "-32769", "12x", " 5", "1.0", "+-1", "-"}) {
        EXPECT_EQ(LoadAs(bad, Int16{7}), "refused") << bad;
    }
    EXPECT_EQ(LoadAs("+1.25E+2", 0.0f), "125");
    for (const char* bad : {"1e39", "1e-50", "inf", "1,5", "1e", "."}) {
        EXPECT_EQ(LoadAs(bad, 2.0f), "refused") << bad;
    }
    EXPECT_EQ(LoadAs("0.00005", Currency{}), "0");  // half to even
    EXPECT_EQ(LoadAs("0.00015", Currency{}), "0.0002");
    EXPECT_EQ(LoadAs("0.000051", Currency{}), "0.0001");  // beyond the half: up
    EXPECT_EQ(LoadAs("1x", Currency{3}), "refused");
    EXPECT_EQ(LoadAs("2.5", Currency{}), "2.5");
    EXPECT_EQ(LoadAs("922337203685477.5808", Currency{3}), "refused");
    const Date was{2001, 2, 3, 4, 5, 6};
    EXPECT_EQ(LoadAs("2006/01/31 13.45.10", was), "2006.01.31-13:45:10");
    EXPECT_EQ(LoadAs("2006.01.31", was), "2001.02.03-04:05:06");  // not 19 characters: kept
    EXPECT_EQ(LoadAs("2006.08.31-00:00:00", was), "2006.08.31-00:00:00");
    for (const char* bad : {"2100.02.29-00:00:00", "2006.08.32-00:00:00", "2006.04.31-00:00:00",
                            "2006.01.31-24:00:00", "2006.01.31-13:45:60", "20x6.01.31-13:45:10"}) {
        EXPECT_EQ(LoadAs(bad, was), "refused") << bad;
    }
    EXPECT_EQ(LoadAs("yes", false), "1");
    EXPECT_EQ(LoadAs("0  ", true), "0");
    EXPECT_EQ(LoadAs(std::string(300, 't'), std::string()), std::string(254, 't'));
}

TEST_F(ProfileIOTest, DefaultsAndTypeChecks) {
    ProfileValue v = Int16{5};
    EXPECT_TRUE(prof.loadData("missing", v, Int16{9}));
    EXPECT_EQ(v, ProfileValue{Int16{9}});
    EXPECT_FALSE(prof.loadData("missing", v, Int32{9}));  // a default of another type
    ProfileValue nothing;
    EXPECT_FALSE(prof.loadData("missing", nothing));
    ProfileValue text = std::string("kept");
    Store("");  // an empty value with an empty default gives no characters at all
    EXPECT_FALSE(prof.loadData("k", text, std::string()));
    EXPECT_EQ(text, ProfileValue{std::string("kept")});
}

TEST_F(ProfileIOTest, OptionsOutsideTheirRangeAreRefusedLikeText) {
    prof.Section(kOptionSection);
    Int32 shared = 7;
    EXPECT_TRUE(LoadOption(prof, kComPortOption, shared));  // missing: the default
    EXPECT_EQ(shared, 1);
    for (const char* bad : {"32768", "-32769", "two"}) {
        file.Set(kFile, "OPTION", "ComPort", bad);
        EXPECT_FALSE(LoadOption(prof, kComPortOption, shared)) << bad;
        EXPECT_EQ(shared, 1);
    }
    file.Set(kFile, "OPTION", "ComAutoRelease", "33");
    EXPECT_FALSE(LoadOption(prof, kComAutoReleaseOption, shared));
    file.Set(kFile, "OPTION", "ComAutoRelease", "32");
    EXPECT_TRUE(LoadOption(prof, kComAutoReleaseOption, shared));
    EXPECT_EQ(shared, 32);
}

TEST_F(ProfileIOTest, PortDevicesComeFromThePortsSectionElseTheSystemsName) {
    const bool windows = kThisSystem == HostSystem::Windows;
    EXPECT_EQ(ComPortDevice(file, kFile, 10), windows ? "COM10" : "/dev/ttyS9");
    EXPECT_EQ(ComPortDevice(file, kFile, 0), "");
    file.Set(kFile, "PORTS", "COM1", " /dev/ttyUSB0 \t");
    file.Set(kFile, "PORTS", "COM2", "  ");
    EXPECT_EQ(ComPortDevice(file, kFile, 1), "/dev/ttyUSB0");
    EXPECT_EQ(ComPortDevice(file, kFile, 2), windows ? "COM2" : "/dev/ttyS1");
    EXPECT_EQ(DefaultComPortDevice(-1), "");
    EXPECT_EQ(DefaultComPortDevice(1, HostSystem::Linux), "/dev/ttyS0");
    EXPECT_EQ(DefaultComPortDevice(12, HostSystem::Windows), "COM12");
}

}  // namespace
}  // namespace quorvane
