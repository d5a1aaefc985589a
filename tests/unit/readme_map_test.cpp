// The README's map cannot rot: every folder its Layout names exists, every folder of src/ and
// tests/ is named there, and every file of its name tables exists and holds the row's name.
#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <regex>
#include <set>
#include <string>

#include "support/file_text.h"

namespace {

namespace fs = std::filesystem;
using quorvane::test::ReadFile;

TEST(ReadmeMap, TheLayoutNamesEveryFolderAndEveryNamedFileHoldsItsName) {
    const fs::path root = std::getenv("QUORVANE_SOURCE_DIR");
    const std::string readme = ReadFile((root / "README.md").string());
    const std::size_t layout = readme.find("\n## Layout\n");
    const std::size_t names = readme.find("\n### Where each named class lives\n");
    const std::size_t end = readme.find("\n### Where a change goes\n");
    ASSERT_TRUE(layout < names && names < end && end != std::string::npos);

    // The Layout's block: a folder at the start of every line that is not a continuation.
    std::set<std::string> listed;
    const std::size_t open = readme.find("\n```\n", layout);
    const std::string block = readme.substr(open, readme.find("\n```\n", open + 4) - open);
    const std::regex folder("\n([^ `\n]+/) ");
    for (std::sregex_iterator it(block.begin(), block.end(), folder), none; it != none; ++it) {
        listed.insert((*it)[1]);
        EXPECT_TRUE(fs::is_directory(root / (*it)[1].str())) << (*it)[1] << " is no folder";
    }
    for (const std::string parent : {"src/", "tests/"}) {
        for (const fs::directory_entry& entry : fs::directory_iterator(root / parent)) {
            const std::string name = parent + entry.path().filename().string() + "/";
            EXPECT_TRUE(!entry.is_directory() || listed.count(name) == 1) << name << " missing";
        }
    }

    // The tables' rows: | names | `Identifier` | `file`, `file` (a note) |.
    std::string named;
    int rows = 0;
    const std::string tables = readme.substr(names, end - names);
    const std::regex row("\n\\|([^|\n]*)\\| `(\\w+)` \\|([^|\n]*)\\|");
    for (std::sregex_iterator it(tables.begin(), tables.end(), row), none; it != none; ++it) {
        ++rows;
        named += (*it)[1].str();
        const std::string files = (*it)[3], identifier = (*it)[2];
        const std::regex path("`([^`]+/[^`]+)`");
        const std::regex word("(^|\\W)" + identifier + "($|\\W)");
        for (std::sregex_iterator f(files.begin(), files.end(), path); f != none; ++f) {
            EXPECT_TRUE(std::regex_search(ReadFile((root / (*f)[1].str()).string()), word))
                << (*f)[1] << " does not hold " << identifier;
        }
    }
    EXPECT_GE(rows, 30);
    // Every class, form and module the behaviour names has its row.
    for (const char* name :
         {"start", "frmCom", "frmMain", "MsCom", "clsCmcTick", "Common", "MsgBoxCritical",
          "clsCmcVep3Drv", "clsCmcVep3Sequence", "clsCmcEeprom", "clsCmcRadio", "clsConsole",
          "clsIndOp_RigTamsk", "RigOpFunc_FormLayout", "clsIndEep_RigTamsk", "clsCmcProfileIO"}) {
        EXPECT_NE(named.find("`" + std::string(name) + "`"), std::string::npos) << name;
    }
}

}  // namespace
