#include "platform/CDC.h"

#include <QPaintDevice>

CDC::CDC(QPainter *painter, QPaintDevice *device)
    : m_pPainter(painter)
    , m_pDevice(device)
    , m_baseTransform(painter ? painter->worldTransform() : QTransform())
{
}

int CDC::GetDeviceCaps(int index) const
{
    if (!m_pDevice)
        return 0;
    switch (index) {
    case LOGPIXELSX:
        return m_pDevice->logicalDpiX();
    case LOGPIXELSY:
        return m_pDevice->logicalDpiY();
    default:
        return 0;
    }
}

int CDC::SetMapMode(int mode)
{
    const int old = m_nMapMode;
    m_nMapMode = mode;
    ApplyMapping();
    return old;
}

QSize CDC::SetWindowExt(int cx, int cy)
{
    const QSize old = m_sizeWindow;
    m_sizeWindow = QSize(cx, cy);
    ApplyMapping();
    return old;
}

QSize CDC::SetViewportExt(int cx, int cy)
{
    const QSize old = m_sizeViewport;
    m_sizeViewport = QSize(cx, cy);
    ApplyMapping();
    return old;
}

void CDC::ApplyMapping()
{
    if (!m_pPainter)
        return;
    QTransform t = m_baseTransform;
    if (m_nMapMode == MM_ANISOTROPIC && m_sizeWindow.width() != 0 && m_sizeWindow.height() != 0) {
        t.scale(double(m_sizeViewport.width()) / m_sizeWindow.width(),
                double(m_sizeViewport.height()) / m_sizeWindow.height());
    }
    m_pPainter->setWorldTransform(t);
}

void CDC::FillSolidRect(const QRect &rect, const QColor &color)
{
    if (m_pPainter)
        m_pPainter->fillRect(rect, color);
}

bool CDC::PatBlt(int x, int y, int width, int height, unsigned long rop)
{
    if (!m_pPainter)
        return false;
    if (rop != WHITENESS)
        return false;
    m_pPainter->fillRect(QRect(x, y, width, height), Qt::white);
    return true;
}
