#pragma once
// A device context whose dots per inch are set by the test.

#include "platform/CDC.h"

class CTestDC : public CDC
{
public:
    CTestDC(QPainter *painter, QPaintDevice *device, int dpiX, int dpiY)
        : CDC(painter, device), m_nDpiX(dpiX), m_nDpiY(dpiY)
    {
    }
    int GetDeviceCaps(int index) const override
    {
        if (index == LOGPIXELSX)
            return m_nDpiX;
        if (index == LOGPIXELSY)
            return m_nDpiY;
        return CDC::GetDeviceCaps(index);
    }

private:
    int m_nDpiX;
    int m_nDpiY;
};
