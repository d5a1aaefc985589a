// Service record files: a free name for each record, and no file ever replaced.
#include "record/record_files.h"

#include <gtest/gtest.h>

#include "support/file_text.h"
#include "support/temp_dir.h"

namespace quorvane {
namespace {

TEST(RecordFiles, EachRecordTakesTheFirstNameFreeForAllItsFiles) {
    test::TempDir dir;
    const auto base = dir.path() / "20261207-051502_8537-0200";
    EXPECT_EQ(FreeRecordPath(base), dir.path() / "20261207-051502_8537-0200-record.txt");
    EXPECT_EQ(SaveRecordFiles(FreeRecordPath(base), "first", "a,b\r\n", "<p>"), "");
    EXPECT_EQ(FreeRecordPath(base), dir.path() / "20261207-051502_8537-0200-record-2.txt");
    // A table or a page left alone still takes its number.
    test::WriteFile(dir.File("20261207-051502_8537-0200-record-2.csv"), "x");
    test::WriteFile(dir.File("20261207-051502_8537-0200-record-3.html"), "x");
    const auto fourth = FreeRecordPath(base);
    EXPECT_EQ(fourth, dir.path() / "20261207-051502_8537-0200-record-4.txt");
    EXPECT_EQ(SaveRecordFiles(fourth, "fourth", "c\r\n", "<h1>"), "");
    EXPECT_EQ(test::ReadFile(dir.File("20261207-051502_8537-0200-record.txt")), "first");
    EXPECT_EQ(test::ReadFile(dir.File("20261207-051502_8537-0200-record.html")), "<p>");
    EXPECT_EQ(test::ReadFile(dir.File("20261207-051502_8537-0200-record-4.csv")), "c\r\n");

    EXPECT_EQ(SaveRecordFiles(fourth, "again", "", ""),
              "Cannot save the service record '" + fourth.string() +
                  "': a file of that name exists, and records are never overwritten.");
    EXPECT_EQ(test::ReadFile(fourth.string()), "fourth");
    const auto table = dir.path() / "table.csv";
    EXPECT_EQ(SaveRecordFiles(table, "t", "c", "h"),
              "Cannot save the service record '" + table.string() +
                  "': the record and its table would have one name.");
    const auto page = dir.path() / "page.html";
    EXPECT_EQ(SaveRecordFiles(page, "t", "c", "h"),
              "Cannot save the service record '" + page.string() +
                  "': the record and its page would have one name.");
    test::WriteFile(dir.File("file"), "");
    EXPECT_NE(SaveRecordFiles(dir.path() / "file" / "r.txt", "t", "c", "h").find("Not a directory"),
              std::string::npos);
}

}  // namespace
}  // namespace quorvane
