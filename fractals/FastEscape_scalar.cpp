// The escape kernel one pixel to a register, for processors or tests that want no vector
// instructions: the same slots hide the recurrence's latency behind other pixels.

#include <stdint.h>

namespace {

struct ScalarLanes
{
    using Vector = double;
    static constexpr int kLanes = 1;

    static Vector Set(double v) { return v; }
    static Vector Load(const double *p) { return *p; }
    static void Store(double *p, Vector v) { *p = v; }
    static Vector Add(Vector a, Vector b) { return a + b; }
    static Vector Sub(Vector a, Vector b) { return a - b; }
    static Vector Mul(Vector a, Vector b) { return a * b; }
    // False for a sum that is not a number: such a pixel never escapes.
    static unsigned Escaped(Vector sum, Vector bailout) { return sum > bailout ? 1u : 0u; }
    static Vector Expand(Vector old, unsigned lanes, const double *p) { return lanes ? *p : old; }
    static Vector Zero(Vector old, unsigned lanes) { return lanes ? 0.0 : old; }
    static void Compress(Vector v, unsigned, double *out) { *out = v; }
    static Vector WithBytes(Vector v, uint64_t bytes)
    {
        uint64_t bits;
        __builtin_memcpy(&bits, &v, sizeof bits);
        bits |= bytes & 0xFF;
        __builtin_memcpy(&v, &bits, sizeof v);
        return v;
    }
};

} // namespace

#include "fractals/FastEscapeLanes.h"

namespace fast {

extern constinit const LevelKernels kScalarKernels = KernelsOf<ScalarLanes, SimdLevel::Scalar>();

} // namespace fast
