#pragma once
// Writers of an index buffer (width x height bytes, row 0 at the bottom) with a 256-colour
// table, straight from the buffer a row at a time: no second copy of the picture is made.
// Each returns 0, or the errno value of the failure; a failed write leaves the stream in an
// unknown state, for the caller to discard.

#include <array>
#include <cstdint>
#include <cstdio>

class GeneratorProgress;

// The first 1024 bytes of a palette file: blue, green, red, 0 for each of the 256 entries.
using PaletteTable = std::array<uint8_t, 1024>;

// The program's own 8-bit BMP: 14-byte file header, 40-byte info header, the table as given,
// rows bottom-up padded to 4 bytes from offset 1078. At 512 x 512 these are the bytes
// CDib::Compose writes. The caller keeps width x height within the picture limits.
int WriteIndexBmp(std::FILE *file, const uint8_t *indices, int width, int height,
                  const PaletteTable &palette, GeneratorProgress *pProgress = nullptr);

// An 8-bit palette PNG (colour type 3) of the same picture, top row first.
int WriteIndexPng(std::FILE *file, const uint8_t *indices, int width, int height,
                  const PaletteTable &palette, GeneratorProgress *pProgress = nullptr);
