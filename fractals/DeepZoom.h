#pragma once
// Mandelbrot pictures at any depth. The centre and the width are decimal strings of any length,
// never rounded to a double: one reference orbit at the centre is iterated in arbitrary
// precision, and every pixel as a small delta from it in hardware floats.

#include <cstdint>
#include <memory>
#include <stdexcept>
#include <string>

class GeneratorProgress;

namespace deep {

// A number the caller gave that cannot be used (not a decimal, a width that is not positive);
// what() is a one-line reason for the user.
class BadNumber : public std::invalid_argument
{
public:
    using std::invalid_argument::invalid_argument;
};

struct Settings
{
    uint32_t nIterations = 10000; // N: a pixel that has not escaped by then counts N
    double dBailout = 100;        // the squared-modulus limit
};

// What a render did, for the benchmarks and the tests.
struct Stats
{
    uint64_t nIterations = 0; // iterations the pixels' counts add up to
    uint64_t nSkipped = 0;    // of those, the ones a linear approximation stepped over
};

// Checks a decimal string ("-0.75", "1e-1000", "+3.", ".5E+2"); empty when good, otherwise why
// not, in a few words.
std::string DecimalError(const std::string &text);

// The width of frame k of K (k from 0 to K - 1) on a zoom from width w0 to width w1:
// w0 * (w1 / w0)^(k / (K - 1)), as a decimal string exact to the precision the depth needs.
std::string FrameWidth(const std::string &w0, const std::string &w1, int k, int K);

// The palette index of a count: N itself is 255, others 1 + (n - 1) mod 254.
inline uint8_t PaletteIndex(uint32_t count, uint32_t iterations)
{
    return count == iterations ? 255 : static_cast<uint8_t>(1 + (count - 1) % 254);
}

class Renderer
{
public:
    // Makes the reference orbit at the centre with the precision the finest width needs, so
    // one renderer serves every width from finestWidth up. Throws BadNumber.
    Renderer(const std::string &centerRe, const std::string &centerIm,
             const std::string &finestWidth, const Settings &settings);
    ~Renderer();
    Renderer(const Renderer &) = delete;
    Renderer &operator=(const Renderer &) = delete;

    // Fills counts (columns x rows, row 0 the lowest imaginary part) for the picture of this
    // width, the distance from the first column's centre to the last one's. Throws BadNumber
    // for a width the renderer was not made for (finer than finestWidth, or not positive).
    // A progress record, when given, counts finished pixels.
    void Render(const std::string &width, int columns, int rows, uint32_t *counts,
                GeneratorProgress *pProgress = nullptr, Stats *pStats = nullptr);

private:
    struct Impl;
    std::unique_ptr<Impl> m_pImpl;
};

} // namespace deep
