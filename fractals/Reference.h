#pragma once
// The generators written step by step as plain scalar loops: the definition every faster form
// must match byte for byte. Arguments and buffer layout as the FractalParams members.

#include <cstdint>

class GeneratorProgress;

namespace reference {

// Sizes below 2 write nothing.
void Mandelbrot(uint8_t *buffer, int width, int height, double xMin, double xMax, double yMin,
                double yMax, double bailout);
// Sizes below 2 write nothing. The escape limit is the fixed 100.
void Julia(uint8_t *buffer, int width, int height, const double &cx, const double &cy, double xMin,
           double xMax, double yMin, double yMax);
// Sizes of 0 or less write nothing. A progress record, when given, counts the orbit's steps.
void Martin(uint8_t *buffer, int height, int width, double a, double b, double c, int iterations,
            GeneratorProgress *pProgress = nullptr);
void Mira(uint8_t *buffer, int height, int width, double a, double b, double sx, double sy, int x1,
          int y1, int x2, int y2, int iterations, GeneratorProgress *pProgress = nullptr);
void Wallpaper(uint8_t *buffer, int height, int width, int uStart, int vStart, int span);
// Returns at once, changing nothing, when the half-side is below 1, the walk square does not
// lie inside the buffer, or no cell of the walk square is occupied (a walk that never ends).
void Dla(uint8_t *buffer, int height, int width, int particles, double radius, uint32_t seed);

} // namespace reference
