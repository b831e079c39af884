#include "platform/BmpFormat.h"

#include <climits>

namespace {

bool KnownHeaderSize(uint32_t size)
{
    return size == 40 || size == 52 || size == 56 || size == 108 || size == 124;
}

bool KnownEncoding(uint16_t bits, uint32_t compression)
{
    switch (compression) {
    case BI_RGB:
        return bits == 1 || bits == 4 || bits == 8 || bits == 16 || bits == 24 || bits == 32;
    case BI_RLE8:
        return bits == 8;
    case BI_RLE4:
        return bits == 4;
    case BI_BITFIELDS:
        return bits == 16 || bits == 32;
    default:
        return false;
    }
}

} // namespace

bool ParseDibHeader(const uint8_t *pInfo, size_t nSize, DibLayout &layout)
{
    if (!pInfo || nSize < kInfoHeaderSize)
        return false;
    DibLayout l;
    l.nHeaderSize = ReadLE32(pInfo);
    if (!KnownHeaderSize(l.nHeaderSize) || nSize < l.nHeaderSize)
        return false;
    l.nWidth = ReadLE32s(pInfo + 4);
    const int32_t height = ReadLE32s(pInfo + 8);
    const uint16_t planes = ReadLE16(pInfo + 12);
    l.nBitCount = ReadLE16(pInfo + 14);
    l.nCompression = ReadLE32(pInfo + 16);
    const uint32_t clrUsed = ReadLE32(pInfo + 32);

    if (planes != 1 || !KnownEncoding(l.nBitCount, l.nCompression))
        return false;
    if (l.nWidth < 1 || l.nWidth > kMaxDibSide || height == 0 || height == INT_MIN)
        return false;
    l.bTopDown = height < 0;
    l.nHeight = height < 0 ? -height : height;
    if (l.nHeight > kMaxDibSide || uint64_t(l.nWidth) * uint64_t(l.nHeight) > kMaxDibPixels)
        return false;
    // Run-length pictures are stored bottom-up only.
    if (l.bTopDown && (l.nCompression == BI_RLE8 || l.nCompression == BI_RLE4))
        return false;

    uint64_t offset = l.nHeaderSize;
    if (l.nCompression == BI_BITFIELDS) {
        const uint8_t *pMasks = pInfo + kInfoHeaderSize;
        if (l.nHeaderSize == kInfoHeaderSize) {
            offset += 12;
            if (nSize < offset)
                return false;
        }
        l.dwRedMask = ReadLE32(pMasks);
        l.dwGreenMask = ReadLE32(pMasks + 4);
        l.dwBlueMask = ReadLE32(pMasks + 8);
    } else if (l.nBitCount == 16) {
        l.dwRedMask = 0x7C00;
        l.dwGreenMask = 0x03E0;
        l.dwBlueMask = 0x001F;
    } else if (l.nBitCount == 32) {
        l.dwRedMask = 0x00FF0000;
        l.dwGreenMask = 0x0000FF00;
        l.dwBlueMask = 0x000000FF;
    }
    l.nColorsOffset = size_t(offset);

    if (l.nBitCount <= 8) {
        const uint32_t maxColors = uint32_t(1) << l.nBitCount;
        if (clrUsed > maxColors)
            return false;
        l.nColors = int(clrUsed ? clrUsed : maxColors);
        l.nTableEntries = size_t(l.nColors);
    } else {
        l.nColors = 0;
        l.nTableEntries = clrUsed;
    }
    offset += uint64_t(l.nTableEntries) * 4;
    if (offset > nSize)
        return false;
    l.nBitsOffset = size_t(offset);

    l.nRowBytes = (uint64_t(l.nWidth) * l.nBitCount + 31) / 32 * 4;
    if (l.nCompression == BI_RGB || l.nCompression == BI_BITFIELDS)
        l.nImageBytes = l.nRowBytes * uint64_t(l.nHeight);
    layout = l;
    return true;
}

bool ParseDibBlock(const uint8_t *pInfo, size_t nSize, DibLayout &layout)
{
    DibLayout l;
    if (!ParseDibHeader(pInfo, nSize, l))
        return false;
    if (l.nImageBytes > uint64_t(nSize) - l.nBitsOffset)
        return false;
    layout = l;
    return true;
}
