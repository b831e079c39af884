#pragma once
// Every test binary runs in a temporary current directory of its own, removed at the end,
// since the program writes its working files into the current directory.

#include <cstdlib>
#include <filesystem>
#include <string>

// Makes the directory and enters it; an empty path when it cannot be made.
inline std::filesystem::path EnterTemporaryWorkDir()
{
    std::string pattern
        = (std::filesystem::temp_directory_path() / "velorine-test-XXXXXX").string();
    if (!mkdtemp(pattern.data()))
        return {};
    std::filesystem::path dir = pattern;
    std::filesystem::current_path(dir);
    return dir;
}

inline void RemoveTemporaryWorkDir(const std::filesystem::path &dir)
{
    std::error_code ec;
    std::filesystem::current_path(std::filesystem::temp_directory_path(), ec);
    std::filesystem::remove_all(dir, ec);
}
