#include "platform/StretchDIBits.h"

#include "platform/BmpFormat.h"
#include "platform/CDC.h"

#include <QImage>
#include <QPainter>
#include <QTransform>

#include <algorithm>
#include <bit>
#include <cstdint>
#include <utility>

namespace {

QList<QRgb> ColorTable(const uint8_t *pInfo, const DibLayout &l)
{
    // Indices past the table's end draw black, so the table is always full.
    QList<QRgb> table(qsizetype(1) << l.nBitCount, qRgb(0, 0, 0));
    const uint8_t *p = pInfo + l.nColorsOffset;
    for (int i = 0; i < l.nColors; ++i, p += 4)
        table[i] = qRgb(p[2], p[1], p[0]);
    return table;
}

// One colour channel of a bit-field pixel, widened to 8 bits by repeating its bits.
struct Channel
{
    explicit Channel(uint32_t mask)
        : m_dwMask(mask)
        , m_nShift(mask ? std::countr_zero(mask) : 0)
        , m_nWidth(mask ? 32 - std::countl_zero(mask >> m_nShift) : 0)
    {
    }
    uint32_t operator()(uint32_t pixel) const
    {
        if (m_nWidth == 0)
            return 0;
        const uint32_t v = (pixel & m_dwMask) >> m_nShift;
        if (m_nWidth >= 8)
            return v >> (m_nWidth - 8);
        uint32_t r = 0;
        int bits = 0;
        while (bits < 8) {
            r = (r << m_nWidth) | v;
            bits += m_nWidth;
        }
        return r >> (bits - 8);
    }
    uint32_t m_dwMask;
    int m_nShift;
    int m_nWidth;
};

QImage DecodeBitFields(const uint8_t *pBits, const DibLayout &l)
{
    QImage img(l.nWidth, l.nHeight, QImage::Format_RGB32);
    if (img.isNull())
        return img;
    const Channel red(l.dwRedMask), green(l.dwGreenMask), blue(l.dwBlueMask);
    for (int y = 0; y < l.nHeight; ++y) {
        const uint8_t *src = pBits + uint64_t(y) * l.nRowBytes;
        auto *dst = reinterpret_cast<QRgb *>(img.scanLine(y));
        for (int x = 0; x < l.nWidth; ++x) {
            const uint32_t px = l.nBitCount == 16 ? ReadLE16(src + 2 * x) : ReadLE32(src + 4 * x);
            dst[x] = qRgb(int(red(px)), int(green(px)), int(blue(px)));
        }
    }
    return img;
}

QImage Decode4Bit(const uint8_t *pBits, const uint8_t *pInfo, const DibLayout &l)
{
    QImage img(l.nWidth, l.nHeight, QImage::Format_Indexed8);
    if (img.isNull())
        return img;
    img.setColorTable(ColorTable(pInfo, l) + QList<QRgb>(240, qRgb(0, 0, 0)));
    for (int y = 0; y < l.nHeight; ++y) {
        const uint8_t *src = pBits + uint64_t(y) * l.nRowBytes;
        uint8_t *dst = img.scanLine(y);
        for (int x = 0; x < l.nWidth; ++x)
            dst[x] = (x & 1) ? (src[x / 2] & 0x0F) : (src[x / 2] >> 4);
    }
    return img;
}

// Run-length pixels into an image whose skipped pixels stay transparent. Runs and absolute
// runs that reach past the end of a row are cut there; deltas past the picture end it.
QImage DecodeRunLength(const uint8_t *pBits, size_t n, const uint8_t *pInfo, const DibLayout &l)
{
    QImage img(l.nWidth, l.nHeight, QImage::Format_ARGB32_Premultiplied);
    if (img.isNull())
        return img;
    img.fill(Qt::transparent);
    const QList<QRgb> table = ColorTable(pInfo, l);
    const bool b4 = l.nCompression == BI_RLE4;
    const int w = l.nWidth, h = l.nHeight;
    int x = 0, y = 0;
    // Callers stop at the end of the row.
    auto put = [&](unsigned index) {
        reinterpret_cast<QRgb *>(img.scanLine(y))[x++] = table[qsizetype(index)];
    };
    size_t p = 0;
    while (y < h && p + 1 < n) {
        const unsigned count = pBits[p], value = pBits[p + 1];
        p += 2;
        if (count > 0) {
            for (unsigned i = 0; i < count && x < w; ++i)
                put(b4 ? ((i & 1) ? (value & 0x0F) : (value >> 4)) : value);
        } else if (value == 0) {
            x = 0;
            ++y;
        } else if (value == 1) {
            break;
        } else if (value == 2) {
            if (p + 1 >= n)
                break;
            x = std::min(w, x + pBits[p]);
            y += pBits[p + 1];
            p += 2;
        } else {
            const size_t bytes = b4 ? (value + 1) / 2 : value;
            const size_t avail = std::min(bytes, n - p);
            for (unsigned i = 0; i < value && x < w; ++i) {
                const size_t at = b4 ? i / 2 : i;
                if (at >= avail)
                    break;
                const unsigned b = pBits[p + at];
                put(b4 ? ((i & 1) ? (b & 0x0F) : (b >> 4)) : b);
            }
            p += (bytes + 1) & ~size_t(1);
        }
    }
    return img;
}

} // namespace

QImage DibStoredImage(const void *pBitsV, size_t nBitsSize, const void *pInfoV, size_t nInfoSize)
{
    const auto *pInfo = static_cast<const uint8_t *>(pInfoV);
    const auto *pBits = static_cast<const uint8_t *>(pBitsV);
    DibLayout l;
    if (!pBits || !ParseDibHeader(pInfo, nInfoSize, l) || l.nImageBytes > nBitsSize)
        return QImage();
    const qsizetype stride = qsizetype(l.nRowBytes);
    switch (l.nCompression) {
    case BI_RLE8:
    case BI_RLE4:
        return DecodeRunLength(pBits, nBitsSize, pInfo, l);
    case BI_BITFIELDS:
        return DecodeBitFields(pBits, l);
    default:
        break;
    }
    switch (l.nBitCount) {
    case 1:
    case 8: {
        QImage img(pBits, l.nWidth, l.nHeight, stride,
                   l.nBitCount == 1 ? QImage::Format_Mono : QImage::Format_Indexed8);
        img.setColorTable(ColorTable(pInfo, l));
        return img;
    }
    case 4:
        return Decode4Bit(pBits, pInfo, l);
    case 24:
        return QImage(pBits, l.nWidth, l.nHeight, stride, QImage::Format_BGR888);
    default:
        // 16 and 32 bits: the unused bits may hold anything, so the pixels are decoded.
        return DecodeBitFields(pBits, l);
    }
}

int StretchDIBits(CDC *pDC, int xDest, int yDest, int nDestWidth, int nDestHeight, int xSrc,
                  int ySrc, int nSrcWidth, int nSrcHeight, const void *pBits, size_t nBitsSize,
                  const void *pInfo, size_t nInfoSize, unsigned /*nUsage*/, unsigned long /*dwRop*/)
{
    QPainter *painter = pDC ? pDC->GetPainter() : nullptr;
    if (!painter || !painter->isActive())
        return 0;
    if (nDestWidth == 0 || nDestHeight == 0 || nSrcWidth == 0 || nSrcHeight == 0)
        return 0;
    DibLayout l;
    if (!ParseDibHeader(static_cast<const uint8_t *>(pInfo), nInfoSize, l))
        return 0;
    const QImage img = DibStoredImage(pBits, nBitsSize, pInfo, nInfoSize);
    if (img.isNull())
        return 0;

    // Source rectangle in stored rows; a bottom-up bitmap's stored row 0 is at the bottom.
    auto span = [](int from, int extent, int size) {
        const int64_t a
            = std::clamp<int64_t>(std::min<int64_t>(from, int64_t(from) + extent), 0, size);
        const int64_t b
            = std::clamp<int64_t>(std::max<int64_t>(from, int64_t(from) + extent), 0, size);
        return std::pair {int(a), int(b - a)};
    };
    const auto [cx, cw] = span(xSrc, nSrcWidth, img.width());
    const auto [cy, ch] = span(ySrc, nSrcHeight, img.height());
    if (cw == 0 || ch == 0)
        return 0;
    const QRect clip(cx, cy, cw, ch);
    // Source x maps linearly onto the destination; mirrored when the signs differ. A
    // bottom-up bitmap's rows run upwards, so its source top lands at the destination bottom.
    const double kx = double(nDestWidth) / nSrcWidth;
    const double ox = xDest - xSrc * kx;
    double ky = double(nDestHeight) / nSrcHeight;
    double oy = yDest - ySrc * ky;
    if (!l.bTopDown) {
        ky = -ky;
        oy = double(yDest) + nDestHeight - ySrc * ky;
    }
    const QTransform t(kx, 0, 0, ky, ox, oy);

    painter->save();
    painter->setRenderHint(QPainter::SmoothPixmapTransform, false);
    painter->setCompositionMode(QPainter::CompositionMode_SourceOver);
    painter->setTransform(t, true);
    painter->drawImage(QPointF(clip.topLeft()), img, clip);
    painter->restore();
    return clip.height();
}
