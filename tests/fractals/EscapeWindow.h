#pragma once
// A window of the plane for the escape-time equivalence tests, and its one-line description
// for a failure message.

#include <cstdio>
#include <string>

struct Window
{
    int width;
    int height;
    double xMin, xMax, yMin, yMax;
    double bailout; // Mandelbrot only
    double cx, cy; // Julia only
};

inline std::string Describe(const Window &w)
{
    char text[256];
    std::snprintf(text, sizeof text,
                  "%dx%d x %.17g..%.17g y %.17g..%.17g bailout %.17g c %.17g %.17g", w.width,
                  w.height, w.xMin, w.xMax, w.yMin, w.yMax, w.bailout, w.cx, w.cy);
    return text;
}
