#include "platform/CPalette.h"

#include "platform/CDC.h"

#include <utility>

bool CPalette::CreatePalette(std::vector<PALETTEENTRY> entries)
{
    if (entries.empty() || entries.size() > 65535)
        return false;
    m_entries = std::move(entries);
    return true;
}

void CPalette::TakeFrom(CPalette &other) noexcept
{
    m_entries = std::move(other.m_entries);
    other.m_entries.clear();
}

const CPalette *SelectPalette(CDC *pDC, const CPalette *pPalette, bool /*bForceBackground*/)
{
    if (!pDC)
        return nullptr;
    return pDC->SelectPaletteObject(pPalette);
}

void RealizePalette(CDC *pDC)
{
    if (const CPalette *p = pDC ? pDC->GetSelectedPalette() : nullptr)
        p->RecordRealize();
}
