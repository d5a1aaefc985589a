#include <gtest/gtest.h>

#include <chrono>
#include <filesystem>
#include <map>
#include <set>
#include <string>

#include "image/backup_store.h"
#include "image/crc32.h"
#include "image/image_compare.h"
#include "image/image_file.h"
#include "support/file_text.h"
#include "support/temp_dir.h"

namespace quorvane {
namespace {

namespace fs = std::filesystem;
using namespace std::chrono_literals;
using test::ReadFile;
using test::TempDir;
using test::WriteFile;

// 2026-12-07T05:15:02Z, from a transceiver that answered 8537 0200, revision 04, end 7FE0.
const ImageOrigin kOrigin{{0x8537, 0x0200, 0x04, 0x7FE0},
                          std::chrono::sys_days{2026y / 12 / 7} + 5h + 15min + 2s};

// Every byte differs from its neighbours, so a byte out of place shows.
Bytes Pattern() {
    Bytes image(32736);
    for (std::size_t i = 0; i < image.size(); ++i) {
        image[i] = static_cast<std::uint8_t>(i * 7);
    }
    return image;
}

std::string AsText(const Bytes& b) {
    return std::string(b.begin(), b.end());
}

std::set<std::string> Entries(const fs::path& dir) {
    std::set<std::string> names;
    for (const auto& e : fs::directory_iterator(dir)) {
        names.insert(e.path().filename().string());
    }
    return names;
}

TEST(ImageFile, Crc32IsTheIeeeChecksum) {
    const std::string check = "123456789";
    EXPECT_EQ(Crc32(Bytes(check.begin(), check.end())), 0xCBF43926u);
}

TEST(ImageFile, EncodeKeepsTheImageFirstAndDecodeGivesItBack) {
    const Bytes file = EncodeImageFile(Pattern(), kOrigin);
    ASSERT_EQ(file.size(), 32796u);
    EXPECT_EQ(Bytes(file.begin(), file.begin() + 32736), Pattern());
    EXPECT_EQ(AsText(Bytes(file.begin() + 32736, file.end())),
              "QVADJIMG 01 8537 0200 04 7FE0 2026-12-07T05:15:02Z F1AB250D\n");
    const ImageFileResult back = DecodeImageFile(file);
    ASSERT_TRUE(back.ok());
    EXPECT_EQ(back->image, Pattern());
    EXPECT_EQ(back->origin, kOrigin);
}

TEST(ImageFile, MalformedTrailerWithAGoodChecksumIsRefused) {
    // Each head with the checksum of the image and that head.
    const std::pair<std::string, std::string> bad[] = {
        {"8537 0200 04 7FE0 2026-13-07T05:15:02Z ", "4850FEE5"},
        {"8537 0200 04 7FE0 2026-12-07T24:15:02Z ", "E225E173"},
        {"8537 0200 04 7FE0 2026-12-07 05:15:02Z ", "BF50047C"},
        {"8537 0200 04 7FE0 2026-12-07T05:60:02Z ", "64C18A30"},
        {"8537 0200 04 7FE0 2026-12-07T05:15:0AZ ", "A71CF304"},
        {"85G7 0200 04 7FE0 2026-12-07T05:15:02Z ", "6A3CE2C0"},
        {"85 7 0200 04 7FE0 2026-12-07T05:15:02Z ", "C9F646D0"}};
    for (const auto& [head, crc] : bad) {
        Bytes file = EncodeImageFile(Pattern(), kOrigin);
        const std::string trailer = "QVADJIMG 01 " + head + crc + "\n";
        std::copy(trailer.begin(), trailer.end(), file.begin() + 32736);
        const ImageFileResult r = DecodeImageFile(file);
        ASSERT_FALSE(r.ok()) << head;
        EXPECT_EQ(r.cause(), ImageFault::Malformed) << head;
        EXPECT_EQ(r.text(), "its trailer is malformed") << head;
    }
    EXPECT_THROW(EncodeImageFile(Bytes(32735), kOrigin), RuntimeError);
    // A time beyond what four year digits hold is written as the last one they do.
    const Bytes far =
        EncodeImageFile(Pattern(), {kOrigin.identity, std::chrono::sys_days{10000y / 1 / 1}});
    EXPECT_EQ(AsText(Bytes(far.begin() + 32766, far.begin() + 32786)), "9999-12-31T23:59:59Z");
}

TEST(ImageFile, LoadRefusesEveryBadFileWithItsReason) {
    TempDir dir;
    const std::string good = AsText(EncodeImageFile(Pattern(), kOrigin));
    const std::map<std::string, ImageFault> causes{
        {"short", ImageFault::WrongSize}, {"long", ImageFault::WrongSize},
        {"magic", ImageFault::NoTrailer}, {"version", ImageFault::UnknownVersion},
        {"flipped", ImageFault::Damaged}, {"cut", ImageFault::CutShort},
        {"cut4", ImageFault::CutShort}};
    const auto refusal = [&](const std::string& name, const std::string& content) {
        const std::string path = dir.File(name);
        WriteFile(path, content);
        const ImageFileResult r = LoadImageFile(path);
        EXPECT_FALSE(r.ok()) << name;
        EXPECT_EQ(r.ok() ? ImageFault::NothingRead : r.cause(), causes.at(name)) << name;
        return r.ok() ? std::string() : r.text();
    };
    const std::string p = (dir.path() / "").string();  // with the system's separator
    EXPECT_EQ(refusal("short", std::string(100, 'x')),
              "Cannot read the image '" + p +
                  "short': it holds 100 bytes; an image holds 32736, an image file 32796.");
    EXPECT_EQ(refusal("long", good + "x"),
              "Cannot read the image '" + p +
                  "long': it holds 32797 bytes; an image holds 32736, an image file 32796.");
    EXPECT_EQ(refusal("magic", good.substr(0, 32736) + "QVADJIMX" + good.substr(32744)),
              "Cannot read the image '" + p +
                  "magic': the bytes after its first 32736 are no image trailer.");
    std::string version = good;
    version[32736 + 10] = '2';
    EXPECT_EQ(refusal("version", version),
              "Cannot read the image '" + p + "version': its format version \"02\" is unknown.");
    // Bytes that are no text are shown by their value, never as they stand.
    version[32736 + 9] = '\0';
    version[32736 + 10] = '\xE9';
    EXPECT_EQ(refusal("version", version), "Cannot read the image '" + p +
                                               "version': its format version \"\\x00\\xE9\" is "
                                               "unknown.");
    std::string flipped = good;
    flipped[274] ^= 0x01;
    EXPECT_EQ(refusal("flipped", flipped), "Cannot read the image '" + p +
                                               "flipped': its checksum does not match: the file "
                                               "is damaged.");
    EXPECT_EQ(refusal("cut", good.substr(0, 32736 + 20)),
              "Cannot read the image '" + p + "cut': its trailer is cut short: 20 of 60 bytes.");
    EXPECT_EQ(refusal("cut4", good.substr(0, 32736 + 4)),
              "Cannot read the image '" + p + "cut4': its trailer is cut short: 4 of 60 bytes.");
    EXPECT_EQ(LoadImageFile(dir.path()).cause(), ImageFault::NotAFile);
    EXPECT_EQ(LoadImageFile(dir.path()).text(),
              "Cannot read the image '" + dir.path().string() + "': it is a folder.");
    EXPECT_EQ(LoadImageFile(p + "absent").cause(), ImageFault::NoSuchFile);
    EXPECT_EQ(LoadImageFile(p + "absent").text(),
              "Cannot read the image '" + p + "absent': there is no such file.");

    WriteFile(p + "plain.bin", good.substr(0, 32736));
    const ImageFileResult plain = LoadImageFile(p + "plain.bin");
    ASSERT_TRUE(plain.ok());
    EXPECT_EQ(plain->image, Pattern());
    EXPECT_FALSE(plain->origin);
}

TEST(ImageFile, SaveReplacesTheFileWholeAndLeavesNothingElse) {
    TempDir dir;
    const std::string path = dir.File("radio.qvimg");
    WriteFile(path, "old");
    EXPECT_TRUE(SaveImageFile(path, Pattern(), kOrigin).ok());
    EXPECT_EQ(ReadFile(path), AsText(EncodeImageFile(Pattern(), kOrigin)));
    EXPECT_EQ(Entries(dir.path()), std::set<std::string>{"radio.qvimg"});
    const std::string none = (dir.path() / "none" / "radio.qvimg").string();
    const ImageStatus failed = SaveImageFile(none, Pattern(), kOrigin);
    EXPECT_EQ(failed.cause(), ImageFault::CannotSave);
    EXPECT_EQ(failed.text(), "Cannot save the image '" + none + "': No such file or directory.");
}

TEST(ImageBackup, NamedByTimeAndIdentityNeverOverwritten) {
    TempDir dir;
    const ImageBackupStore store(dir.path() / "data" / "backups");
    const ImageBackupStore::Result first = store.Save(Pattern(), kOrigin);
    const ImageBackupStore::Result second = store.Save(Bytes(32736), kOrigin);
    ASSERT_TRUE(first.ok());
    ASSERT_TRUE(second.ok());
    EXPECT_EQ(first->filename(), "20261207-051502_8537-0200.qvimg");
    EXPECT_EQ(second->filename(), "20261207-051502_8537-0200-2.qvimg");
    EXPECT_EQ(Entries(store.folder()),
              (std::set<std::string>{"20261207-051502_8537-0200.qvimg",
                                     "20261207-051502_8537-0200-2.qvimg"}));
    const ImageFileResult kept = LoadImageFile(*first);
    ASSERT_TRUE(kept.ok());
    EXPECT_EQ(kept->image, Pattern());
    EXPECT_EQ(kept->origin, kOrigin);

    WriteFile(dir.File("file"), "");
    const ImageBackupStore blocked(dir.path() / "file" / "backups");
    const ImageBackupStore::Result failed = blocked.Save(Pattern(), kOrigin);
    EXPECT_EQ(failed.cause(), ImageFault::CannotSave);
    EXPECT_THROW(*failed, RuntimeError);  // a failure holds no path to be read by mistake
    EXPECT_EQ(failed.text(),
              "Cannot save the backup '" +
                  (dir.path() / "file" / "backups" / "20261207-051502_8537-0200.qvimg").string() +
                  "': Not a directory.");
}

TEST(ImageCompare, OneAdjustmentByteShowsAsItsDumpLine) {
    const Bytes a(32736);
    Bytes b = a;
    b[274] = 128;  // SQL level
    const std::vector<DumpLineDifference> lines = CompareParameterDumps(a, b);
    ASSERT_EQ(lines.size(), 1u);
    EXPECT_EQ(lines[0],
              (DumpLineDifference{9, "                   SQL Level:    0",
                                  "                   SQL Level:  128", "SQL Level", "0", "128"}));
    EXPECT_EQ(RenderSideBySide(lines, "a.qvimg", "b.qvimg"),
              "Line  a.qvimg                            | b.qvimg\n"
              "   9                     SQL Level:    0 |                    SQL Level:  128\n");
    EXPECT_EQ(RenderSideBySide({}, "a", "b"), "");
}

TEST(ImageCompare, FirstDifferingAddresses) {
    Bytes a(32736);
    Bytes b = a;
    b[5] = 0x11;
    b[274] = 0x80;
    b[32735] = 0xFF;
    EXPECT_EQ(FirstByteDifferences(a, b, 2),
              (std::vector<ByteDifference>{{5, 0, 0x11}, {274, 0, 0x80}}));
    EXPECT_EQ(FirstByteDifferences(a, b, 10).size(), 3u);
    EXPECT_EQ(FirstByteDifferences(Bytes{1, 2}, Bytes{1}, 10),
              (std::vector<ByteDifference>{{1, 2, -1}}));
    EXPECT_EQ(FirstByteDifferences(Bytes{}, Bytes{7}, 10),
              (std::vector<ByteDifference>{{0, -1, 7}}));
}

}  // namespace
}  // namespace quorvane
