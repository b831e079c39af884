#pragma once
// What the per-instruction-set escape kernels share. Kept free of standard-library templates:
// the kernels are compiled for wider instruction sets than the rest of the program, and an
// inline function instantiated there could be picked by the linker for every caller.

#include <cstdint>

namespace fast {

// Columns handed to a kernel at once; the column table is padded to a multiple of it.
inline constexpr int kStripeWidth = 16;
inline constexpr int kMaxIterations = 255;

struct EscapeJob
{
    uint8_t *buffer;
    int width;
    int height;
    // Mandelbrot: the constant's real part per column and imaginary part per row, orbit from 0.
    // Julia: the orbit's start, real part per column and imaginary part per row.
    const double *columnValues;
    const double *rowValues;
    bool julia;
    double cx; // Julia constant
    double cy;
    double bailout;
};

// Fills columns [column, column + kStripeWidth) of every row, clipped to the width.
using StripeKernel = void (*)(const EscapeJob &job, int column);

void EscapeStripeScalar(const EscapeJob &job, int column);
void EscapeStripeSse2(const EscapeJob &job, int column);
void EscapeStripeAvx2(const EscapeJob &job, int column);
void EscapeStripeAvx512(const EscapeJob &job, int column);

} // namespace fast
