#pragma once
// What tests read of the framework's objects beyond what the program itself asks of them. Each
// class names TestAccess its friend; TestAccess<Class> below reads that class's state.

#include "platform/CDC.h"
#include "platform/CFile.h"
#include "platform/CPalette.h"

#include <QSize>
#include <vector>

template<class T> struct TestAccess;

template<> struct TestAccess<CDC>
{
    static int MapMode(const CDC &dc) { return dc.m_nMapMode; }
    static QSize WindowExt(const CDC &dc) { return dc.m_sizeWindow; }
    static QSize ViewportExt(const CDC &dc) { return dc.m_sizeViewport; }
};

template<> struct TestAccess<CFile>
{
    static bool IsOpen(const CFile &file) { return file.m_hFile >= 0 || file.m_pSave; }
};

template<> struct TestAccess<CPalette>
{
    static const std::vector<PALETTEENTRY> &Entries(const CPalette &p) { return p.m_entries; }
    // Times the palette was realised while selected into a device context.
    static int RealizeCount(const CPalette &p) { return p.m_nRealized; }
};
