// Service record files: a free name for each record, all its files or none, and no file ever
// replaced.
#include "record/record_files.h"

#include <gtest/gtest.h>

#include "support/failing_file_writes.h"
#include "support/file_text.h"
#include "support/temp_dir.h"

namespace quorvane {
namespace {

namespace fs = std::filesystem;

const std::vector<std::string> kExtensions{"", ".csv", ".html"};

std::vector<RecordFile> Record(const std::string& text) {
    return {{"", text}, {".csv", "a,b\r\n"}, {".html", "<p>" + text + "</p>"}};
}

std::size_t FilesIn(const fs::path& dir) {
    return static_cast<std::size_t>(
        std::distance(fs::directory_iterator(dir), fs::directory_iterator()));
}

TEST(RecordFiles, EachRecordTakesTheFirstNameFreeForAllItsFiles) {
    test::TempDir dir;
    const auto base = dir.path() / "20261207-051502_8537-0200";
    EXPECT_EQ(FreeRecordPath(base, kExtensions),
              dir.path() / "20261207-051502_8537-0200-record.txt");
    EXPECT_TRUE(SaveRecordFiles(FreeRecordPath(base, kExtensions), Record("first")).ok());
    EXPECT_EQ(FreeRecordPath(base, kExtensions),
              dir.path() / "20261207-051502_8537-0200-record-2.txt");
    // A table left alone still takes its number, and so does a page.
    test::WriteFile(dir.File("20261207-051502_8537-0200-record-2.csv"), "x");
    test::WriteFile(dir.File("20261207-051502_8537-0200-record-3.html"), "x");
    const auto fourth = FreeRecordPath(base, kExtensions);
    EXPECT_EQ(fourth, dir.path() / "20261207-051502_8537-0200-record-4.txt");
    EXPECT_TRUE(SaveRecordFiles(fourth, Record("fourth")).ok());
    EXPECT_EQ(test::ReadFile(dir.File("20261207-051502_8537-0200-record.txt")), "first");
    EXPECT_EQ(test::ReadFile(dir.File("20261207-051502_8537-0200-record-4.csv")), "a,b\r\n");
    EXPECT_EQ(test::ReadFile(dir.File("20261207-051502_8537-0200-record-4.html")), "<p>fourth</p>");

    EXPECT_EQ(SaveRecordFiles(fourth, Record("again")).cause(), RecordFault::NameTaken);
    EXPECT_EQ(SaveRecordFiles(fourth, Record("again")).text(),
              "Cannot save the service record '" + fourth.string() +
                  "': a file of that name exists, and records are never overwritten.");
    EXPECT_EQ(test::ReadFile(fourth.string()), "fourth");
    const auto table = dir.path() / "table.csv";
    EXPECT_EQ(SaveRecordFiles(table, Record("t")).cause(), RecordFault::SameName);
    EXPECT_EQ(SaveRecordFiles(table, Record("t")).text(),
              "Cannot save the service record '" + table.string() +
                  "': the record and its table would have one name.");
    test::WriteFile(dir.File("file"), "");
    const RecordStatus blocked = SaveRecordFiles(dir.path() / "file" / "r.txt", Record("t"));
    EXPECT_EQ(blocked.cause(), RecordFault::CannotWrite);
    EXPECT_NE(blocked.text().find("Not a directory"), std::string::npos);
}

// Another writer takes the name of the second file while the first is being given its own.
class NameTakenMeanwhile final : public FileWrites {
  public:
    explicit NameTakenMeanwhile(fs::path taken) : taken_(std::move(taken)) {}
    std::size_t Write(std::FILE* file, const char* data, std::size_t size) override {
        if (++writes == 3) {
            test::WriteFile(taken_.string(), "theirs");
        }
        return FileWrites::Write(file, data, size);
    }
    int writes = 0;

  private:
    fs::path taken_;
};

TEST(RecordFiles, ARecordIsSavedWholeOrNotAtAll) {
    test::TempDir dir;
    const auto base = dir.path() / "20261207-051502_8537-0200";
    const fs::path first = dir.path() / "20261207-051502_8537-0200-record.txt";
    // The disk fills up on the table, after the text was written.
    test::FailingFileWrites full;
    full.fault = test::FailingFileWrites::Fault::FullDisk;
    full.failFrom = 2;
    EXPECT_EQ(SaveRecordFiles(first, Record("r"), &full).text(),
              "Cannot save the service record '" +
                  dir.File("20261207-051502_8537-0200-record.csv") + "': No space left on device.");
    EXPECT_EQ(FilesIn(dir.path()), 0u);  // no text, no temporary file
    test::FailingFileWrites readOnly;
    readOnly.fault = test::FailingFileWrites::Fault::ReadOnly;
    readOnly.failFrom = 3;
    EXPECT_EQ(SaveRecordFiles(first, Record("r"), &readOnly).text(),
              "Cannot save the service record '" +
                  dir.File("20261207-051502_8537-0200-record.html") + "': Read-only file system.");
    EXPECT_EQ(FilesIn(dir.path()), 0u);
    EXPECT_EQ(FreeRecordPath(base, kExtensions), first);  // the name stays free

    NameTakenMeanwhile race(dir.path() / "20261207-051502_8537-0200-record.csv");
    EXPECT_EQ(SaveRecordFiles(first, Record("r"), &race).text(),
              "Cannot save the service record '" +
                  dir.File("20261207-051502_8537-0200-record.csv") +
                  "': a file of that name exists, and records are never overwritten.");
    EXPECT_EQ(FilesIn(dir.path()), 1u);  // only the other writer's file
    EXPECT_EQ(test::ReadFile(dir.File("20261207-051502_8537-0200-record.csv")), "theirs");
}

}  // namespace
}  // namespace quorvane
