#pragma once
// The 0..32767 pseudo-random generator of the DLA walk and the leaf: a 32-bit linear
// congruential sequence, so a picture drawn from a known seed can be drawn again.

#include <cstdint>

class Random
{
public:
    explicit Random(uint32_t seed) : m_nState(seed) { }

    // The next number, 0 to 32767.
    int Next()
    {
        m_nState = m_nState * 214013u + 2531011u;
        return static_cast<int>((m_nState >> 16) & 0x7FFFu);
    }

    // The current calendar time in seconds, the seed the commands use.
    static uint32_t TimeSeed();

private:
    uint32_t m_nState;
};
