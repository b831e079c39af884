// Every quoted include of the sources runs along the folder plan in cmake/FolderRules.txt; a
// wrong arrow is named with its file and line.

#include "tests/common/TestSupport.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <map>
#include <regex>
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

std::vector<Include> QuotedIncludes(const fs::path &root, const FolderRules &rules)
{
    static const std::regex kInclude(R"re(^\s*#\s*include\s*"([^"]+)")re");
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
            std::smatch match;
            for (int line = 1; std::getline(in, text); ++line) {
                if (std::regex_search(text, match, kInclude))
                    includes.push_back({relative, line, match[1].str()});
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
        else if (to != from && !rules.at(from).count(to))
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
            EXPECT_TRUE(m_rules.count(to)) << folder << " allows unknown folder " << to;
    }
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
    };
    EXPECT_EQ(Violations(m_rules, includes), expected);
}

} // namespace
