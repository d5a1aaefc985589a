// Service record files: a free name for each record, and no file ever replaced.
#include "record/record_files.h"

#include <gtest/gtest.h>

#include "support/file_text.h"
#include "support/temp_dir.h"

namespace quorvane {
namespace {

TEST(RecordFiles, EachRecordTakesTheFirstNameFreeForBothItsFiles) {
    test::TempDir dir;
    const auto base = dir.path() / "20261207-051502_8537-0200";
    EXPECT_EQ(FreeRecordPath(base), dir.path() / "20261207-051502_8537-0200-record.txt");
    EXPECT_EQ(SaveRecordFiles(FreeRecordPath(base), "first", "a,b\r\n"), "");
    // A table left alone still takes its number.
    test::WriteFile(dir.File("20261207-051502_8537-0200-record-2.csv"), "x");
    const auto third = FreeRecordPath(base);
    EXPECT_EQ(third, dir.path() / "20261207-051502_8537-0200-record-3.txt");
    EXPECT_EQ(SaveRecordFiles(third, "third", "c\r\n"), "");
    EXPECT_EQ(test::ReadFile(dir.File("20261207-051502_8537-0200-record.txt")), "first");
    EXPECT_EQ(test::ReadFile(dir.File("20261207-051502_8537-0200-record-3.csv")), "c\r\n");

    EXPECT_EQ(SaveRecordFiles(third, "again", ""),
              "Cannot save the service record '" + third.string() +
                  "': a file of that name exists, and records are never overwritten.");
    EXPECT_EQ(test::ReadFile(third.string()), "third");
    const auto table = dir.path() / "table.csv";
    EXPECT_EQ(SaveRecordFiles(table, "t", "c"),
              "Cannot save the service record '" + table.string() +
                  "': the record and its table would have one name.");
    test::WriteFile(dir.File("file"), "");
    EXPECT_NE(SaveRecordFiles(dir.path() / "file" / "r.txt", "t", "c").find("Not a directory"),
              std::string::npos);
}

}  // namespace
}  // namespace quorvane
