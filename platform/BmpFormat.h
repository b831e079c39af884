#pragma once
// The BMP file format as the program reads it: little-endian field access and the checks that
// decide whether a block (info header, masks, colour table, pixels) can be held and drawn.

#include <cstddef>
#include <cstdint>

constexpr uint16_t kBmpMagic = 0x4D42; // "BM"
constexpr uint32_t kFileHeaderSize = 14;
constexpr uint32_t kInfoHeaderSize = 40;

constexpr uint32_t BI_RGB = 0;
constexpr uint32_t BI_RLE8 = 1;
constexpr uint32_t BI_RLE4 = 2;
constexpr uint32_t BI_BITFIELDS = 3;

// Largest side and pixel count a picture may have.
constexpr int32_t kMaxDibSide = 32768;
constexpr uint64_t kMaxDibPixels = uint64_t(1) << 28;

inline uint16_t ReadLE16(const uint8_t *p)
{
    return uint16_t(p[0] | (p[1] << 8));
}
inline uint32_t ReadLE32(const uint8_t *p)
{
    return uint32_t(p[0]) | (uint32_t(p[1]) << 8) | (uint32_t(p[2]) << 16) | (uint32_t(p[3]) << 24);
}
inline int32_t ReadLE32s(const uint8_t *p)
{
    return int32_t(ReadLE32(p));
}
inline void WriteLE16(uint8_t *p, uint16_t v)
{
    p[0] = uint8_t(v);
    p[1] = uint8_t(v >> 8);
}
inline void WriteLE32(uint8_t *p, uint32_t v)
{
    for (int i = 0; i < 4; ++i)
        p[i] = uint8_t(v >> (8 * i));
}

// Where everything lies in a block that starts with an info header. Offsets count from the
// start of the info header.
struct DibLayout
{
    uint32_t nHeaderSize = 0;
    int32_t nWidth = 0;
    int32_t nHeight = 0; // always positive
    bool bTopDown = false;
    uint16_t nBitCount = 0;
    uint32_t nCompression = BI_RGB;
    uint32_t dwRedMask = 0, dwGreenMask = 0, dwBlueMask = 0; // 16 and 32 bits only
    size_t nColorsOffset = 0; // colour table
    int nColors = 0; // palette entries: 0 above 8 bits
    size_t nTableEntries = 0; // entries the file carries, stepped over above 8 bits
    size_t nBitsOffset = 0; // pixel array, directly after the table
    uint64_t nRowBytes = 0; // padded to 4 bytes
    uint64_t nImageBytes = 0; // every row of an uncompressed picture; 0 for run-length
};

// Checks the info header of a block of nSize bytes and fills layout. False when the header is
// not one this program understands or the block is too short for header, masks and table.
// Whether the pixel rows fit is checked separately (run-length pixels may be any length).
bool ParseDibHeader(const uint8_t *pInfo, size_t nSize, DibLayout &layout);
// ParseDibHeader, and the block also holds every row of an uncompressed picture.
bool ParseDibBlock(const uint8_t *pInfo, size_t nSize, DibLayout &layout);
