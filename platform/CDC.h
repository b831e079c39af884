#pragma once
// A device context: a QPainter on a widget, pixmap, image or printer, with the mapping calls
// the view's OnPrepareDC makes.

#include <QColor>
#include <QPainter>
#include <QRect>
#include <QSize>

constexpr int LOGPIXELSX = 88;
constexpr int LOGPIXELSY = 90;

constexpr int MM_TEXT = 1;
constexpr int MM_ANISOTROPIC = 8;

constexpr unsigned long WHITENESS = 0x00FF0062;

class CPalette;

class CDC
{
public:
    // painter must be active on device; both outlive the CDC.
    CDC(QPainter *painter, QPaintDevice *device);
    virtual ~CDC() = default;

    QPainter *GetPainter() const { return m_pPainter; }

    // LOGPIXELSX/Y: the device's logical dots per inch (or the test override).
    virtual int GetDeviceCaps(int index) const;

    // Mapping of logical units to device pixels, applied to the painter's transform.
    void SetMapMode(int mode);
    void SetWindowExt(int cx, int cy);
    void SetViewportExt(int cx, int cy);

    void FillSolidRect(const QRect &rect, const QColor &color);
    // Only WHITENESS is understood; any other operation draws nothing.
    void PatBlt(int x, int y, int width, int height, unsigned long rop);

    // The logical palette selected into this context (null: the default one); see CPalette.h.
    const CPalette *SelectPaletteObject(const CPalette *pPalette)
    {
        const CPalette *pOld = m_pPalette;
        m_pPalette = pPalette;
        return pOld;
    }
    const CPalette *GetSelectedPalette() const { return m_pPalette; }

private:
    template<class> friend struct TestAccess; // what tests read beyond the program
    void ApplyMapping();

    QPainter *m_pPainter;
    QPaintDevice *m_pDevice;
    int m_nMapMode = MM_TEXT;
    QSize m_sizeWindow {1, 1};
    QSize m_sizeViewport {1, 1};
    QTransform m_baseTransform;
    const CPalette *m_pPalette = nullptr;
};
