#include "tests/fuzz/DibFuzzOne.h"

#include "image/CDib.h"
#include "platform/CDC.h"

#include <QImage>
#include <QPainter>

#include <cstdio>
#include <cstdlib>
#include <cstring>

namespace {

// Run-length pictures may claim up to 2^28 pixels from a few bytes; drawing those decodes the
// whole picture, which would spend the fuzzer's time on memset rather than on parsing.
constexpr uint64_t kMaxDrawnPixels = uint64_t(1) << 22;

bool WriteBytes(const std::string &path, const uint8_t *data, size_t size)
{
    FILE *f = std::fopen(path.c_str(), "wb");
    if (!f)
        return false;
    const bool ok = (size == 0 || std::fwrite(data, 1, size, f) == size);
    return std::fclose(f) == 0 && ok;
}

QImage Drawn(const CDib &dib, bool clipped, int x, int y, int cx, int cy)
{
    QImage img(40, 30, QImage::Format_RGB32);
    img.fill(Qt::magenta);
    QPainter painter(&img);
    CDC dc(&painter, &img);
    dib.RealizePalette(&dc);
    if (clipped)
        dib.DrawClipped(&dc, x, y, cx, cy);
    else
        dib.DrawStretched(&dc, x, y, cx, cy);
    painter.end();
    return img;
}

// The first difference between two held pictures, or empty.
std::string Difference(const CDib &a, const CDib &b)
{
    if (a.m_dwDataSize != b.m_dwDataSize)
        return "block size " + std::to_string(a.m_dwDataSize) + " became "
            + std::to_string(b.m_dwDataSize);
    if (std::memcmp(a.m_pData, b.m_pData, a.m_dwDataSize) != 0)
        return "block bytes differ";
    if (a.GetInfoSize() != b.GetInfoSize() || a.GetWidth() != b.GetWidth()
        || a.GetHeight() != b.GetHeight() || a.GetBitCount() != b.GetBitCount()
        || a.GetCompression() != b.GetCompression() || a.m_nColors != b.m_nColors)
        return "layout differs";
    return {};
}

} // namespace

DibFuzzResult DibFuzzOne(const uint8_t *data, size_t size, const std::string &workDir)
{
    DibFuzzResult result;
    const std::string input = workDir + "/input.bmp";
    const std::string saved = workDir + "/saved.bmp";
    const std::string held = workDir + "/held.bmp";
    if (!WriteBytes(input, data, size)) {
        result.strFault = "cannot write " + input;
        return result;
    }

    // A 2 x 2 8-bit picture held before the input, to show a refusal keeps it.
    static const uint8_t kHeld[] = {
        'B', 'M', 70, 0, 0,   0,   0,   0, 0, 0, 62, 0, 0, 0, // file header
        40,  0,   0,  0, 2,   0,   0,   0, 2, 0, 0,  0, 1, 0, 8, 0, // info header
        0,   0,   0,  0, 8,   0,   0,   0, 0, 0, 0,  0, 0, 0, 0, 0, 2, 0, 0, 0, 0, 0, 0, 0, //
        0,   0,   0,  0, 255, 255, 255, 0, // two colours
        0,   1,   0,  0, 1,   0,   0,   0, // rows padded to 4 bytes
    };
    CDib dib;
    if (!WriteBytes(held, kHeld, sizeof kHeld) || !dib.Load(held.c_str())) {
        result.strFault = "the held picture does not load";
        return result;
    }
    const uint8_t *heldData = dib.m_pData;
    const QImage heldImage = Drawn(dib, false, 0, 0, 2, 2);

    result.bAccepted = dib.Load(input.c_str());
    if (!result.bAccepted) {
        if (dib.m_pData != heldData || dib.m_strFileName != held
            || Drawn(dib, false, 0, 0, 2, 2) != heldImage)
            result.strFault = "a refused file changed the held picture";
        return result;
    }
    if (dib.m_strFileName != input)
        result.strFault = "the file name was not taken";

    const uint64_t pixels = uint64_t(dib.GetWidth()) * uint64_t(std::abs(dib.GetHeight()));
    if (pixels <= kMaxDrawnPixels) {
        Drawn(dib, false, 0, 0, 40, 30);
        Drawn(dib, false, 35, -3, -45, 37); // mirrored, partly outside
        Drawn(dib, true, -2, 1, 0, 0);
        Drawn(dib, true, 3, 2, 17, 9);
    }
    dib.SetPixel(0, 0, 0x00FF00FF);
    dib.SetPixel(dib.GetWidth() - 1, std::abs(dib.GetHeight()) - 1, 0x123456);
    dib.SetPixel(-1, 0, 0); // outside: refused
    dib.SetPixel(0, std::abs(dib.GetHeight()), 0);

    if (!dib.Save(saved.c_str())) {
        result.strFault = "an accepted picture cannot be saved";
        return result;
    }
    CDib again;
    if (!again.Load(saved.c_str())) {
        result.strFault = "the saved picture does not load";
        return result;
    }
    if (std::string d = Difference(dib, again); !d.empty()) {
        result.strFault = "the saved picture loads differently: " + d;
        return result;
    }
    if (pixels <= kMaxDrawnPixels
        && Drawn(dib, true, 0, 0, 40, 30) != Drawn(again, true, 0, 0, 40, 30))
        result.strFault = "the saved picture draws differently";
    return result;
}
