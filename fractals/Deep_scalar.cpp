// The delta loop one lane at a time, with no instruction beyond the processor's baseline.

#include "fractals/DeepEngine.h"

namespace {

struct ScalarLanes
{
    using Vector = double;
    using Index = int64_t;
    static constexpr int kLanes = 1;
    static constexpr int kSlots = 4;

    static Vector Set(double v) { return v; }
    static Vector Load(const double *p) { return *p; }
    static void Store(double *p, Vector v) { *p = v; }
    static Index LoadIndex(const int64_t *p) { return *p; }
    static Index Next(Index i) { return i + 4; }
    static Vector Gather(const double *base, Index i) { return base[i]; }
    static Vector Add(Vector a, Vector b) { return a + b; }
    static Vector Mul(Vector a, Vector b) { return a * b; }
    static Vector MulAdd(Vector a, Vector b, Vector c) { return a * b + c; }
    static Vector NegMulAdd(Vector a, Vector b, Vector c) { return c - a * b; }
    static void StoreIndex(int64_t *p, Index i) { *p = i; }
    static unsigned Flags(Vector zz, Vector dd, Vector r2, Vector bailout)
    {
        return (zz > bailout) | (dd < r2);
    }
    static bool Less(Vector a, Vector b) { return a < b; }
    static unsigned Bits(bool m) { return m; }
    static Vector Select(bool m, Vector yes, Vector no) { return m ? yes : no; }
    static Index ZeroWhere(bool m, Index i) { return m ? 0 : i; }
};

} // namespace

#include "fractals/DeepLanes.h"

namespace deep {

void DeepTilesScalar(Worker &worker)
{
    DeepTiles<ScalarLanes>(worker);
}

} // namespace deep
