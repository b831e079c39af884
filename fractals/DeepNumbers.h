#pragma once
// Numbers whose exponent a double cannot hold: a double mantissa with an integer exponent of
// its own, for the deltas and coefficients of pictures finer than about 1e-300.

#include <cmath>
#include <cstdint>

namespace deep {

// An exponent far below any number's, so that a zero never wins an alignment.
inline constexpr int64_t kZeroExponent = -(int64_t(1) << 40);

// x * 2^k for any k, saturating to zero or infinity as a double must. Within the range of
// normal doubles the power of two is built from its bits, which is much cheaper than ldexp.
inline double Scale(double x, int64_t k)
{
    if (k >= -1022 && k <= 1023) {
        const uint64_t bits = uint64_t(k + 1023) << 52;
        double power;
        __builtin_memcpy(&power, &bits, sizeof power);
        return x * power;
    }
    if (k > 4096)
        k = 4096;
    if (k < -4096)
        k = -4096;
    return std::ldexp(x, static_cast<int>(k));
}

// A real number m * 2^e, m zero or 0.5 <= |m| < 1.
struct XReal
{
    double m = 0;
    int64_t e = kZeroExponent;

    static XReal Of(double x, int64_t exponent = 0)
    {
        if (x == 0 || !std::isfinite(x))
            return {x, x == 0 ? kZeroExponent : exponent};
        int k = 0;
        const double m = std::frexp(x, &k);
        return {m, exponent + k};
    }
    double ToDouble() const { return m == 0 ? 0.0 : Scale(m, e); }
    bool IsZero() const { return m == 0; }
};

inline XReal operator*(XReal a, XReal b)
{
    return XReal::Of(a.m * b.m, a.e + b.e);
}

inline XReal operator/(XReal a, XReal b)
{
    return XReal::Of(a.m / b.m, a.e - b.e);
}

inline XReal operator+(XReal a, XReal b)
{
    if (a.m == 0)
        return b;
    if (b.m == 0)
        return a;
    if (a.e < b.e) {
        const XReal t = a;
        a = b;
        b = t;
    }
    return XReal::Of(a.m + Scale(b.m, b.e - a.e), a.e);
}

inline XReal operator-(XReal a, XReal b)
{
    return a + XReal {-b.m, b.e};
}

inline bool operator<(XReal a, XReal b)
{
    if ((a.m < 0) != (b.m < 0))
        return a.m < 0;
    if (a.m == 0 || b.m == 0)
        return a.m < b.m;
    if (a.e != b.e)
        return a.m > 0 ? a.e < b.e : a.e > b.e;
    return a.m < b.m;
}

inline XReal Min(XReal a, XReal b)
{
    return b < a ? b : a;
}

// A complex number (re + i im) * 2^e with one exponent for both parts, the larger part
// 0.5 <= |part| < 1 (or both zero).
struct XComplex
{
    double re = 0;
    double im = 0;
    int64_t e = kZeroExponent;

    static XComplex Of(double re, double im, int64_t exponent = 0)
    {
        const double larger = std::fmax(std::fabs(re), std::fabs(im));
        if (larger == 0 || !std::isfinite(larger))
            return {re, im, larger == 0 ? kZeroExponent : exponent};
        int k = 0;
        std::frexp(larger, &k);
        return {Scale(re, -k), Scale(im, -k), exponent + k};
    }
    // re and im as doubles, rounded to zero or infinity where a double cannot hold them.
    double Re() const { return re == 0 ? 0.0 : Scale(re, e); }
    double Im() const { return im == 0 ? 0.0 : Scale(im, e); }
    // |value|, good to a rounding.
    XReal Abs() const { return XReal::Of(std::hypot(re, im), e); }
    // |value|^2.
    XReal Norm() const { return XReal::Of(re * re + im * im, 2 * e); }
};

inline XComplex operator*(const XComplex &a, const XComplex &b)
{
    return XComplex::Of(a.re * b.re - a.im * b.im, a.re * b.im + a.im * b.re, a.e + b.e);
}

inline XComplex operator*(const XComplex &a, XReal b)
{
    return XComplex::Of(a.re * b.m, a.im * b.m, a.e + b.e);
}

inline XComplex operator+(XComplex a, XComplex b)
{
    if (a.re == 0 && a.im == 0)
        return b;
    if (b.re == 0 && b.im == 0)
        return a;
    if (a.e < b.e) {
        const XComplex t = a;
        a = b;
        b = t;
    }
    const int64_t shift = b.e - a.e;
    return XComplex::Of(a.re + Scale(b.re, shift), a.im + Scale(b.im, shift), a.e);
}

} // namespace deep
