#include "DibTestSupport.h"

#include "platform/BmpFormat.h"
#include "platform/CDC.h"

#include <QPainter>
#include <cstdlib>

uint32_t RowBytes(int width, int bits)
{
    return uint32_t((uint64_t(width) * bits + 31) / 32 * 4);
}

QColor TableColor(int i)
{
    return QColor(i / 2, 255 - i, i);
}

std::vector<uint8_t> BuildBmp(const BmpRecipe &s)
{
    int entries = s.nTableEntries;
    if (entries < 0)
        entries = s.nBitCount <= 8 ? int(s.nClrUsed ? s.nClrUsed : 1u << s.nBitCount) : 0;
    std::vector<uint8_t> info(s.nHeaderSize, 0);
    WriteLE32(info.data(), s.nHeaderSize);
    WriteLE32(info.data() + 4, uint32_t(s.nWidth));
    WriteLE32(info.data() + 8, uint32_t(s.nHeight));
    WriteLE16(info.data() + 12, s.nPlanes);
    WriteLE16(info.data() + 14, s.nBitCount);
    WriteLE32(info.data() + 16, s.nCompression);
    WriteLE32(info.data() + 32, s.nClrUsed);
    std::vector<uint8_t> masks;
    for (size_t i = 0; i < s.masks.size(); ++i) {
        if (s.nHeaderSize >= 40 + 4 * (i + 1)) {
            WriteLE32(info.data() + 40 + 4 * i, s.masks[i]);
        } else {
            masks.resize(masks.size() + 4);
            WriteLE32(masks.data() + masks.size() - 4, s.masks[i]);
        }
    }
    std::vector<uint8_t> table(size_t(entries) * 4);
    for (int i = 0; i < entries; ++i) {
        const QColor c = TableColor(i % 256);
        table[4 * i] = uint8_t(c.blue());
        table[4 * i + 1] = uint8_t(c.green());
        table[4 * i + 2] = uint8_t(c.red());
    }
    std::vector<uint8_t> pixels = s.pixels;
    if (pixels.empty() && s.nCompression != BI_RLE8 && s.nCompression != BI_RLE4)
        pixels.resize(size_t(RowBytes(s.nWidth, s.nBitCount)) * size_t(std::abs(s.nHeight)));
    const uint32_t offBits = uint32_t(14 + info.size() + masks.size() + table.size());
    std::vector<uint8_t> file(14);
    WriteLE16(file.data(), kBmpMagic);
    WriteLE32(file.data() + 2, uint32_t(offBits + pixels.size()));
    WriteLE32(file.data() + 10, s.nOffBits ? s.nOffBits : offBits);
    for (const auto *part : {&info, &masks, &table, &pixels})
        file.insert(file.end(), part->begin(), part->end());
    return file;
}

QImage Painted(int w, int h, const std::function<void(CDC &)> &draw, QColor fill)
{
    QImage img(w, h, QImage::Format_RGB32);
    img.fill(fill);
    QPainter painter(&img);
    CDC dc(&painter, &img);
    draw(dc);
    painter.end();
    return img;
}

QImage DrawnImage(const CDib &dib, int w, int h, bool clipped, int cx, int cy, QColor fill)
{
    return Painted(
        w, h,
        [&](CDC &dc) {
            if (clipped)
                dib.DrawClipped(&dc, 0, 0, cx, cy);
            else
                dib.DrawStretched(&dc, 0, 0, cx, cy);
        },
        fill);
}

QImage OwnSize(const CDib &dib)
{
    return DrawnImage(dib, dib.GetWidth(), std::abs(dib.GetHeight()));
}
