#pragma once

#include "platform/widgets/RECT.h"

// What is needed to put the window back as it was before an enlarged mode.
struct WINDOWPLACEMENT
{
    RECT rcNormalPosition; // the normal (restored) outer rectangle
    bool bMaximized = false;
    bool bMenuBar = true; // which bars were shown
    bool bToolBar = true;
    bool bStatusBar = true;
};
