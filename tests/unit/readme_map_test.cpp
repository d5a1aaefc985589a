// The README's map of the repository cannot rot: every folder its Layout names exists and
// every folder of src/ and tests/ is named there; every file of its name tables exists and
// holds the name the table gives for it.
#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <regex>
#include <set>
#include <sstream>
#include <string>
#include <vector>

#include "support/file_text.h"

namespace {

namespace fs = std::filesystem;

fs::path Root() {
    const char* root = std::getenv("QUORVANE_SOURCE_DIR");
    return root != nullptr ? fs::path(root) : fs::path();
}

// The README's text from the line that is heading up to the next heading of level ≤ its own.
std::string Section(const std::string& readme, const std::string& heading) {
    const std::size_t start = readme.find("\n" + heading + "\n");
    if (start == std::string::npos) {
        return {};
    }
    const std::string level = heading.substr(0, heading.find(' ') + 1);
    std::size_t end = readme.find("\n" + level, start + heading.size() + 1);
    if (level == "### ") {
        end = std::min(end, readme.find("\n## ", start + 1));
    }
    return readme.substr(start, end == std::string::npos ? std::string::npos : end - start);
}

std::vector<std::string> Lines(const std::string& text) {
    std::vector<std::string> lines;
    std::istringstream in(text);
    for (std::string line; std::getline(in, line);) {
        lines.push_back(line);
    }
    return lines;
}

std::vector<std::string> Quoted(const std::string& cell) {
    std::vector<std::string> names;
    const std::regex quoted("`([^`]+)`");
    for (auto it = std::sregex_iterator(cell.begin(), cell.end(), quoted);
         it != std::sregex_iterator(); ++it) {
        names.push_back((*it)[1]);
    }
    return names;
}

bool HoldsWord(const std::string& text, const std::string& word) {
    return std::regex_search(text, std::regex("(^|[^A-Za-z0-9_])" + word + "($|[^A-Za-z0-9_])"));
}

TEST(ReadmeMap, TheLayoutNamesEveryFolderAndEveryNamedFileHoldsItsName) {
    ASSERT_FALSE(Root().empty());
    const std::string readme = quorvane::test::ReadFile((Root() / "README.md").string());
    ASSERT_FALSE(readme.empty());

    // The Layout's block: a folder at the start of every line that is not a continuation.
    const std::string layout = Section(readme, "## Layout");
    const std::size_t open = layout.find("```\n");
    const std::size_t close = layout.find("```", open + 4);
    ASSERT_NE(open, std::string::npos);
    std::set<std::string> listed;
    for (const std::string& line : Lines(layout.substr(open + 4, close - open - 4))) {
        if (!line.empty() && line[0] != ' ') {
            const std::string folder = line.substr(0, line.find(' '));
            listed.insert(folder);
            EXPECT_TRUE(fs::is_directory(Root() / folder)) << folder << " is not a folder";
        }
    }
    for (const char* parent : {"src", "tests"}) {
        for (const fs::directory_entry& entry : fs::directory_iterator(Root() / parent)) {
            if (entry.is_directory()) {
                const std::string folder =
                    std::string(parent) + "/" + entry.path().filename().string() + "/";
                EXPECT_TRUE(listed.count(folder) == 1) << folder << " is missing in the Layout";
            }
        }
    }

    // The name tables: | name | `Identifier` | `file`, `file` (what) |.
    std::set<std::string> names;
    int rows = 0;
    for (const std::string& line : Lines(Section(readme, "### Where each named class lives"))) {
        std::vector<std::string> cells;
        std::istringstream row(line);
        for (std::string cell; std::getline(row, cell, '|');) {
            cells.push_back(cell);
        }
        if (cells.size() != 4 || Quoted(cells[2]).size() != 1) {
            continue;  // prose, a table's head or its rule
        }
        ++rows;
        for (const std::string& name : Quoted(cells[1])) {
            names.insert(name);
        }
        const std::string identifier = Quoted(cells[2])[0];
        int files = 0;
        for (const std::string& file : Quoted(cells[3])) {
            if (file.find('/') == std::string::npos) {
                continue;  // a name in the file's note
            }
            ++files;
            const std::string text = quorvane::test::ReadFile((Root() / file).string());
            EXPECT_FALSE(text.empty()) << file << " (for " << identifier << ") cannot be read";
            EXPECT_TRUE(HoldsWord(text, identifier)) << file << " does not hold " << identifier;
        }
        EXPECT_GT(files, 0) << identifier << " names no file";
    }
    EXPECT_GE(rows, 30);
    // Every class, form and module the behaviour names has its row.
    for (const char* name :
         {"start", "frmCom", "frmMain", "MsCom", "clsCmcTick", "Common", "MsgBoxCritical",
          "clsCmcVep3Drv", "clsCmcVep3Sequence", "clsCmcEeprom", "clsCmcRadio", "clsConsole",
          "clsIndOp_RigTamsk", "RigOpFunc_FormLayout", "clsIndEep_RigTamsk", "clsCmcProfileIO"}) {
        EXPECT_TRUE(names.count(name) == 1) << name << " has no row";
    }
}

}  // namespace
