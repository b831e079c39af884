#pragma once

#include <QString>

// The part of the window-creation parameters a frame adjusts before it is built.
struct CREATESTRUCT
{
    int cx = 0; // outer size; 0: the system's default
    int cy = 0;
    QString lpszName;
};
