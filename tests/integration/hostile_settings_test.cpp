// The whole program started on settings that are not what it wrote. It starts with the
// defaults, closes without a word, and leaves whatever was there as it was.
#include <gtest/gtest.h>
#ifndef _WIN32
#include <sys/stat.h>
#endif

#include <filesystem>
#include <functional>
#include <string>
#include <vector>

#include "app/program.h"
#include "rig/fake_controls.h"
#include "rig/fake_process_services.h"
#include "rig/sim_rig.h"
#include "settings/ini_file_store.h"
#include "support/file_text.h"
#include "support/temp_dir.h"

namespace quorvane {
namespace {

namespace fs = std::filesystem;

// What stands at path, as far as the program could have changed it.
std::string Snapshot(const fs::path& path) {
    if (fs::is_symlink(path)) {
        return "link to " + fs::read_symlink(path).string();
    }
    if (fs::is_directory(path)) {
        return "directory holding " + test::ReadFile((path / "inside").string());
    }
    return fs::is_fifo(path) ? "pipe" : test::ReadFile(path.string());
}

TEST(HostileSettings, StartsWithTheDefaultsAndLosesNothing) {
    const std::string options = "[OPTION]\nComPort=3\nComAutoRelease=2\n";
    std::vector<std::function<void(const std::string&)>> hostile = {
        [&](const std::string& f) { test::WriteFile(f, options + std::string("\0\x01\xff", 3)); },
        [&](const std::string& f) {
            test::WriteFile(f, options + "Note=" + std::string(10 * 1024 * 1024, 'a') + "\n");
        },
        [&](const std::string& f) {
            fs::create_directory(f);
            test::WriteFile(f + "/inside", options);
        },
    };
    // Windows keeps its pipes out of the file system, and only a privileged user makes links.
#ifndef _WIN32
    hostile.push_back([](const std::string& f) { ASSERT_EQ(::mkfifo(f.c_str(), 0600), 0); });
    hostile.push_back([](const std::string& f) {  // a loop of links not even root can read
        fs::create_symlink("QUORVAADJ.rs.b", f);
        fs::create_symlink("QUORVAADJ.rs", f + ".b");
    });
#endif
    for (const auto& make : hostile) {
        test::TempDir dir;
        const std::string file = dir.File("QUORVAADJ.rs");
        make(file);
        const std::string before = Snapshot(file);
        IniFileStore store;
        test::FakeProcessServices process;
        process.directory = dir.path().string();
        test::SimRig line;
        test::FakeMainForm form;
        {
            Program program(Platform{line.serial, line.clock, store, process, form.controls});
            program.MainWindow().Form_Load();
            SCOPED_TRACE(before.substr(0, 40));
            EXPECT_EQ(program.MainWindow().ComPortNo(), 1);
            EXPECT_EQ(program.MainWindow().ComAutoRelease(), 0);
            program.MainWindow().mnuOptSelCom_Click(4);
            program.Tick();
            program.MainWindow().Form_QueryUnload();
        }
        EXPECT_TRUE(form.messageBox.texts.empty());
        EXPECT_EQ(Snapshot(file), before);
    }
}

}  // namespace
}  // namespace quorvane
