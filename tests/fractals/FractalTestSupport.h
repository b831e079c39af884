#pragma once
// Small helpers shared by the generator tests.

#include <cstddef>
#include <cstdint>
#include <vector>

constexpr int kSize = 512;
using Picture = std::vector<uint8_t>;

inline Picture MakePicture(uint8_t fill = 0xA5)
{
    return Picture(std::size_t(kSize) * kSize, fill);
}

inline uint8_t At(const Picture &p, int row, int column)
{
    return p[std::size_t(row) * kSize + column];
}

// FNV-1a over the whole buffer: a single changed byte changes it.
inline uint64_t Hash(const Picture &p)
{
    uint64_t h = 14695981039346656037ull;
    for (uint8_t b : p) {
        h ^= b;
        h *= 1099511628211ull;
    }
    return h;
}

inline std::size_t Count(const Picture &p, uint8_t value)
{
    std::size_t n = 0;
    for (uint8_t b : p)
        n += b == value;
    return n;
}
