// The platform layer knows the framework's own identifiers only: none of the program's
// commands, resources or controls from res/resource.h, by name or by number.

#include "tests/common/TestSupport.h"

#include <gtest/gtest.h>

#include <cctype>
#include <filesystem>
#include <fstream>
#include <map>
#include <sstream>
#include <string>
#include <vector>

namespace {

namespace fs = std::filesystem;

// The framework numbers its own commands, strings and bars from 0xE000 up; the program's
// commands lie below, from 0x8000.
constexpr long kFirstProgramCommand = 0x8000;
constexpr long kFirstFrameworkId = 0xE000;

// Name -> value of every program identifier in resource.h.
std::map<std::string, long> ProgramIds(const fs::path &header)
{
    std::map<std::string, long> ids;
    std::ifstream in(header);
    std::string line;
    while (std::getline(in, line)) {
        std::istringstream words(line);
        std::string constexprWord, type, name, equals;
        long value = 0;
        if (!(words >> constexprWord >> type >> name >> equals >> value)
            || constexprWord != "constexpr" || equals != "=")
            continue;
        const bool bCommand = value >= kFirstProgramCommand && value < kFirstFrameworkId;
        const bool bResourceOrControl
            = name.starts_with("IDR_") || name.starts_with("IDD_") || name.starts_with("IDC_");
        if (bCommand || bResourceOrControl)
            ids[name] = value;
    }
    return ids;
}

// The words of `text`: runs of letters, digits and underscores.
std::vector<std::string> Words(const std::string &text)
{
    std::vector<std::string> words;
    std::string word;
    for (const char c : text + ' ') {
        if (std::isalnum(static_cast<unsigned char>(c)) || c == '_') {
            word += c;
        } else if (!word.empty()) {
            words.push_back(word);
            word.clear();
        }
    }
    return words;
}

TEST(PlatformIds, NoFileOfThePlatformKnowsAProgramIdentifier)
{
    const fs::path root = SourceDir();
    const std::map<std::string, long> ids = ProgramIds(root / "res/resource.h");
    ASSERT_TRUE(ids.count("ID_MANDELBROT") && ids.count("IDD_JULIA") && ids.count("IDC_MIRA_OK"));
    ASSERT_FALSE(ids.count("ID_FILE_NEW") || ids.count("ID_INDICATOR_CAPS"));
    std::map<std::string, std::string> words; // program identifier or number -> its name
    for (const auto &[name, value] : ids) {
        words[name] = name;
        if (value >= kFirstProgramCommand)
            words[std::to_string(value)] = name;
    }

    std::string report;
    for (const auto &entry : fs::recursive_directory_iterator(root / "platform")) {
        const std::string ext = entry.path().extension().string();
        if (!entry.is_regular_file() || (ext != ".cpp" && ext != ".h"))
            continue;
        std::ifstream in(entry.path());
        std::string text;
        for (int line = 1; std::getline(in, text); ++line) {
            for (const std::string &word : Words(text)) {
                if (const auto it = words.find(word); it != words.end())
                    report += fs::relative(entry.path(), root).generic_string() + ":"
                        + std::to_string(line) + ": " + it->second + "\n";
            }
        }
    }
    EXPECT_TRUE(report.empty()) << report;
}

} // namespace
