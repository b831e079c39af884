#include "image/CDib.h"

#include "platform/CDC.h"
#include "platform/CFile.h"
#include "platform/Providers.h"
#include "platform/StretchDIBits.h"

#include <algorithm>
#include <new>
#include <utility>
#include <vector>

namespace {

// A block never exceeds the largest picture this program draws, plus room for its headers.
constexpr uint64_t kMaxBlockSize = (uint64_t(1) << 30) + (uint64_t(1) << 20);

void MakeFileHeader(uint8_t (&header)[kFileHeaderSize], uint32_t fileSize, uint32_t offBits)
{
    WriteLE16(header, kBmpMagic);
    WriteLE32(header + 2, fileSize);
    WriteLE16(header + 6, 0);
    WriteLE16(header + 8, 0);
    WriteLE32(header + 10, offBits);
}

} // namespace

CDib::CDib() = default;

CDib::~CDib() = default;

int CDib::GetWidth() const
{
    return m_pData ? m_layout.nWidth : 0;
}

int CDib::GetHeight() const
{
    return m_pData ? ReadLE32s(m_pData + 8) : 0;
}

int CDib::GetBitCount() const
{
    return m_pData ? m_layout.nBitCount : 0;
}

uint32_t CDib::GetCompression() const
{
    return m_pData ? m_layout.nCompression : BI_RGB;
}

bool CDib::IsTopDown() const
{
    return m_pData && m_layout.bTopDown;
}

size_t CDib::GetInfoSize() const
{
    return m_pData ? size_t(m_pBits - m_pData) : 0;
}

size_t CDib::GetBitsSize() const
{
    return m_pData ? m_dwDataSize - GetInfoSize() : 0;
}

bool CDib::Load(const char *path)
{
    CFile file;
    if (!path || !file.Open(path, CFile::modeRead))
        return false;
    try {
        const uint64_t length = file.GetLength();
        if (length < kFileHeaderSize || length - kFileHeaderSize > kMaxBlockSize)
            return false;
        const size_t size = size_t(length - kFileHeaderSize);
        std::unique_ptr<uint8_t[]> block(new (std::nothrow) uint8_t[std::max<size_t>(size, 1)]);
        if (!block)
            throw CMemoryException();
        uint8_t header[kFileHeaderSize];
        if (file.Read(header, sizeof header) < sizeof header || ReadLE16(header) != kBmpMagic)
            return false;
        if (file.Read(block.get(), size) < size)
            return false;
        DibLayout layout;
        if (!ParseDibBlock(block.get(), size, layout))
            return false;

        // Everything that can fail is done before the held image is replaced.
        CPalette palette;
        std::string name;
        try {
            if (layout.nColors > 0) {
                std::vector<PALETTEENTRY> entries(size_t(layout.nColors));
                const uint8_t *p = block.get() + layout.nColorsOffset;
                for (auto &e : entries) {
                    e.peRed = p[2];
                    e.peGreen = p[1];
                    e.peBlue = p[0];
                    p += 4;
                }
                palette.CreatePalette(std::move(entries));
            }
            name = path;
        } catch (const std::bad_alloc &) {
            throw CMemoryException();
        }

        m_block = std::move(block);
        m_layout = layout;
        m_pData = m_block.get();
        m_pInfo = m_pData;
        m_dwDataSize = uint32_t(size);
        m_pColors = m_pData + layout.nColorsOffset;
        m_nColors = layout.nColors;
        m_pBits = m_pData + layout.nBitsOffset;
        m_palette.TakeFrom(palette);
        m_strFileName.swap(name);
    } catch (const CFileException &) {
        return false;
    }
    file.Abort();
    return true;
}

bool CDib::Save(const char *path) const
{
    if (!m_pData || !path)
        return false;
    CFile file;
    if (!file.OpenForSave(path))
        return false;
    try {
        uint8_t header[kFileHeaderSize];
        MakeFileHeader(header, kFileHeaderSize + m_dwDataSize,
                       uint32_t(kFileHeaderSize + GetInfoSize()));
        file.Write(header, sizeof header);
        file.Write(m_pData, m_dwDataSize);
        file.Commit();
    } catch (const CFileException &) {
        return false; // the temporary file is discarded, the old file stays as it was
    }
    return true;
}

void CDib::Draw(CDC *pDC, int x, int y, int cx, int cy, int srcWidth, int srcHeight) const
{
    StretchDIBits(pDC, x, y, cx, cy, 0, 0, srcWidth, srcHeight, m_pBits, GetBitsSize(), m_pInfo,
                  GetInfoSize(), DIB_RGB_COLORS, SRCCOPY);
}

bool CDib::DrawStretched(CDC *pDC, int x, int y, int cx, int cy) const
{
    if (!m_pData)
        return false;
    // A top-down picture's height is negative in its header; its size is the magnitude.
    const int width = GetWidth(), height = AbsHeight();
    Draw(pDC, x, y, cx ? cx : width, cy ? cy : height, width, height);
    return true;
}

bool CDib::DrawClipped(CDC *pDC, int x, int y, int cx, int cy) const
{
    if (!m_pData)
        return false;
    const int w = std::min(cx ? cx : GetWidth(), GetWidth());
    const int h = std::min(cy ? cy : AbsHeight(), AbsHeight());
    if (w > 0 && h > 0)
        Draw(pDC, x, y, w, h, w, h);
    return true;
}

bool CDib::RealizePalette(CDC *pDC) const
{
    if (!m_pData)
        return false;
    if (m_palette.IsEmpty())
        return true;
    const CPalette *pOld = SelectPalette(pDC, &m_palette, false);
    ::RealizePalette(pDC);
    SelectPalette(pDC, pOld, false);
    return true;
}

bool CDib::SetPixel(int x, int y, uint32_t color)
{
    if (!m_pData || m_layout.nCompression != BI_RGB)
        return false;
    if (m_layout.nBitCount != 8 && m_layout.nBitCount != 24)
        return false;
    if (x < 0 || x >= m_layout.nWidth || y < 0 || y >= m_layout.nHeight)
        return false;
    uint8_t *p = m_pBits + uint64_t(y) * m_layout.nRowBytes;
    if (m_layout.nBitCount == 8) {
        p[x] = uint8_t(color);
    } else {
        p += 3 * size_t(x);
        p[0] = uint8_t(color >> 16);
        p[1] = uint8_t(color >> 8);
        p[2] = uint8_t(color);
    }
    return true;
}
