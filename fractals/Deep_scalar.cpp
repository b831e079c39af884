// The delta loop one lane at a time, with no instruction beyond the processor's baseline.

#include "fractals/DeepEngine.h"

namespace {

struct ScalarLanes
{
    using Vector = double;
    using Index = int64_t;
    static constexpr int kLanes = 1;
    static constexpr int kSlots = 4;
    static constexpr int kGroupSlots = 4;

    static Vector Set(double v) { return v; }
    static Vector Load(const double *p) { return *p; }
    static void Store(double *p, Vector v) { *p = v; }
    static Index LoadIndex(const int64_t *p) { return *p; }
    static Index Next(Index i) { return i + 2; }
    static Vector Add(Vector a, Vector b) { return a + b; }
    static Vector Sub(Vector a, Vector b) { return a - b; }
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
    static bool Either(bool a, bool b) { return a || b; }
    static Vector Select(bool m, Vector yes, Vector no) { return m ? yes : no; }
    static Index ZeroWhere(bool m, Index i) { return m ? 0 : i; }
    // Whether a lane's index is residue modulo the power of two.
    // The real and imaginary parts of the orbit's points at the lanes' indices.
    static void GatherPoints(const double *orbit, Index i, Vector &re, Vector &im)
    {
        re = orbit[i];
        im = orbit[i + 1];
    }
    // Where a lane's index is residue modulo the power of two.
    static bool At(Index i, int64_t modulus, int64_t residue)
    {
        return (i & (modulus - 1)) == residue;
    }
    // The lane's index over 2^shift, counted from the orbit's second point.
    static Index Block(Index i, int shift) { return (i - 2) >> shift; }
    // base[i] where the mask is set, 0 elsewhere.
    static Vector GatherWhere(bool m, const double *base, Index i) { return m ? base[i] : 0.0; }
};

} // namespace

#include "fractals/DeepLanes.h"

namespace deep {

void DeepTilesScalar(Worker &worker)
{
    DeepTiles<ScalarLanes>(worker);
}

} // namespace deep
