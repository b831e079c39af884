#include "view/CVelorineDoc.h"

#include "fractals/FractalParams.h"
#include "image/CDib.h"

#include <filesystem>
#include <system_error>
#include <vector>

#include <sys/stat.h>
#include <unistd.h>

namespace {

constexpr const char *kDefaultPaletteName = "Velorine256.rgb";
constexpr const char *kWorkingPicture = "temp.bmp";

bool &KeepFlag()
{
    static bool s_bKeepWorkingFiles = false;
    return s_bKeepWorkingFiles;
}

// The whole current directory, however long; "." when it cannot be read (a removed directory),
// so the palette path never comes from an unfilled buffer and stays a valid relative name.
std::string StartupDirectory()
{
    std::error_code ec;
    const std::filesystem::path dir = std::filesystem::current_path(ec);
    if (ec || dir.empty())
        return ".";
    return dir.string();
}

bool InGroup(gid_t gid)
{
    if (gid == getegid())
        return true;
    const int n = getgroups(0, nullptr);
    if (n <= 0)
        return false;
    std::vector<gid_t> groups(static_cast<std::size_t>(n));
    const int got = getgroups(n, groups.data());
    for (int i = 0; i < got; ++i) {
        if (groups[static_cast<std::size_t>(i)] == gid)
            return true;
    }
    return false;
}

// Whether the file's own mode lets this process's user write it: the owner's, group's or
// others' write bit, whichever class the user falls in. Unlike access(), this also holds for
// root, so a file the user made read-only is left alone by everyone.
bool ModeAllowsWriting(const struct stat &st)
{
    if (st.st_uid == geteuid())
        return (st.st_mode & S_IWUSR) != 0;
    if (InGroup(st.st_gid))
        return (st.st_mode & S_IWGRP) != 0;
    return (st.st_mode & S_IWOTH) != 0;
}

// Deletes a working file by name. Anything but a file (a directory of the same name) stays, and
// so does a file the user cannot write: a read-only one put there on purpose.
void DeleteWorkingFile(const char *name)
{
    struct stat st
    {
    };
    if (lstat(name, &st) != 0 || S_ISDIR(st.st_mode))
        return;
    if (!S_ISLNK(st.st_mode) && !ModeAllowsWriting(st))
        return;
    std::error_code ec;
    std::filesystem::remove(name, ec);
}

} // namespace

CVelorineDoc::CVelorineDoc()
    : m_dJuliaRe(kDefaultJuliaCX)
    , m_dJuliaIm(kDefaultJuliaCY)
    , m_nJuliaPreset(0)
    , m_bZoomDisplay(true)
{
    m_strWorkDir = StartupDirectory();
    // Plain concatenation: a start-up directory of "/" gives a doubled separator, which is fine.
    m_strPalettePath = m_strWorkDir + "/rgbs/draw256.rgb";
    CDib palette;
    if (palette.WriteDefaultPalette(kDefaultPaletteName))
        m_strPalettePath = m_strWorkDir + "/" + kDefaultPaletteName;
}

CVelorineDoc::~CVelorineDoc()
{
    if (KeepFlag())
        return;
    // Relative names: whatever directory is current now. A missing file is no error.
    DeleteWorkingFile(kDefaultPaletteName);
    DeleteWorkingFile(kWorkingPicture);
}

bool CVelorineDoc::OnNewDocument()
{
    return CDocument::OnNewDocument();
}

void CVelorineDoc::Serialize(CArchive &)
{
    // The document holds settings only; nothing is stored or loaded.
}

void CVelorineDoc::KeepWorkingFiles(bool bKeep)
{
    KeepFlag() = bKeep;
}
