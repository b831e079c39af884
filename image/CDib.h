#pragma once
// One BMP image held in memory: every byte of the file after its 14-byte file header, as one
// block, with a logical palette made from its colour table. Loads, saves, draws, realises its
// palette, sets single pixels, and composes index buffers into 8-bit BMP files.

#include "platform/BmpFormat.h"
#include "platform/CPalette.h"

#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>

class CDC;

class CDib
{
public:
    CDib();
    virtual ~CDib();
    CDib(const CDib &) = delete;
    CDib &operator=(const CDib &) = delete;

    // On success replaces image, palette and file name; on failure changes nothing.
    // Throws CMemoryException when the block cannot be allocated.
    bool Load(const char *path);
    // Writes the held image through a temporary file committed only when complete.
    bool Save(const char *path) const;
    bool DrawStretched(CDC *pDC, int x, int y, int cx, int cy) const;
    bool DrawClipped(CDC *pDC, int x, int y, int cx, int cy) const;
    bool RealizePalette(CDC *pDC) const;
    // Column x, stored row y (counted from the first stored row). False outside the picture.
    bool SetPixel(int x, int y, uint32_t color);

    // Writes a 512 x 512 8-bit BMP of indices (null: all 66) with the first 1024 bytes of the
    // palette file. Null outFile means "temp.bmp", null paletteFile "rgbs/Draw256.rgb".
    // Throws CFileException when a file cannot be opened, read or written.
    bool Compose(const char *outFile, const char *paletteFile, const uint8_t *indices);
    bool WriteDefaultPalette(const char *path);
    // "Error!" (or text) under "Warning!", OK only, no icon, through the message provider.
    void ShowError(const char *text);

    // Width and height from the info header (0 when empty); height may be negative.
    int GetWidth() const;
    int GetHeight() const;
    int GetBitCount() const;
    // Compression of the held picture (BI_RGB, BI_RLE8, BI_RLE4, BI_BITFIELDS).
    uint32_t GetCompression() const;
    // True for a picture whose first stored row is its top row.
    bool IsTopDown() const;
    // Bytes from the info header to the pixels (header, masks, colour table), and from the
    // pixels to the end of the block: the bounds the drawing code is given.
    size_t GetInfoSize() const;
    size_t GetBitsSize() const;

    std::string m_strFileName;
    std::string m_strPaletteFile;
    CPalette m_palette;
    uint8_t *m_pData = nullptr;
    uint8_t *m_pBits = nullptr;
    uint32_t m_dwDataSize = 0;
    uint8_t *m_pInfo = nullptr;
    uint8_t *m_pColors = nullptr;
    int m_nColors = 0;

private:
    int AbsHeight() const { return m_pData ? m_layout.nHeight : 0; }
    void Draw(CDC *pDC, int x, int y, int cx, int cy, int srcWidth, int srcHeight) const;

    std::unique_ptr<uint8_t[]> m_block; // owns what m_pData points at
    DibLayout m_layout;
};
