#pragma once

// A rectangle as left, top, right, bottom in screen pixels (right and bottom exclusive).
struct RECT
{
    int left = 0;
    int top = 0;
    int right = 0;
    int bottom = 0;
    int Width() const { return right - left; }
    int Height() const { return bottom - top; }
    bool operator==(const RECT &) const = default;
};
