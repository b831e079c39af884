#pragma once
// BMP files built as bytes inside the tests, and pictures drawn onto images.

#include "image/CDib.h"

#include <QColor>
#include <QImage>
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

struct BmpRecipe
{
    uint32_t nHeaderSize = 40;
    int32_t nWidth = 4;
    int32_t nHeight = 2;
    uint16_t nPlanes = 1;
    uint16_t nBitCount = 8;
    uint32_t nCompression = 0;
    uint32_t nClrUsed = 0;
    uint32_t nOffBits = 0; // 0: directly after the table
    int nTableEntries = -1; // -1: the colour count the header implies
    std::vector<uint32_t> masks; // written after a 40-byte header, or inside a larger
    std::vector<uint8_t> pixels; // empty: rows of zeros of the right size
};

// Row length of an uncompressed picture, padded to 4 bytes.
uint32_t RowBytes(int width, int bits);
// The whole file. Colour-table entry i is (blue i, green 255 - i, red i / 2, 0).
std::vector<uint8_t> BuildBmp(const BmpRecipe &recipe);
QColor TableColor(int i);

// An image of size w x h filled with fill, with draw(dc) painted onto it.
QImage Painted(int w, int h, const std::function<void(CDC &)> &draw, QColor fill = QColor(1, 2, 3));
// Draws dib with DrawStretched (or DrawClipped) onto an image of size w x h filled with fill.
QImage DrawnImage(const CDib &dib, int w, int h, bool clipped = false, int cx = 0, int cy = 0,
                  QColor fill = QColor(1, 2, 3));
// The picture as the loaded object draws it at its own size.
QImage OwnSize(const CDib &dib);
