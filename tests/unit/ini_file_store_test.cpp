#include <gtest/gtest.h>
#ifndef _WIN32
#include <signal.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>
#endif

#include <filesystem>
#include <functional>
#include <iterator>
#include <string>

#include "platform/host_system.h"
#include "settings/ini_file_store.h"
#include "settings/ini_text.h"
#include "support/file_text.h"
#include "support/temp_dir.h"

namespace quorvane {
namespace {

namespace fs = std::filesystem;
using test::ReadFile;
using test::WriteFile;

std::string Read(const std::string& content, const char* section, const char* key) {
    return IniValue(content, section, key).value_or("<none>");
}
std::string Write(const std::string& content, const char* section, const char* key,
                  const std::string& value) {
    return IniWithValue(content, section, key, value).value_or("<refused>");
}

TEST(IniText, NamesIgnoreCaseBlanksAreDroppedAndTheFirstOfTwinsWins) {
    const std::string text =
        "\xEF\xBB\xBF[ option ]\n  comport \t=  7 \t\nName=\nq=\"a b\"\n"
        "k=1\nk=2\n[OPTION]\nk=3\nj=4\n";
    EXPECT_EQ(Read(text, " Option", "COMPORT "), "7");
    EXPECT_EQ(Read("[ALPHA]\nAbc=1\n", "alpha", "aBC"), "1");
    EXPECT_EQ(Read(text, "OPTION", "Name"), "");  // present but empty
    EXPECT_EQ(Read(text, "OPTION", "q"), "\"a b\"");
    EXPECT_EQ(Read(text, "OPTION", "k"), "1");
    EXPECT_EQ(Read(text, "OPTION", "j"), "<none>");  // only the first section counts
    EXPECT_EQ(Write(text, "Option", "K", "9"),
              "\xEF\xBB\xBF[ option ]\n  comport \t=  7 \t\n"
              "Name=\nq=\"a b\"\nK=9\nk=2\n[OPTION]\nk=3\nj=4\n");
    // Keys before any section, a broken header, a line without '=' and "=7" are no keys.
    const std::string odd = "ComPort=5\n[OPTION\nComPort=6\n[OPTION]\nComPort\n=7\n";
    EXPECT_EQ(Read(odd, "OPTION", "ComPort"), "<none>");
    EXPECT_EQ(Write(odd, "OPTION", "ComPort", "2"), odd + "ComPort=2\n");
}

TEST(IniText, WritesKeepEveryOtherByteAndAFinalCrIsALineEndingCutShort) {
    const std::string before =
        "; settings\r\n[Other]\r\nx = 1 \r\n\r\n[OPTION]\r\n"
        "ComPort=4\n"  // a lone LF among CRLFs stays
        "# comment\r\nComAutoRelease=5\r\n\r\n; about the ports\r\n[PORTS]\r\n"
        "COM1=/dev/ttyUSB0";  // no final line ending
    std::string text = Write(before, "OPTION", "ComPort", "2");
    text = Write(text, "OPTION", "Added", "a");
    text = Write(text, "PORTS", "COM2", "/dev/ttyUSB1");
    EXPECT_EQ(Write(text, "New", "k", "v"),
              "; settings\r\n[Other]\r\nx = 1 \r\n\r\n[OPTION]\r\nComPort=2\n# comment\r\n"
              "ComAutoRelease=5\r\nAdded=a\r\n\r\n; about the ports\r\n[PORTS]\r\n"
              "COM1=/dev/ttyUSB0\r\nCOM2=/dev/ttyUSB1\r\n\r\n[New]\r\nk=v\r\n");
    EXPECT_EQ(Read(before, "OPTION", "# comment"), "<none>");
    // A new file, or a line added after a last line cut short, ends as the system's text does.
    const std::string nl = kThisSystem == HostSystem::Windows ? "\r\n" : "\n";
    EXPECT_EQ(Write("", "OPTION", "ComPort", "1"), "[OPTION]" + nl + "ComPort=1" + nl);
    // A final "\r" is a line ending cut short.
    EXPECT_EQ(Read("[OPTION]\nComPort=-\r", "OPTION", "ComPort"), "-");
    EXPECT_EQ(Write("1=x\n[OPTION]\nComPort=-\r", "option", "a", "77"),
              "1=x\n[OPTION]\nComPort=-\r\na=77\n");
    EXPECT_EQ(Write("[A]\r\nk=v\r", "B", "k", "1"), "[A]\r\nk=v\r\n\r\n[B]\r\nk=1\r\n");
    // A lone CR inside a line is text: "[A]\rk=v" is a header and holds no key.
    EXPECT_EQ(Read("[A]\rk=v\r", "A", "k"), "<none>");
    EXPECT_EQ(Write("[A]\rk=v\r", "A", "k", "w"), "[A]\rk=v\r\nk=w" + nl);
}

TEST(IniText, NamesAndValuesThatWouldBreakTheTextAreRefused) {
    for (const char* key : {"a=b", "[x]", ";k", "#k", "  "}) {
        EXPECT_EQ(Write("", "OPTION", key, "1"), "<refused>") << key;
    }
    for (const char* section : {"OP]TION", "", "A\rB"}) {
        EXPECT_EQ(Write("", section, "k", "1"), "<refused>") << section;
    }
    EXPECT_EQ(Write("", "OPTION", "ComPort", "1\n[Evil]"), "<refused>");  // and every break
    EXPECT_EQ(Read(Write("", " S ", " k ", "a=b; [c] #d"), "S", "k"), "a=b; [c] #d");
}

class IniFileStoreTest : public ::testing::Test {
  protected:
    std::string Get(const std::string& path, std::size_t size = 255) {
        return store.GetProfileString("OPTION", "ComPort", "dflt", size, path);
    }
    bool Put(const std::string& path, const std::string& value = "4") {
        return store.WriteProfileString("OPTION", "ComPort", value, path);
    }
    // Entries of the directory besides the file: leftovers of a write.
    long Leftovers() { return std::distance(fs::directory_iterator(dir.path()), {}) - 1; }

    test::TempDir dir;
    std::string file = dir.File("QUORVAADJ.rs");
    IniFileStore store;
};

TEST_F(IniFileStoreTest, ValuesAreCutToTheBufferAndHostileFilesAreNeverRewritten) {
    EXPECT_EQ(Get(file), "dflt");
    EXPECT_FALSE(fs::exists(file));  // reading never creates it
    EXPECT_TRUE(Put(file, std::string(300, 'v')));
    EXPECT_EQ(Get(file), std::string(254, 'v'));
#ifndef _WIN32  // Windows has no permission bits, only the read-only attribute (below)
    fs::permissions(file, fs::perms::owner_read | fs::perms::owner_write);
    EXPECT_TRUE(Put(file));  // a rewrite keeps the file's permissions
    EXPECT_EQ(fs::status(file).permissions(), fs::perms::owner_read | fs::perms::owner_write);
#endif
    for (const std::string& content :
         {std::string("[OPTION]\nComPort=3\n\0\x01\xff", 22),
          "[OPTION]\nComPort=3\nx=" + std::string(2 * 1024 * 1024, 'x') + "\n"}) {
        WriteFile(file, content);
        EXPECT_EQ(Get(file), "dflt");
        EXPECT_FALSE(Put(file));
        EXPECT_EQ(ReadFile(file), content);
    }
#ifndef _WIN32  // Windows keeps its pipes out of the file system
    fs::remove(file);
    ASSERT_EQ(::mkfifo(file.c_str(), 0600), 0);  // would block a reader that opened it
    EXPECT_EQ(Get(file), "dflt");
    EXPECT_FALSE(Put(file));
    EXPECT_EQ(store.WriteFailure(), "it is not a plain text settings file");
#endif
    EXPECT_EQ(Leftovers(), 0);
}

// Users, permissions and file size limits as POSIX has them, which Windows has not.
#ifndef _WIN32
// Runs body in a child process as an unprivileged user (root reads and writes regardless of
// permissions) whose files may hold 64 bytes at most; true when body held.
bool InChild(const std::function<bool()>& body) {
    const pid_t pid = ::fork();
    if (pid == 0) {
        ::signal(SIGXFSZ, SIG_IGN);
        const rlimit limit{64, 64};
        const bool dropped = ::geteuid() != 0 || (::setgid(65534) == 0 && ::setuid(65534) == 0);
        ::_exit(dropped && ::setrlimit(RLIMIT_FSIZE, &limit) == 0 && body() ? 0 : 1);
    }
    int status = 0;
    ::waitpid(pid, &status, 0);
    return WIFEXITED(status) && WEXITSTATUS(status) == 0;
}

TEST_F(IniFileStoreTest, UnreadableFilesAndFailedWritesLeaveTheOldFileWhole) {
    const std::string locked = dir.File("locked.rs");
    WriteFile(file, "[OPTION]\nComPort=3\n");
    WriteFile(locked, "[OPTION]\nComPort=3\n");
    fs::permissions(dir.path(), fs::perms::all);
    fs::permissions(file, fs::perms::all);
    fs::permissions(locked, fs::perms::none);
    EXPECT_TRUE(InChild([&] {
        return Get(locked) == "dflt" && !Put(locked) && !Put(file, std::string(200, '9')) &&
               store.WriteFailure() == "File too large";
    }));
    EXPECT_EQ(ReadFile(file), "[OPTION]\nComPort=3\n");
    EXPECT_EQ(Leftovers(), 1);  // the locked file, nothing else
}
#endif

}  // namespace
}  // namespace quorvane
