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

void CDC::SetMapMode(int mode)
{
    m_nMapMode = mode;
    ApplyMapping();
}

void CDC::SetWindowExt(int cx, int cy)
{
    m_sizeWindow = QSize(cx, cy);
    ApplyMapping();
}

void CDC::SetViewportExt(int cx, int cy)
{
    m_sizeViewport = QSize(cx, cy);
    ApplyMapping();
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

void CDC::PatBlt(int x, int y, int width, int height, unsigned long rop)
{
    if (m_pPainter && rop == WHITENESS)
        m_pPainter->fillRect(QRect(x, y, width, height), Qt::white);
}
