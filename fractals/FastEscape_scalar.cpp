// The escape kernel one pixel to a register, for processors or tests that want no vector
// instructions: the same slots hide the recurrence's latency behind other pixels.

#include <cstdint>

namespace {

struct ScalarLanes
{
    using Vector = double;
    static constexpr int kLanes = 1;

    static Vector Set(double v) { return v; }
    static Vector Load(const double *p) { return *p; }
    static Vector Add(Vector a, Vector b) { return a + b; }
    static Vector Sub(Vector a, Vector b) { return a - b; }
    static Vector Mul(Vector a, Vector b) { return a * b; }
    // Whether the pixel has not escaped, true for a sum that is not a number: such a pixel
    // never escapes. The kernel keeps what is set, with no negation to do.
    static uint64_t Stays(Vector sum, Vector bailout) { return !(sum > bailout); }
};

} // namespace

#include "fractals/FastEscapeLanes.h"

namespace fast {

extern constinit const LevelKernels kScalarKernels = KernelsOf<ScalarLanes, SimdLevel::Scalar>();

} // namespace fast
