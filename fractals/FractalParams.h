#pragma once
// The default plane windows and escape limits of the escape-time fractals, and every
// generator as a member operation. Generators read no field: every input is an argument.
// Buffers are width x height bytes, offset row * width + column, row 0 at the bottom.

#include <cstdint>

class GeneratorProgress;

class FractalParams
{
public:
    FractalParams();
    virtual ~FractalParams();

    // 1 restores the Mandelbrot fields (8 to 12), 2 the Julia fields (1 to 7); others nothing.
    void Reset(int kind);

    // A progress record, when given, counts finished pixels.
    void Mandelbrot(uint8_t *buffer, int width, int height, double xMin, double xMax, double yMin,
                    double yMax, double bailout, GeneratorProgress *pProgress = nullptr);
    void Julia(uint8_t *buffer, int width, int height, const double &cx, const double &cy,
               double xMin, double xMax, double yMin, double yMax,
               GeneratorProgress *pProgress = nullptr);
    // A progress record, when given, counts the steps of the orbit.
    void Martin(uint8_t *buffer, int height, int width, double a, double b, double c,
                int iterations, GeneratorProgress *pProgress = nullptr);
    void Mira(uint8_t *buffer, int height, int width, double a, double b, double sx, double sy,
              int x1, int y1, int x2, int y2, int iterations,
              GeneratorProgress *pProgress = nullptr);
    void Wallpaper(uint8_t *buffer, int height, int width, int uStart, int vStart, int span);
    // Seeds the random generator with the current time in seconds.
    void Dla(uint8_t *buffer, int height, int width, int particles, double radius);
    // The same walk from a given seed (tests and the renderer). A progress record, when given,
    // counts the particles.
    void Dla(uint8_t *buffer, int height, int width, int particles, double radius, uint32_t seed,
             GeneratorProgress *pProgress = nullptr);

    double m_dJuliaXMin;
    double m_dJuliaXMax;
    double m_dJuliaYMin;
    double m_dJuliaYMax;
    double m_dJuliaCX;
    double m_dJuliaCY;
    double m_dJuliaBailout;
    double m_dMandelXMin;
    double m_dMandelXMax;
    double m_dMandelYMin;
    double m_dMandelYMax;
    double m_dMandelBailout;
};

// The Julia constant's defaults: single-precision values widened to double.
inline constexpr double kDefaultJuliaCX = static_cast<double>(-0.22375f);
inline constexpr double kDefaultJuliaCY = static_cast<double>(0.76508f);
