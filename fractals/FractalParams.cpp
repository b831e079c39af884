#include "fractals/FractalParams.h"

#include "fractals/FastDla.h"
#include "fractals/FastEscape.h"
#include "fractals/FastWallpaper.h"
#include "fractals/Random.h"
#include "fractals/Reference.h"

FractalParams::FractalParams()
{
    Reset(1);
    Reset(2);
}

FractalParams::~FractalParams() = default;

void FractalParams::Reset(int kind)
{
    if (kind == 1) {
        m_dMandelXMin = -2.25;
        m_dMandelXMax = 0.75;
        m_dMandelYMin = -1.5;
        m_dMandelYMax = 1.5;
        m_dMandelBailout = 100.0;
    } else if (kind == 2) {
        m_dJuliaXMin = -1.5;
        m_dJuliaXMax = 1.5;
        m_dJuliaYMin = -1.5;
        m_dJuliaYMax = 1.5;
        m_dJuliaCX = kDefaultJuliaCX;
        m_dJuliaCY = kDefaultJuliaCY;
        m_dJuliaBailout = 100.0;
    }
}

void FractalParams::Mandelbrot(uint8_t *buffer, int width, int height, double xMin, double xMax,
                               double yMin, double yMax, double bailout,
                               GeneratorProgress *pProgress)
{
    fast::Mandelbrot(buffer, width, height, xMin, xMax, yMin, yMax, bailout, pProgress);
}

void FractalParams::Julia(uint8_t *buffer, int width, int height, const double &cx,
                          const double &cy, double xMin, double xMax, double yMin, double yMax,
                          GeneratorProgress *pProgress)
{
    fast::Julia(buffer, width, height, cx, cy, xMin, xMax, yMin, yMax, pProgress);
}

void FractalParams::Martin(uint8_t *buffer, int height, int width, double a, double b, double c,
                           int iterations, GeneratorProgress *pProgress)
{
    reference::Martin(buffer, height, width, a, b, c, iterations, pProgress);
}

void FractalParams::Mira(uint8_t *buffer, int height, int width, double a, double b, double sx,
                         double sy, int x1, int y1, int x2, int y2, int iterations,
                         GeneratorProgress *pProgress)
{
    reference::Mira(buffer, height, width, a, b, sx, sy, x1, y1, x2, y2, iterations, pProgress);
}

void FractalParams::Wallpaper(uint8_t *buffer, int height, int width, int uStart, int vStart,
                              int span)
{
    fast::Wallpaper(buffer, height, width, uStart, vStart, span);
}

void FractalParams::Dla(uint8_t *buffer, int height, int width, int particles, double radius)
{
    Dla(buffer, height, width, particles, radius, Random::TimeSeed());
}

void FractalParams::Dla(uint8_t *buffer, int height, int width, int particles, double radius,
                        uint32_t seed, GeneratorProgress *pProgress)
{
    fast::Dla(buffer, height, width, particles, radius, seed, pProgress);
}
