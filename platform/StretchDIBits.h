#pragma once
// Draws a device-independent bitmap: an info header with its masks and colour table, and the
// pixel rows, scaled from a source rectangle to a destination rectangle. The source rectangle
// is in the bitmap's own coordinates: for a bottom-up bitmap (0, 0) is the bottom-left pixel,
// for a top-down one the top-left. Negative widths or heights mirror, as on the original
// platform. 1- and 8-bit pixels and 24-bit rows are drawn straight from the caller's bytes;
// other encodings are decoded into a temporary image, every run-length run and delta bounded
// to the picture. Pixels a run-length picture skips leave the destination as it was.

#include <cstddef>

class CDC;
class QImage;

constexpr unsigned DIB_RGB_COLORS = 0;
constexpr unsigned long SRCCOPY = 0x00CC0020;

// pInfo holds nInfoSize readable bytes (header, masks, table); pBits nBitsSize. Returns the
// number of scan lines drawn, 0 when the bitmap cannot be drawn (nothing is drawn then).
int StretchDIBits(CDC *pDC, int xDest, int yDest, int nDestWidth, int nDestHeight, int xSrc,
                  int ySrc, int nSrcWidth, int nSrcHeight, const void *pBits, size_t nBitsSize,
                  const void *pInfo, size_t nInfoSize, unsigned nUsage = DIB_RGB_COLORS,
                  unsigned long dwRop = SRCCOPY);

// The bitmap as an image in stored row order (row 0 first stored), sharing the caller's bytes
// where the encoding allows. Null image when the bitmap cannot be drawn. Used for drawing and
// by tools that want the picture itself.
QImage DibStoredImage(const void *pBits, size_t nBitsSize, const void *pInfo, size_t nInfoSize);
