// quorvane-clone as users run it, against the tamskor-sim command on a pseudo-terminal with a
// short clone area, so that a read and a write take seconds.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <string>

#include "image/image_file.h"
#include "support/file_text.h"
#include "support/sim_process.h"
#include "support/temp_dir.h"

namespace quorvane {
namespace {

// Runs the tool with args; its exit status, standard output in out.
int Clone(const test::TempDir& dir, const std::string& args, std::string& out) {
    const std::string file = (dir.path() / "stdout").string();
    const int status = std::system(("XDG_DATA_HOME=" + dir.path().string() + " " CLONE_EXE " " +
                                    args + " >" + file + " 2>/dev/null </dev/null")
                                       .c_str());
    out = test::ReadFile(file);
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

TEST(CloneCommand, ReadDumpDiffWrite) {
    test::TempDir dir;
    test::SimProcess sim(TAMSKOR_SIM_EXE, {"--clone-end", "013F", "--seed", "3"});
    ASSERT_TRUE(sim.Ok());
    const std::string a = (dir.path() / "a.qvimg").string();
    const std::string b = (dir.path() / "b.qvimg").string();
    std::string out;
    ASSERT_EQ(Clone(dir, "read --device " + sim.Device() + " --out " + a, out), 0);
    const ImageFileResult read = LoadImageFile(a);
    ASSERT_TRUE(read.ok());
    EXPECT_EQ(read->origin->identity, (RadioIdentity{0x8537, 0x0200, 0x04, 0x0140}));

    ASSERT_EQ(Clone(dir, "dump " + a, out), 0);
    std::size_t crlf = 0;
    for (std::size_t p = 0; (p = out.find("\r\n", p)) != std::string::npos; p += 2) {
        ++crlf;
    }
    EXPECT_EQ(crlf, 66u);  // every line ends CR LF
    EXPECT_EQ(std::count(out.begin(), out.end(), '\n'), 66);

    Bytes image = read->image;
    image[274] = static_cast<std::uint8_t>(image[274] ^ 0x01);  // the squelch level
    ASSERT_TRUE(SaveImageFile(b, image, *read->origin).ok());
    // As diff(1): 1 different, 0 the same, 2 trouble.
    ASSERT_EQ(Clone(dir, "diff " + a + " " + b, out), 1);
    EXPECT_NE(out.find("SQL Level"), std::string::npos);
    EXPECT_EQ(std::count(out.begin(), out.end(), '\n'), 2);  // the header and one line
    EXPECT_EQ(Clone(dir, "diff " + a + " " + a, out), 0);
    EXPECT_EQ(out, "");
    EXPECT_EQ(Clone(dir, "diff " + a + " " + (dir.path() / "none").string(), out), 2);
    EXPECT_EQ(Clone(dir, "diff " + a, out), 2);
    const std::string err = (dir.path() / "stderr").string();
    EXPECT_EQ(std::system((CLONE_EXE " read --out " + a + " 2>" + err).c_str()), 2 << 8);
    EXPECT_EQ(test::ReadFile(err),
              "quorvane-clone: give either --device or --com\n"
              "(quorvane-clone --help tells the usage)\n");

    ASSERT_EQ(Clone(dir, "write --yes --device " + sim.Device() + " " + b, out), 0);
    EXPECT_EQ(out, "The EEPROM image was written and read back unchanged.\n");
    ASSERT_EQ(Clone(dir, "read --device " + sim.Device() + " --out " + a, out), 0);
    EXPECT_EQ(LoadImageFile(a)->image[274], image[274]);
    // Every read is kept, as in the window: the first read, the write's read before and after,
    // and the last read.
    EXPECT_EQ(
        std::distance(std::filesystem::directory_iterator(dir.path() / "quorvane-adj" / "backups"),
                      std::filesystem::directory_iterator()),
        4);

    EXPECT_EQ(Clone(dir, "write " + b, out), 2);  // no device
    ASSERT_EQ(Clone(dir, "--help", out), 0);
    EXPECT_NE(out.find("\n  --yes            Write without asking; the question's warning of an "
                       "image of\n                   unknown origin or another sub identifier is "
                       "still printed on\n                   standard error.\n"),
              std::string::npos)
        << out;
    EXPECT_EQ(Clone(dir, "read --device " + (dir.path() / "none").string() + " --out " + a, out),
              1);
}

}  // namespace
}  // namespace quorvane
