// The tamskor-sim command as users run it: a child process on a real pseudo-terminal.
#include <fcntl.h>
#include <poll.h>
#include <sys/wait.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>

#include "protocol/common.h"
#include "sim/sim_image.h"
#include "support/file_text.h"
#include "support/sim_process.h"
#include "support/temp_dir.h"

namespace quorvane::sim {
namespace {

namespace fs = std::filesystem;

TEST(SimCommand, ServesUntilSignalledThenSavesTheImageAndRemovesItsLink) {
    test::TempDir dir;
    const std::string link = dir.File("radio"), image = dir.File("image.bin");
    {
        test::SimProcess sim(TAMSKOR_SIM_EXE,
                             {"--seed", "5", "--link", link, "--save-image", image});
        ASSERT_TRUE(sim.Ok());
        EXPECT_EQ(fs::read_symlink(link).string(), sim.Device());
        const int fd = open(link.c_str(), O_RDWR | O_NOCTTY);        // the device is raw already
        const Bytes sql = HexToBytes("FEFEEEEFE885370200083830FD");  // SQL to 0x80
        ASSERT_EQ(write(fd, sql.data(), sql.size()), static_cast<ssize_t>(sql.size()));
        Bytes echo(sql.size());
        std::size_t got = 0;
        pollfd p{fd, POLLIN, 0};
        while (got < echo.size() && poll(&p, 1, 10000) > 0) {
            const ssize_t n = read(fd, echo.data() + got, echo.size() - got);
            got += n > 0 ? static_cast<std::size_t>(n) : echo.size();
        }
        EXPECT_EQ(echo, sql);
        close(fd);
    }
    EXPECT_FALSE(fs::exists(fs::symlink_status(link)));
    SimImage expected = SimImage::Generate(5);
    expected.Byte(274, 0x80);
    EXPECT_EQ(SimImage::Load(image), expected);
}

TEST(SimCommand, ARefusalOrAFailedStartEndsWithItsStatusAndReason) {
    test::TempDir dir;
    const auto run = [&dir](const std::string& args) {
        const std::string err = dir.File("err");
        const int status =
            std::system((TAMSKOR_SIM_EXE " " + args + " >/dev/null 2>" + err).c_str());
        return std::to_string(WEXITSTATUS(status)) + " " + test::ReadFile(err);
    };
    EXPECT_EQ(run("--fault smoke").substr(0, 2), "2 ");
    test::WriteFile(dir.File("short.bin"), "tiny");
    EXPECT_EQ(run("--image " + dir.File("short.bin")).substr(0, 2), "1 ");
    test::WriteFile(dir.File("occupied"), "keep me");  // never replaced by the link
    EXPECT_EQ(run("--link " + dir.File("occupied")),
              "1 tamskor-sim: " + dir.File("occupied") + " exists and is not a symbolic link\n");
    EXPECT_EQ(test::ReadFile(dir.File("occupied")), "keep me");
}

}  // namespace
}  // namespace quorvane::sim
