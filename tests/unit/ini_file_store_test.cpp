#include "settings/ini_file_store.h"
#include "support/file_text.h"

#include <gtest/gtest.h>
#include <signal.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <functional>
#include <sstream>
#include <string>

#include "support/temp_dir.h"

namespace quorvane {
namespace {

namespace fs = std::filesystem;
using test::TempDir;

using test::ReadFile;
using test::WriteFile;

// Every entry of dir but the named file: leftovers of a write.
int OtherEntries(const fs::path& dir, const std::string& keep) {
    int n = 0;
    for (const auto& e : fs::directory_iterator(dir)) {
        n += e.path().filename() != keep ? 1 : 0;
    }
    return n;
}

class IniFileStoreTest : public ::testing::Test {
  protected:
    std::string Get(const std::string& section, const std::string& key,
                    const std::string& def = "dflt", std::size_t size = 255) {
        return store.GetProfileString(section, key, def, size, file);
    }
    bool Put(const std::string& section, const std::string& key, const std::string& value) {
        return store.WriteProfileString(section, key, value, file);
    }

    TempDir dir;
    std::string file = dir.File("QUORVAADJ.rs");
    IniFileStore store;
};

TEST_F(IniFileStoreTest, MissingFileGivesDefaultAndFirstWriteCreatesIt) {
    EXPECT_EQ(Get("OPTION", "ComPort", "1"), "1");
    EXPECT_FALSE(fs::exists(file));  // reading never creates the file
    EXPECT_TRUE(Put("OPTION", "ComPort", "1"));
    EXPECT_TRUE(Put("OPTION", "ComAutoRelease", "0"));
    EXPECT_EQ(ReadFile(file), "[OPTION]\nComPort=1\nComAutoRelease=0\n");
    EXPECT_EQ(Get("OPTION", "ComPort"), "1");
    EXPECT_EQ(Get("OPTION", "Missing"), "dflt");
    EXPECT_EQ(Get("Missing", "ComPort"), "dflt");
    EXPECT_EQ(OtherEntries(dir.path(), "QUORVAADJ.rs"), 0);

    // No directory to create it in: refused, nothing made.
    EXPECT_FALSE(store.WriteProfileString("A", "k", "v", dir.File("none/x.ini")));
    EXPECT_FALSE(fs::exists(dir.path() / "none"));
}

TEST_F(IniFileStoreTest, ValuesAndDefaultsAreCutToTheBuffer) {
    const std::string longValue(300, 'v');
    WriteFile(file, "[S]\nk=" + longValue + "\n");
    EXPECT_EQ(Get("S", "k"), std::string(254, 'v'));
    EXPECT_EQ(Get("S", "k", "", 4), "vvv");
    EXPECT_EQ(Get("S", "k", "", 0), "");
    EXPECT_EQ(Get("S", "none", std::string(300, 'd')), std::string(254, 'd'));
}

TEST_F(IniFileStoreTest, NamesIgnoreCaseAndBlanksAroundNamesAndValuesAreDropped) {
    WriteFile(file, "\xEF\xBB\xBF[ option ]\n  comport \t=  7 \t\nName=\nq=\"a b\"\n");
    EXPECT_EQ(Get("OPTION", "ComPort"), "7");
    EXPECT_EQ(Get(" Option", "COMPORT "), "7");
    EXPECT_EQ(Get("OPTION", "Name"), "");      // present but empty: not the default
    EXPECT_EQ(Get("OPTION", "q"), "\"a b\"");  // quotes are part of the value
    EXPECT_TRUE(Put("Option", "COMPORT", "3"));
    EXPECT_EQ(ReadFile(file), "\xEF\xBB\xBF[ option ]\nCOMPORT=3\nName=\nq=\"a b\"\n");
}

TEST_F(IniFileStoreTest, WritesKeepEveryOtherByte) {
    const std::string before =
        "; settings\r\n"
        "[Other]\r\n"
        "x = 1 \r\n"
        "\r\n"
        "[OPTION]\r\n"
        "ComPort=4\n"  // a lone LF among CRLFs stays as it is
        "# comment\r\n"
        "ComAutoRelease=5\r\n"
        "\r\n"
        "; about the ports\r\n"
        "[PORTS]\r\n"
        "COM1=/dev/ttyUSB0";  // no final line ending
    WriteFile(file, before);
    EXPECT_TRUE(Put("OPTION", "ComPort", "2"));
    EXPECT_TRUE(Put("OPTION", "Added", "a"));
    EXPECT_TRUE(Put("PORTS", "COM2", "/dev/ttyUSB1"));
    EXPECT_TRUE(Put("New", "k", "v"));
    EXPECT_EQ(ReadFile(file),
              "; settings\r\n"
              "[Other]\r\n"
              "x = 1 \r\n"
              "\r\n"
              "[OPTION]\r\n"
              "ComPort=2\n"
              "# comment\r\n"
              "ComAutoRelease=5\r\n"
              "Added=a\r\n"
              "\r\n"
              "; about the ports\r\n"
              "[PORTS]\r\n"
              "COM1=/dev/ttyUSB0\r\n"
              "COM2=/dev/ttyUSB1\r\n"
              "\r\n"
              "[New]\r\n"
              "k=v\r\n");
    EXPECT_EQ(Get("Other", "x"), "1");
    EXPECT_EQ(Get("OPTION", "# comment"), "dflt");
}

TEST_F(IniFileStoreTest, FinalCarriageReturnIsALineEndingCutShort) {
    // A write after such a line completes its ending and never changes what it reads.
    WriteFile(file, "1=x\n[OPTION]\nComPort=-\r");
    EXPECT_EQ(Get("OPTION", "ComPort"), "-");
    EXPECT_TRUE(Put("option", "a", "77"));
    EXPECT_EQ(ReadFile(file), "1=x\n[OPTION]\nComPort=-\r\na=77\n");
    EXPECT_EQ(Get("OPTION", "ComPort"), "-");
    EXPECT_EQ(Get("OPTION", "a"), "77");

    WriteFile(file, "[A]\r\nk=v\r");
    EXPECT_TRUE(Put("B", "k", "1"));
    EXPECT_EQ(ReadFile(file), "[A]\r\nk=v\r\n\r\n[B]\r\nk=1\r\n");
    EXPECT_EQ(Get("A", "k"), "v");

    WriteFile(file, "[A]\rk=v\r");  // a lone CR inside a line is text
    EXPECT_EQ(Get("A", "k"), "dflt");
    EXPECT_TRUE(Put("A", "k", "w"));
    EXPECT_EQ(Get("A", "k"), "w");
    EXPECT_EQ(ReadFile(file).rfind("[A]\rk=v\r\n", 0), 0u);
}

TEST_F(IniFileStoreTest, FirstOfDuplicateSectionsAndKeysWins) {
    WriteFile(file, "[A]\nk=1\nk=2\n[a]\nk=3\nj=4\n");
    EXPECT_EQ(Get("A", "k"), "1");
    EXPECT_EQ(Get("A", "j"), "dflt");  // only the first [A] is the section
    EXPECT_TRUE(Put("a", "K", "9"));
    EXPECT_TRUE(Put("A", "j", "8"));
    EXPECT_EQ(ReadFile(file), "[A]\nK=9\nk=2\nj=8\n[a]\nk=3\nj=4\n");
}

TEST_F(IniFileStoreTest, OddButReadableFilesWork) {
    // Empty file.
    WriteFile(file, "");
    EXPECT_EQ(Get("OPTION", "ComPort"), "dflt");
    EXPECT_TRUE(Put("OPTION", "ComPort", "1"));
    EXPECT_EQ(ReadFile(file), "[OPTION]\nComPort=1\n");

    // Keys before any section belong to none; a line without '=' or with a broken header is
    // no key and stays.
    WriteFile(file, "ComPort=5\n[OPTION\nComPort=6\n[OPTION]\nComPort\n=7\n");
    EXPECT_EQ(Get("OPTION", "ComPort"), "dflt");
    EXPECT_TRUE(Put("OPTION", "ComPort", "2"));
    EXPECT_EQ(ReadFile(file), "ComPort=5\n[OPTION\nComPort=6\n[OPTION]\nComPort\n=7\nComPort=2\n");
    EXPECT_EQ(Get("OPTION", "ComPort"), "2");

    // Thousands of sections: the last one is found and written, the others stay.
    std::string many;
    for (int i = 0; i < 5000; ++i) {
        many += "[S" + std::to_string(i) + "]\nk=" + std::to_string(i) + "\n";
    }
    WriteFile(file, many);
    EXPECT_EQ(Get("s4999", "K"), "4999");
    EXPECT_TRUE(Put("S4999", "k", "x"));
    EXPECT_TRUE(Put("S0", "j", "y"));
    EXPECT_EQ(Get("S4999", "k"), "x");
    EXPECT_EQ(Get("S2500", "k"), "2500");
    EXPECT_EQ(ReadFile(file).size(), many.size() + 1);  // "4999" became "x", "j=y" came
}

TEST_F(IniFileStoreTest, HostileFilesGiveDefaultsAndAreNeverRewritten) {
    const auto expectUntouched = [&](const std::string& what, const std::string& content) {
        SCOPED_TRACE(what);
        WriteFile(file, content);
        EXPECT_EQ(Get("OPTION", "ComPort"), "dflt");
        EXPECT_FALSE(Put("OPTION", "ComPort", "1"));
        EXPECT_EQ(ReadFile(file), content);
        EXPECT_EQ(OtherEntries(dir.path(), "QUORVAADJ.rs"), 0);
    };
    expectUntouched("NUL bytes", std::string("[OPTION]\nComPort=3\n\0\x01\xff", 22));
    expectUntouched("10 MB line",
                    "[OPTION]\nComPort=3\nx=" + std::string(10 * 1024 * 1024, 'x') + "\n");
    fs::remove(file);

    fs::create_directory(file);  // a directory in the file's place
    EXPECT_EQ(Get("OPTION", "ComPort"), "dflt");
    EXPECT_FALSE(Put("OPTION", "ComPort", "1"));
    EXPECT_TRUE(fs::is_directory(file));
    fs::remove(file);

    ASSERT_EQ(::mkfifo(file.c_str(), 0600), 0);  // would block a reader that opened it
    EXPECT_EQ(Get("OPTION", "ComPort"), "dflt");
    EXPECT_FALSE(Put("OPTION", "ComPort", "1"));
    EXPECT_TRUE(fs::is_fifo(file));
}

TEST_F(IniFileStoreTest, NamesAndValuesThatWouldBreakTheFileAreRefused) {
    WriteFile(file, "[OPTION]\nComPort=1\n");
    EXPECT_FALSE(Put("OPTION", "ComPort", "1\n[Evil]\nk=v"));
    EXPECT_FALSE(Put("OPTION", "ComPort", "1\r"));
    EXPECT_FALSE(Put("OPTION", "ComPort", std::string("1\0x", 3)));
    EXPECT_FALSE(Put("OPTION", "a=b", "1"));
    EXPECT_FALSE(Put("OPTION", "[x]", "1"));
    EXPECT_FALSE(Put("OPTION", ";k", "1"));
    EXPECT_FALSE(Put("OPTION", "  ", "1"));
    EXPECT_FALSE(Put("OP]TION", "k", "1"));
    EXPECT_FALSE(Put("", "k", "1"));
    EXPECT_FALSE(Put("A\nB", "k", "1"));
    EXPECT_EQ(ReadFile(file), "[OPTION]\nComPort=1\n");
    EXPECT_TRUE(Put("OPTION", "Text", "a=b; [c] #d"));
    EXPECT_EQ(Get("OPTION", "Text"), "a=b; [c] #d");
}

TEST_F(IniFileStoreTest, WriteKeepsPermissionsAndLinks) {
    WriteFile(file, "[OPTION]\nComPort=1\n");
    fs::permissions(file, fs::perms::owner_read | fs::perms::owner_write);
    EXPECT_TRUE(Put("OPTION", "ComPort", "2"));
    EXPECT_EQ(fs::status(file).permissions(), fs::perms::owner_read | fs::perms::owner_write);

    const std::string link = dir.File("link.rs");
    fs::create_symlink(file, link);
    EXPECT_TRUE(store.WriteProfileString("OPTION", "ComPort", "3", link));
    EXPECT_TRUE(fs::is_symlink(link));
    EXPECT_EQ(ReadFile(file), "[OPTION]\nComPort=3\n");
    EXPECT_EQ(store.GetProfileString("OPTION", "ComPort", "", 255, link), "3");

    fs::create_symlink(dir.File("nowhere"), dir.File("dangling.rs"));
    EXPECT_FALSE(store.WriteProfileString("OPTION", "ComPort", "3", dir.File("dangling.rs")));
    EXPECT_FALSE(fs::exists(dir.File("nowhere")));
}

// Runs body in a child process, as an unprivileged user when this one is root (root reads
// and writes regardless of permissions); the child's exit code, 77 when it cannot drop.
int InChild(const std::function<int()>& body, bool unprivileged) {
    const pid_t pid = ::fork();
    if (pid == 0) {
        if (unprivileged && ::geteuid() == 0 && (::setgid(65534) != 0 || ::setuid(65534) != 0)) {
            ::_exit(77);
        }
        ::_exit(body());
    }
    int status = 0;
    ::waitpid(pid, &status, 0);
    return WIFEXITED(status) ? WEXITSTATUS(status) : 100 + WTERMSIG(status);
}

TEST_F(IniFileStoreTest, UnreadableFileAndReadOnlyDirectoryAreRefused) {
    fs::permissions(dir.path(), fs::perms::all);
    WriteFile(file, "[OPTION]\nComPort=3\n");
    fs::permissions(file, fs::perms::none);
    int rc = InChild(
        [&] {
            int failures = 0;
            failures += Get("OPTION", "ComPort") != "dflt";
            failures += Put("OPTION", "ComPort", "4") ? 2 : 0;
            return failures;
        },
        true);
    if (rc == 77) {
        GTEST_SKIP() << "cannot drop privileges";
    }
    EXPECT_EQ(rc, 0);
    fs::permissions(file, fs::perms::owner_read | fs::perms::owner_write);
    EXPECT_EQ(ReadFile(file), "[OPTION]\nComPort=3\n");

    // A directory the program may not write in: the file stays whole, nothing is left.
    fs::permissions(file, fs::perms::all);
    fs::permissions(dir.path(), fs::perms::owner_all | fs::perms::group_read |
                                    fs::perms::group_exec | fs::perms::others_read |
                                    fs::perms::others_exec);
    rc = InChild(
        [&] {
            int failures = 0;
            failures += Get("OPTION", "ComPort") != "3";
            failures += Put("OPTION", "ComPort", "4") ? 2 : 0;
            return failures;
        },
        true);
    EXPECT_EQ(rc, 0);
    EXPECT_EQ(ReadFile(file), "[OPTION]\nComPort=3\n");
    EXPECT_EQ(OtherEntries(dir.path(), "QUORVAADJ.rs"), 0);
}

TEST_F(IniFileStoreTest, WriteThatRunsOutOfSpaceLeavesTheOldFileWhole) {
    WriteFile(file, "[OPTION]\nComPort=3\n");
    const int rc = InChild(
        [&] {
            ::signal(SIGXFSZ, SIG_IGN);
            const rlimit limit{64, 64};
            if (::setrlimit(RLIMIT_FSIZE, &limit) != 0) {
                return 77;
            }
            return Put("OPTION", "ComPort", std::string(200, '9')) ? 1 : 0;
        },
        false);
    if (rc == 77) {
        GTEST_SKIP() << "cannot limit the file size";
    }
    EXPECT_EQ(rc, 0);
    EXPECT_EQ(ReadFile(file), "[OPTION]\nComPort=3\n");
    EXPECT_EQ(OtherEntries(dir.path(), "QUORVAADJ.rs"), 0);
}

TEST_F(IniFileStoreTest, WrittenFileIsOrdinaryIni) {
    if (std::system("python3 -c 'import configparser' >/dev/null 2>&1") != 0) {
        GTEST_SKIP() << "python3 is not available";
    }
    WriteFile(file, "; kept\r\n[Other]\r\nx=1\r\n");
    ASSERT_TRUE(Put("OPTION", "ComPort", "3"));
    ASSERT_TRUE(Put("OPTION", "ComAutoRelease", "2"));
    ASSERT_TRUE(Put("PORTS", "COM1", "/dev/ttyUSB0"));
    ASSERT_TRUE(Put("Other", "x", "5"));
    const std::string command =
        "python3 -c 'import configparser, sys\n"
        "c = configparser.ConfigParser(interpolation=None)\n"
        "c.read_file(open(sys.argv[1], encoding=\"latin-1\"))\n"
        "print(c[\"OPTION\"][\"ComPort\"], c[\"OPTION\"][\"ComAutoRelease\"],"
        " c[\"PORTS\"][\"COM1\"], c[\"Other\"][\"x\"], sorted(c.sections()))' '" +
        file + "' 2>&1";
    std::FILE* pipe = ::popen(command.c_str(), "r");
    ASSERT_NE(pipe, nullptr);
    std::string output;
    char buf[256];
    while (std::fgets(buf, sizeof buf, pipe) != nullptr) {
        output += buf;
    }
    EXPECT_EQ(::pclose(pipe), 0) << output;
    EXPECT_EQ(output, "3 2 /dev/ttyUSB0 5 ['OPTION', 'Other', 'PORTS']\n");
}

}  // namespace
}  // namespace quorvane
