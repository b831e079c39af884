// Every quoted include of the sources runs along the folder plan in cmake/FolderRules.txt; a
// wrong arrow is named with its file and line.

#include "tests/common/TestSupport.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <map>
#include <set>
#include <sstream>
#include <string>
#include <vector>

namespace {

namespace fs = std::filesystem;

using FolderRules = std::map<std::string, std::set<std::string>>;

FolderRules ReadRules(const fs::path &file)
{
    FolderRules rules;
    std::ifstream in(file);
    std::string line;
    while (std::getline(in, line)) {
        if (line.empty() || line[0] == '#')
            continue;
        const size_t colon = line.find(':');
        if (colon == std::string::npos)
            continue;
        std::set<std::string> &allowed = rules[line.substr(0, colon)];
        std::istringstream words(line.substr(colon + 1));
        for (std::string word; words >> word;)
            allowed.insert(word);
    }
    return rules;
}

// The folder of the plan that holds relative path `path`: the longest one it lies under.
std::string FolderOf(const FolderRules &rules, const std::string &path)
{
    std::string best;
    for (const auto &[folder, allowed] : rules) {
        if (path.rfind(folder + "/", 0) == 0 && folder.size() > best.size())
            best = folder;
    }
    return best;
}

struct Include
{
    std::string file; // relative to the source root
    int line;
    std::string target;
};

// The name in `line` when it is a quoted include, else empty.
std::string QuotedIncludeName(const std::string &line)
{
    size_t i = line.find_first_not_of(" \t");
    if (i == std::string::npos || line[i] != '#')
        return {};
    i = line.find_first_not_of(" \t", i + 1);
    const std::string keyword = "include";
    if (i == std::string::npos || line.compare(i, keyword.size(), keyword) != 0)
        return {};
    i = line.find_first_not_of(" \t", i + keyword.size());
    if (i == std::string::npos || line[i] != '"')
        return {};
    const size_t end = line.find('"', i + 1);
    return end == std::string::npos ? std::string() : line.substr(i + 1, end - i - 1);
}

std::vector<Include> QuotedIncludes(const fs::path &root, const FolderRules &rules)
{
    std::vector<Include> includes;
    for (const auto &[folder, allowed] : rules) {
        for (const auto &entry : fs::recursive_directory_iterator(root / folder)) {
            const std::string ext = entry.path().extension().string();
            if (!entry.is_regular_file() || (ext != ".cpp" && ext != ".h"))
                continue;
            const std::string relative = fs::relative(entry.path(), root).generic_string();
            if (FolderOf(rules, relative) != folder)
                continue; // a sub-folder of its own, visited under its own name
            std::ifstream in(entry.path());
            std::string text;
            for (int line = 1; std::getline(in, text); ++line) {
                std::string name = QuotedIncludeName(text);
                if (name.empty())
                    continue;
                // A name found beside the including file is that file's neighbour.
                const fs::path beside = entry.path().parent_path() / name;
                if (fs::exists(beside))
                    name = fs::relative(beside, root).lexically_normal().generic_string();
                includes.push_back({relative, line, name});
            }
        }
    }
    return includes;
}

// The wrong arrows among `includes`, one line each.
std::vector<std::string> Violations(const FolderRules &rules, const std::vector<Include> &includes)
{
    std::vector<std::string> found;
    for (const Include &inc : includes) {
        const std::string from = FolderOf(rules, inc.file);
        const std::string to = FolderOf(rules, inc.target);
        const std::string where = inc.file + ":" + std::to_string(inc.line) + ": ";
        if (to.empty())
            found.push_back(where + "\"" + inc.target + "\" names no source folder");
        else if (to != from && !rules.at(from).count(to) && !rules.at(from).count("*"))
            found.push_back(where + from + "/ may not include " + to + "/ (\"" + inc.target
                            + "\")");
    }
    return found;
}

class IncludeRules : public ::testing::Test
{
protected:
    void SetUp() override
    {
        m_root = SourceDir();
        m_rules = ReadRules(m_root / "cmake/FolderRules.txt");
        ASSERT_FALSE(m_rules.empty()) << "cmake/FolderRules.txt has no rules";
    }
    fs::path m_root;
    FolderRules m_rules;
};

TEST_F(IncludeRules, EveryArrowRunsTheWayThePlanAllows)
{
    const std::vector<Include> includes = QuotedIncludes(m_root, m_rules);
    ASSERT_GT(includes.size(), 100u) << "the sources were not found under " << m_root;
    std::string report;
    for (const std::string &v : Violations(m_rules, includes))
        report += v + "\n";
    EXPECT_TRUE(report.empty()) << report;
}

TEST_F(IncludeRules, PlanNamesEveryFolderItAllows)
{
    for (const auto &[folder, allowed] : m_rules) {
        EXPECT_TRUE(fs::is_directory(m_root / folder)) << folder;
        for (const std::string &to : allowed)
            EXPECT_TRUE(to == "*" || m_rules.count(to))
                << folder << " allows unknown folder " << to;
    }
}

// A new folder of sources has to take its place in the plan before it can pass.
TEST_F(IncludeRules, EveryFolderOfSourcesIsInThePlan)
{
    std::set<std::string> unplanned;
    for (auto it = fs::recursive_directory_iterator(m_root);
         it != fs::recursive_directory_iterator(); ++it) {
        const fs::path &path = it->path();
        if (it->is_directory()) {
            // Version control, editors' folders and build trees hold no sources of ours.
            if (path.filename().string().starts_with(".") || fs::exists(path / "CMakeCache.txt"))
                it.disable_recursion_pending();
            continue;
        }
        const std::string ext = path.extension().string();
        if (ext != ".cpp" && ext != ".h")
            continue;
        const std::string relative = fs::relative(path, m_root).generic_string();
        if (FolderOf(m_rules, relative).empty())
            unplanned.insert(fs::path(relative).parent_path().generic_string());
    }
    std::string report;
    for (const std::string &folder : unplanned)
        report += folder + "/ holds sources but cmake/FolderRules.txt does not name it\n";
    EXPECT_TRUE(report.empty()) << report;
}

TEST(IncludeLines, OnlyQuotedIncludeDirectivesAreRead)
{
    EXPECT_EQ(QuotedIncludeName("#include \"res/resource.h\""), "res/resource.h");
    EXPECT_EQ(QuotedIncludeName("  #  include\t\"view/CVelorineView.h\" // why"),
              "view/CVelorineView.h");
    EXPECT_EQ(QuotedIncludeName("#include <QString>"), "");
    EXPECT_EQ(QuotedIncludeName("// #include \"view/CVelorineView.h\""), "");
    EXPECT_EQ(QuotedIncludeName("#pragma once"), "");
    EXPECT_EQ(QuotedIncludeName("#include \"unterminated"), "");
}

// The checker itself: a wrong arrow, an unknown folder and a sub-folder are told apart.
TEST_F(IncludeRules, WrongArrowsAreNamedWithFileAndLine)
{
    const std::vector<Include> includes {
        {"res/Menus.cpp", 3, "res/resource.h"},
        {"res/DialogTemplates.h", 4, "platform/widgets/CDialog.h"},
        {"cli/RenderCli.cpp", 9, "platform/widgets/CWinApp.h"},
        {"cli/RenderCli.cpp", 10, "platform/CFile.h"},
        {"platform/widgets/CFrameWnd.cpp", 2, "platform/Guard.h"},
        {"platform/CFile.cpp", 7, "platform/widgets/CView.h"},
        {"dialogs/CJuliaDlg.cpp", 9, "view/CVelorineDoc.h"},
        {"app/main.cpp", 1, "nowhere/thing.h"},
        {"tests/desktop/KeysTest.cpp", 6, "res/resource.h"},
        {"tests/desktop/KeysTest.cpp", 7, "view/CVelorineView.h"},
        {"tests/view/RenderCommandsTest.cpp", 5, "app/CMainFrame.h"},
        {"bench/bench_view.cpp", 4, "tests/view/ViewFixture.h"},
    };
    const std::vector<std::string> expected {
        "res/DialogTemplates.h:4: res/ may not include platform/widgets/ "
        "(\"platform/widgets/CDialog.h\")",
        "cli/RenderCli.cpp:9: cli/ may not include platform/widgets/ "
        "(\"platform/widgets/CWinApp.h\")",
        "platform/CFile.cpp:7: platform/ may not include platform/widgets/ "
        "(\"platform/widgets/CView.h\")",
        "dialogs/CJuliaDlg.cpp:9: dialogs/ may not include view/ (\"view/CVelorineDoc.h\")",
        "app/main.cpp:1: \"nowhere/thing.h\" names no source folder",
        "tests/desktop/KeysTest.cpp:7: tests/desktop/ may not include view/ "
        "(\"view/CVelorineView.h\")",
    };
    EXPECT_EQ(Violations(m_rules, includes), expected);
}

} // namespace
