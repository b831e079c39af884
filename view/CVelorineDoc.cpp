#include "view/CVelorineDoc.h"

#include "fractals/FractalParams.h"
#include "image/CDib.h"

#include <filesystem>
#include <system_error>

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

// Deletes a working file by name; anything but a file (a directory of the same name) stays.
void DeleteWorkingFile(const char *name)
{
    std::error_code ec;
    const std::filesystem::file_status st = std::filesystem::symlink_status(name, ec);
    if (ec || std::filesystem::is_directory(st))
        return;
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
