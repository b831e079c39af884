#pragma once

#include <QPoint>

// The mouse messages a view's PreTranslateMessage sees, as the original platform numbers them.
constexpr unsigned WM_MOUSEMOVE = 0x0200;
constexpr unsigned WM_LBUTTONDOWN = 0x0201;
constexpr unsigned WM_LBUTTONUP = 0x0202;
constexpr unsigned WM_RBUTTONDOWN = 0x0204;
constexpr unsigned WM_RBUTTONUP = 0x0205;

// The part of a window message the program looks at.
struct MSG
{
    unsigned message = 0;
    unsigned wParam = 0; // MK_ flags
    // The pointer in client coordinates; negative left of or above the view, where a view
    // that holds the mouse still hears it.
    QPoint pt;
};
