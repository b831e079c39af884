#include "cli/IndexImageWriter.h"

#include "fractals/Progress.h"
#include "platform/BmpFormat.h"

#include <png.h>

#include <cerrno>
#include <cstddef>

namespace {

constexpr uint32_t kTableBytes = 1024;
constexpr uint32_t kOffBits = kFileHeaderSize + kInfoHeaderSize + kTableBytes;
constexpr int32_t kPelsPerMeter = 3780;

int WriteError()
{
    return errno != 0 ? errno : EIO;
}

bool Put(std::FILE *file, const void *data, std::size_t size)
{
    return size == 0 || std::fwrite(data, 1, size, file) == size;
}

// What the libpng callbacks hand back to the writer once libpng gives up.
struct PngSink
{
    std::FILE *file;
    int nError;
};

[[noreturn]] void OnPngError(png_structp png, png_const_charp)
{
    auto *sink = static_cast<PngSink *>(png_get_error_ptr(png));
    if (sink->nError == 0)
        sink->nError = EIO;
    png_longjmp(png, 1);
}

void OnPngWrite(png_structp png, png_bytep data, std::size_t size)
{
    auto *sink = static_cast<PngSink *>(png_get_io_ptr(png));
    if (!Put(sink->file, data, size)) {
        sink->nError = WriteError();
        png_error(png, "write failed");
    }
}

void OnPngFlush(png_structp png)
{
    auto *sink = static_cast<PngSink *>(png_get_io_ptr(png));
    if (std::fflush(sink->file) != 0) {
        sink->nError = WriteError();
        png_error(png, "flush failed");
    }
}

void WritePngRows(png_structp png, png_infop info, const uint8_t *indices, int width, int height,
                  const png_color *colours, GeneratorProgress *pProgress)
{
    png_set_IHDR(png, info, png_uint_32(width), png_uint_32(height), 8, PNG_COLOR_TYPE_PALETTE,
                 PNG_INTERLACE_NONE, PNG_COMPRESSION_TYPE_DEFAULT, PNG_FILTER_TYPE_DEFAULT);
    png_set_PLTE(png, info, colours, 256);
    png_write_info(png, info);
    for (int row = height - 1; row >= 0; --row) {
        png_write_row(png, indices + std::size_t(row) * std::size_t(width));
        if (pProgress)
            pProgress->Advance(width);
    }
    png_write_end(png, info);
}

// libpng leaves by longjmp on any failure, so nothing here is changed after setjmp and the
// sink the callbacks fill lives in the caller.
bool RunPng(png_structp png, png_infop info, PngSink *pSink, const uint8_t *indices, int width,
            int height, const png_color *colours, GeneratorProgress *pProgress)
{
    if (setjmp(png_jmpbuf(png)) != 0)
        return false;
    png_set_write_fn(png, pSink, OnPngWrite, OnPngFlush);
    WritePngRows(png, info, indices, width, height, colours, pProgress);
    return true;
}

} // namespace

int WriteIndexBmp(std::FILE *file, const uint8_t *indices, int width, int height,
                  const PaletteTable &palette, GeneratorProgress *pProgress)
{
    const std::size_t rowBytes = std::size_t(width);
    const std::size_t padding = (4 - rowBytes % 4) % 4;
    const uint64_t imageBytes = uint64_t(rowBytes + padding) * uint64_t(height);

    uint8_t headers[kFileHeaderSize + kInfoHeaderSize] = {};
    WriteLE16(headers, kBmpMagic);
    WriteLE32(headers + 2, uint32_t(kOffBits + imageBytes));
    WriteLE32(headers + 10, kOffBits);
    uint8_t *info = headers + kFileHeaderSize;
    WriteLE32(info, kInfoHeaderSize);
    WriteLE32(info + 4, uint32_t(width));
    WriteLE32(info + 8, uint32_t(height));
    WriteLE16(info + 12, 1);
    WriteLE16(info + 14, 8);
    WriteLE32(info + 16, BI_RGB);
    WriteLE32(info + 20, uint32_t(imageBytes));
    WriteLE32(info + 24, kPelsPerMeter);
    WriteLE32(info + 28, kPelsPerMeter);

    errno = 0;
    if (!Put(file, headers, sizeof headers) || !Put(file, palette.data(), palette.size()))
        return WriteError();
    static constexpr uint8_t kZeros[3] = {};
    // Stored row 0 is the bottom row, as in the buffer: rows go out in buffer order.
    for (int row = 0; row < height; ++row) {
        if (!Put(file, indices + std::size_t(row) * rowBytes, rowBytes)
            || !Put(file, kZeros, padding))
            return WriteError();
        if (pProgress)
            pProgress->Advance(width);
    }
    return 0;
}

int WriteIndexPng(std::FILE *file, const uint8_t *indices, int width, int height,
                  const PaletteTable &palette, GeneratorProgress *pProgress)
{
    png_color colours[256];
    for (std::size_t i = 0; i < 256; ++i)
        colours[i] = {palette[4 * i + 2], palette[4 * i + 1], palette[4 * i]};

    PngSink sink {file, 0};
    png_structp png = png_create_write_struct(PNG_LIBPNG_VER_STRING, &sink, OnPngError, nullptr);
    if (!png)
        return ENOMEM;
    png_infop info = png_create_info_struct(png);
    if (!info) {
        png_destroy_write_struct(&png, nullptr);
        return ENOMEM;
    }
    errno = 0;
    const bool written = RunPng(png, info, &sink, indices, width, height, colours, pProgress);
    png_destroy_write_struct(&png, &info);
    return written ? 0 : (sink.nError != 0 ? sink.nError : EIO);
}
