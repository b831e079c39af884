#pragma once
// A logical palette: the colours a picture asks the display for. Every display this program
// runs on is true-colour, so realising a palette maps nothing; it is only counted, so callers
// can be checked for selecting and realising it.

#include <cstdint>
#include <vector>

class CDC;

struct PALETTEENTRY
{
    uint8_t peRed = 0;
    uint8_t peGreen = 0;
    uint8_t peBlue = 0;
    uint8_t peFlags = 0;
};

class CPalette
{
public:
    CPalette() = default;
    CPalette(const CPalette &) = delete;
    CPalette &operator=(const CPalette &) = delete;

    // Replaces the entries. False (and unchanged) for an empty list or more than 65535 entries.
    bool CreatePalette(std::vector<PALETTEENTRY> entries);
    // Takes over the entries of other, which is left empty.
    void TakeFrom(CPalette &other) noexcept;
    bool IsEmpty() const { return m_entries.empty(); }
    // Counts a realisation while selected into a device context.
    void RecordRealize() const { ++m_nRealized; }

private:
    template<class> friend struct TestAccess; // what tests read beyond the program
    std::vector<PALETTEENTRY> m_entries;
    mutable int m_nRealized = 0;
};

// Selects a palette into the device context (null: the default palette) and returns the one
// selected before. bForceBackground is accepted for the caller's intent; it changes nothing.
const CPalette *SelectPalette(CDC *pDC, const CPalette *pPalette, bool bForceBackground);
// Maps the selected palette into the system palette: on a true-colour display nothing is
// mapped, so this only records the realisation.
void RealizePalette(CDC *pDC);
