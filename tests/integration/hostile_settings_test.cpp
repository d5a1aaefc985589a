// The whole program started on settings files that are not what it wrote: binary data, a line of
// ten megabytes, thousands of sections, a file it may not read, a directory or a pipe in the
// file's place. It starts with the defaults (or what it can read), and its save at shutdown
// either changes only its own two keys or is refused, never destroying anything else.
#include <sys/stat.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <memory>
#include <random>
#include <string>

#include "app/program.h"
#include "settings/ini_file_store.h"
#include "support/fake_controls.h"
#include "support/fake_process_services.h"
#include "support/fake_serial_control.h"
#include "support/file_text.h"
#include "support/manual_clock.h"
#include "support/temp_dir.h"

namespace quorvane {
namespace {

namespace fs = std::filesystem;

std::string ReadFile(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

void WriteFile(const std::string& path, const std::string& content) {
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(content.data(), static_cast<std::streamsize>(content.size()));
}

// One start of the program in a directory of its own, on the real settings file store.
class Bench : public ::testing::Test {
  protected:
    test::TempDir dir;
    std::string file = dir.File("QUORVAADJ.rs");
    IniFileStore store;
    test::FakeProcessServices process;
    test::FakeSerialControl port;
    test::ManualClock clock;
    test::FakeMainForm form;
    std::unique_ptr<Program> program;

    void Start() {
        process.directory = dir.path().string();
        program = std::make_unique<Program>(Platform{port, clock, store, process, form.controls});
        program->MainWindow().Form_Load();
    }
    // The technician picks COM comPort and a release time, then closes the window.
    void ChooseAndClose(Int16 comPort, Int16 release) {
        program->MainWindow().mnuOptSelCom_Click(comPort);
        program->MainWindow().mnuOptionSelAutoRelease_Click(release);
        program->Tick();
        program->MainWindow().Form_QueryUnload();
        program.reset();
        EXPECT_TRUE(form.messageBox.texts.empty());
    }
    Int16 ComPort() { return program->MainWindow().ComPortNo(); }
    Int16 Release() { return program->MainWindow().ComAutoRelease(); }
};

TEST_F(Bench, BinaryFileWithNulBytesIsNeitherReadNorRewritten) {
    std::string content = "[OPTION]\nComPort=3\nComAutoRelease=2\n";
    for (int i = 0; i < 4096; ++i) {
        content.push_back(static_cast<char>(i % 256));
    }
    WriteFile(file, content);
    Start();
    EXPECT_EQ(ComPort(), 1);
    EXPECT_EQ(Release(), 0);
    ChooseAndClose(4, 5);
    EXPECT_EQ(ReadFile(file), content);
}

TEST_F(Bench, BinaryTextKeepsEveryByteButTheTwoOptions) {
    std::mt19937 random(11);
    std::string noise;
    for (int i = 0; i < 20000; ++i) {
        noise.push_back(static_cast<char>(1 + random() % 255));
    }
    const std::string before = noise + "\n[Other]\nComPort=9\n[OPTION]\nComPort=3\n";
    const std::string after = "ComAutoRelease=2\n[Tail]\nx=" + noise.substr(0, 300) + "\n";
    WriteFile(file, before + after);
    Start();
    EXPECT_EQ(ComPort(), 3);
    EXPECT_EQ(Release(), 2);
    ChooseAndClose(4, 5);
    std::string expected = before + after;
    expected.replace(expected.rfind("ComPort=3"), 9, "ComPort=4");
    expected.replace(expected.find("ComAutoRelease=2"), 16, "ComAutoRelease=5");
    EXPECT_EQ(ReadFile(file), expected);
}

TEST_F(Bench, TenMegabyteLineGivesTheDefaultsAndIsLeftAlone) {
    std::string content = "[OPTION]\nComPort=3\nComAutoRelease=2\nNote=";
    content.append(10 * 1024 * 1024, 'a');
    content += "\n";
    WriteFile(file, content);
    Start();
    EXPECT_EQ(ComPort(), 1);
    EXPECT_EQ(Release(), 0);
    ChooseAndClose(2, 1);
    EXPECT_EQ(fs::file_size(file), content.size());
    EXPECT_EQ(ReadFile(file), content);
}

TEST_F(Bench, ThousandsOfSectionsKeepEveryOtherKey) {
    std::string content;
    for (int s = 0; s < 5000; ++s) {
        if (s == 2500) {
            content += "[OPTION]\r\nComPort=2\r\nComAutoRelease=3\r\n";
        }
        content += "[Section" + std::to_string(s) + "]\r\nkey=value " + std::to_string(s) +
                   "\r\nComPort=" + std::to_string(s % 10) + "\r\n";
    }
    content += "[option]\r\nComPort=4\r\n";  // a second one is never used
    WriteFile(file, content);
    Start();
    EXPECT_EQ(ComPort(), 2);
    EXPECT_EQ(Release(), 3);
    ChooseAndClose(3, 1);
    std::string expected = content;
    expected.replace(expected.find("[OPTION]\r\nComPort=2\r\nComAutoRelease=3"), 37,
                     "[OPTION]\r\nComPort=3\r\nComAutoRelease=1");
    EXPECT_EQ(ReadFile(file), expected);
}

TEST_F(Bench, LoopOfLinksGivesTheDefaultsAndIsLeftAlone) {
    // A loop of links cannot be read by anyone, root included.
    fs::create_symlink("QUORVAADJ.rs.b", file);
    fs::create_symlink("QUORVAADJ.rs", dir.File("QUORVAADJ.rs.b"));
    Start();
    EXPECT_EQ(ComPort(), 1);
    EXPECT_EQ(Release(), 0);
    ChooseAndClose(2, 1);
    EXPECT_TRUE(fs::is_symlink(file));
    EXPECT_EQ(fs::read_symlink(file), "QUORVAADJ.rs.b");
}

TEST_F(Bench, FileWithoutReadPermissionGivesTheDefaultsAndIsLeftAlone) {
    const std::string content = "[OPTION]\nComPort=3\nComAutoRelease=2\n";
    WriteFile(file, content);
    fs::permissions(file, fs::perms::none);
    if (::geteuid() == 0) {
        fs::permissions(file, fs::perms::owner_read | fs::perms::owner_write);
        GTEST_SKIP() << "permissions do not bind the super-user";
    }
    Start();
    EXPECT_EQ(ComPort(), 1);
    ChooseAndClose(2, 1);
    fs::permissions(file, fs::perms::owner_read | fs::perms::owner_write);
    EXPECT_EQ(ReadFile(file), content);
}

TEST_F(Bench, DirectoryOrPipeInItsPlace) {
    fs::create_directory(file);
    WriteFile(file + "/inside", "[OPTION]\nComPort=3\n");
    Start();
    EXPECT_EQ(ComPort(), 1);
    ChooseAndClose(2, 1);
    EXPECT_TRUE(fs::is_directory(file));
    EXPECT_EQ(ReadFile(file + "/inside"), "[OPTION]\nComPort=3\n");

    // A pipe would block a reader forever; it is never opened.
    fs::remove_all(file);
    ASSERT_EQ(::mkfifo(file.c_str(), 0600), 0);
    Start();
    EXPECT_EQ(ComPort(), 1);
    ChooseAndClose(2, 1);
    EXPECT_TRUE(fs::is_fifo(file));
}

TEST_F(Bench, MissingFileIsCreatedWithTheOptionsOnly) {
    Start();
    EXPECT_EQ(ComPort(), 1);
    ChooseAndClose(3, 2);
    EXPECT_EQ(ReadFile(file), "[OPTION]\nComPort=3\nComAutoRelease=2\n");
}

}  // namespace
}  // namespace quorvane
