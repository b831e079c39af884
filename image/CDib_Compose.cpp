// Composition of index buffers and palette files into 8-bit BMP files, the default palette,
// and the program's error box.

#include "image/CDib.h"

#include "platform/CFile.h"
#include "platform/Providers.h"

#include <array>
#include <vector>

namespace {

constexpr int kSide = 512;
constexpr uint32_t kPixelBytes = kSide * kSide;
constexpr uint32_t kTableBytes = 1024;
constexpr uint32_t kOffBits = kFileHeaderSize + kInfoHeaderSize + kTableBytes; // 1078
constexpr uint32_t kComposedSize = kOffBits + kPixelBytes; // 263222
constexpr uint8_t kFillIndex = 66;
constexpr int32_t kPelsPerMeter = 3780;

} // namespace

bool CDib::Compose(const char *outFile, const char *paletteFile, const uint8_t *indices)
{
    m_strFileName = outFile ? outFile : "temp.bmp";
    m_strPaletteFile = paletteFile ? paletteFile : "rgbs/Draw256.rgb";

    // The output exists (empty) before the palette is looked at.
    CFile out(m_strFileName.c_str(), CFile::modeCreate | CFile::modeReadWrite);

    uint8_t fileHeader[kFileHeaderSize];
    WriteLE16(fileHeader, kBmpMagic);
    WriteLE32(fileHeader + 2, kComposedSize);
    WriteLE32(fileHeader + 6, 0);
    WriteLE32(fileHeader + 10, kOffBits);

    uint8_t info[kInfoHeaderSize] = {};
    WriteLE32(info, kInfoHeaderSize);
    WriteLE32(info + 4, kSide);
    WriteLE32(info + 8, kSide);
    WriteLE16(info + 12, 1);
    WriteLE16(info + 14, 8);
    WriteLE32(info + 16, BI_RGB);
    WriteLE32(info + 20, kPixelBytes);
    WriteLE32(info + 24, kPelsPerMeter);
    WriteLE32(info + 28, kPelsPerMeter);

    uint8_t table[kTableBytes];
    size_t got = 0;
    {
        CFile palette(m_strPaletteFile.c_str(), CFile::modeRead);
        got = palette.Read(table, sizeof table);
        palette.Close();
    }
    if (got < sizeof table) {
        ShowError(nullptr);
        out.Close();
        return false;
    }

    out.Write(fileHeader, sizeof fileHeader);
    out.Write(info, sizeof info);
    out.Write(table, sizeof table);
    if (indices) {
        out.Write(indices, kPixelBytes);
    } else {
        const std::vector<uint8_t> fill(kPixelBytes, kFillIndex);
        out.Write(fill.data(), fill.size());
    }
    out.Close();
    return true;
}

bool CDib::WriteDefaultPalette(const char *path)
{
    static constexpr uint8_t kRedGreen[8] = {0, 32, 64, 96, 128, 160, 192, 255};
    static constexpr uint8_t kBlue[4] = {0, 64, 128, 255};
    std::array<uint8_t, kTableBytes> table;
    size_t i = 0;
    for (int r = 0; r < 8; ++r) {
        for (int g = 0; g < 8; ++g) {
            for (int b = 0; b < 4; ++b) {
                table[i++] = kBlue[b];
                table[i++] = kRedGreen[g];
                table[i++] = kRedGreen[r];
                table[i++] = 0;
            }
        }
    }
    // An existing file keeps its length: only its first 1024 bytes are replaced.
    CFile file;
    if (!path || !file.Open(path, CFile::modeCreate | CFile::modeNoTruncate | CFile::modeWrite))
        return false;
    try {
        file.Write(table.data(), table.size());
        file.Close();
    } catch (const CFileException &) {
        return false; // an incomplete palette is no palette: the caller falls back
    }
    return true;
}

void CDib::ShowError(const char *text)
{
    MessageBox(QString::fromUtf8(text ? text : "Error!"), QStringLiteral("Warning!"), MB_OK);
}
