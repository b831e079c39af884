#include "fractals/DeepZoom.h"

#include "fractals/DeepEngine.h"
#include "fractals/DeepTiles.h"
#include "fractals/FastEscape.h"
#include "fractals/FastEscapeKernels.h"
#include "fractals/Progress.h"

#include <mpfr.h>

#include <algorithm>
#include <cctype>
#include <cmath>
#include <functional>
#include <system_error>
#include <thread>
#include <vector>

namespace deep {

namespace {

// Decimal exponents past this are refused before MPFR sees them: far beyond any depth memory
// allows, and kept well inside MPFR's exponent range.
constexpr long kMaxDecimalExponent = 100'000'000;

// Bits the reference orbit carries beyond those that tell the finest pixels apart.
constexpr long kGuardBits = 64;
// Pixels a side can have, as bits: the finest pixel is the width over 2^15.
constexpr long kColumnBits = 15;

// A linear approximation holds while the square it drops is below this share of what it keeps.
const double kEpsilon = std::ldexp(1.0, -45);
// Approximations of every level the loops stop for start one past a multiple of kStarts + 1.
constexpr uint32_t kStarts = (1u << kExitLevel) - 1;
// How far an orbit that became periodic is stored: 16 kB of points.
constexpr uint64_t kRepeatedLength = uint64_t(1) << 10;

// An MPFR number that frees itself.
class Big
{
public:
    explicit Big(mpfr_prec_t bits) { mpfr_init2(m_value, bits); }
    ~Big() { mpfr_clear(m_value); }
    Big(const Big &) = delete;
    Big &operator=(const Big &) = delete;
    mpfr_ptr get() { return m_value; }
    mpfr_srcptr get() const { return m_value; }

private:
    mpfr_t m_value;
};

// The decimal in the form MPFR reads: sign, digits, point, digits, 'e', exponent. Empty when
// the text is not a decimal.
std::string Canonical(const std::string &text, std::string *pWhy = nullptr)
{
    auto fail = [&](const char *why) {
        if (pWhy)
            *pWhy = why;
        return std::string();
    };
    if (text.empty())
        return fail("empty");
    size_t i = 0;
    std::string sign;
    if (text[i] == '+' || text[i] == '-')
        sign = text[i++] == '-' ? "-" : "";
    std::string whole, fraction;
    while (i < text.size() && std::isdigit(static_cast<unsigned char>(text[i])))
        whole += text[i++];
    if (i < text.size() && text[i] == '.') {
        ++i;
        while (i < text.size() && std::isdigit(static_cast<unsigned char>(text[i])))
            fraction += text[i++];
    }
    if (whole.empty() && fraction.empty())
        return fail("no digits");
    long exponent = 0;
    if (i < text.size() && (text[i] == 'e' || text[i] == 'E')) {
        ++i;
        bool negative = false;
        if (i < text.size() && (text[i] == '+' || text[i] == '-'))
            negative = text[i++] == '-';
        if (i == text.size())
            return fail("no digits in the exponent");
        while (i < text.size() && std::isdigit(static_cast<unsigned char>(text[i]))) {
            exponent = exponent * 10 + (text[i++] - '0');
            if (exponent > kMaxDecimalExponent)
                return fail("exponent out of range");
        }
        if (negative)
            exponent = -exponent;
    }
    if (i != text.size())
        return fail("not a decimal number");
    return sign + (whole.empty() ? "0" : whole) + "." + fraction + "e" + std::to_string(exponent);
}

void Read(Big &number, const std::string &text, const char *what)
{
    std::string why;
    const std::string canonical = Canonical(text, &why);
    if (canonical.empty())
        throw BadNumber(std::string(what) + " \"" + text + "\": " + why);
    mpfr_set_str(number.get(), canonical.c_str(), 10, MPFR_RNDN);
}

// The binary exponent of a positive decimal: x = m 2^e with 0.5 <= m < 1.
long ExponentOf(const std::string &text)
{
    Big x(64);
    Read(x, text, "width");
    return mpfr_get_exp(x.get());
}

XReal ToXReal(mpfr_srcptr x)
{
    long exponent = 0;
    const double m = mpfr_get_d_2exp(&exponent, x, MPFR_RNDN);
    return XReal::Of(m, exponent);
}

DeepKernel KernelFor(fast::SimdLevel level)
{
    switch (level) {
    case fast::SimdLevel::Avx512:
        // Intel's cores with AVX-512 FP16 (Sapphire Rapids and later) gather fast, and no
        // mitigation of gather data sampling slows them, as it does the cores before.
        if (fast::ActiveCoreKind() == fast::CoreKind::Other && __builtin_cpu_supports("avx512fp16"))
            return DeepTilesAvx512Gathered;
        return DeepTilesAvx512;
    case fast::SimdLevel::Avx2:
        return DeepTilesAvx2;
    case fast::SimdLevel::Sse2:
        return DeepTilesSse2;
    case fast::SimdLevel::Scalar:
        break;
    }
    return DeepTilesScalar;
}

// The approximation of one iteration from Z_m: dz -> 2 Z_m dz + dc, dropping dz^2.
struct Step
{
    XComplex a;
    XComplex b;
    XReal r;
};

Step Single(const OrbitPoint &z)
{
    const XComplex a = XComplex::Of(2 * z.re, 2 * z.im);
    return {a, XComplex::Of(1, 0), a.Abs() * XReal::Of(kEpsilon / 2)};
}

// x first, then y.
Step Merge(const Step &x, const Step &y, XReal dcMax)
{
    Step z {y.a * x.a, y.a * x.b + y.b, XReal()};
    const XReal absA = x.a.Abs();
    const XReal left = y.r - x.b.Abs() * dcMax;
    if (left.m <= 0)
        z.r = XReal();
    else if (absA.IsZero())
        z.r = x.r;
    else
        z.r = Min(x.r, left / absA);
    return z;
}

// The approximation of the count iterations from orbit point from.
Step Stretch(const std::vector<OrbitPoint> &orbit, size_t from, size_t count, XReal dcMax)
{
    Step s = Single(orbit[from]);
    for (size_t k = 1; k < count; ++k)
        s = Merge(s, Single(orbit[from + k]), dcMax);
    return s;
}

BlaNode NodeOf(const Step &s)
{
    const XReal r2 = s.r * s.r;
    BlaNode node {s.a, s.b, r2, r2.ToDouble(), s.a.Re(), s.a.Im(), s.b.Re(), s.b.Im(), false};
    node.doubles = std::isfinite(node.ar) && std::isfinite(node.ai) && std::isfinite(node.br)
        && std::isfinite(node.bi);
    return node;
}

} // namespace

std::string DecimalError(const std::string &text)
{
    std::string why;
    return Canonical(text, &why).empty() ? why : std::string();
}

std::string FrameWidth(const std::string &w0, const std::string &w1, int k, int K)
{
    if (K < 1 || k < 0 || k >= K)
        throw BadNumber("frame " + std::to_string(k) + " of " + std::to_string(K)
                        + " does not exist");
    const std::string from = Canonical(w0);
    const std::string to = Canonical(w1);
    if (from.empty() || to.empty())
        throw BadNumber("a width is not a decimal number");
    if (k == 0)
        return w0;
    if (k == K - 1)
        return w1;
    // The exponent's error grows with the logarithm's size; these bits keep 20 digits.
    const mpfr_prec_t bits = 128 + 40;
    Big a(bits), b(bits), t(bits);
    mpfr_set_str(a.get(), from.c_str(), 10, MPFR_RNDN);
    mpfr_set_str(b.get(), to.c_str(), 10, MPFR_RNDN);
    if (mpfr_sgn(a.get()) <= 0 || mpfr_sgn(b.get()) <= 0)
        throw BadNumber("a width is not positive");
    mpfr_div(t.get(), b.get(), a.get(), MPFR_RNDN);
    mpfr_log(t.get(), t.get(), MPFR_RNDN);
    mpfr_mul_si(t.get(), t.get(), k, MPFR_RNDN);
    mpfr_div_si(t.get(), t.get(), K - 1, MPFR_RNDN);
    mpfr_exp(t.get(), t.get(), MPFR_RNDN);
    mpfr_mul(t.get(), t.get(), a.get(), MPFR_RNDN);
    mpfr_exp_t exponent = 0;
    char *digits = mpfr_get_str(nullptr, &exponent, 10, 21, t.get(), MPFR_RNDN);
    std::string text(digits);
    mpfr_free_str(digits);
    return text.substr(0, 1) + "." + text.substr(1) + "e" + std::to_string(exponent - 1);
}

struct Renderer::Impl
{
    Settings settings;
    long finestExponent = 0;
    std::vector<OrbitPoint> orbit;
    std::vector<double> radii;
    uint32_t last = 0;
    uint32_t period = 0;
    // The approximations of the last picture's size and width, kept for the next one.
    std::vector<std::vector<BlaNode>> table;
    std::vector<Level> levels;
    std::vector<BlaNode> periods;
    std::string tableKey;

    void Reference(const std::string &re, const std::string &im, mpfr_prec_t bits);
    void Approximations(XReal dcMax);
};

void Renderer::Impl::Reference(const std::string &re, const std::string &im, mpfr_prec_t bits)
{
    Big cr(bits), ci(bits), zr(bits), zi(bits), zr2(bits), zi2(bits), t(bits), ar(bits), ai(bits);
    Read(cr, re, "centre");
    Read(ci, im, "centre");
    mpfr_set_ui(zr.get(), 0, MPFR_RNDN);
    mpfr_set_ui(zi.get(), 0, MPFR_RNDN);
    const double limit = std::fmax(settings.dBailout, 4.0);
    orbit.clear();
    orbit.push_back({0, 0});
    period = 0;
    // An orbit inside the set may come back exactly to a point it has been at, to the last bit
    // (an attracting cycle, once it is as near as the precision tells, or a point such as i);
    // from there on every point is known, and a long limit costs neither time nor memory. Each
    // point is compared with an anchor that moves ahead at doubling distances (Brent's method).
    mpfr_set_ui(ar.get(), 0, MPFR_RNDN);
    mpfr_set_ui(ai.get(), 0, MPFR_RNDN);
    uint32_t anchor = 0, reach = 1, cycle = 0;
    bool periodic = false;
    for (uint32_t n = 1; n <= settings.nIterations; ++n) {
        // Z <- Z^2 + C
        mpfr_sqr(zr2.get(), zr.get(), MPFR_RNDN);
        mpfr_sqr(zi2.get(), zi.get(), MPFR_RNDN);
        mpfr_mul(t.get(), zr.get(), zi.get(), MPFR_RNDN);
        mpfr_mul_2ui(t.get(), t.get(), 1, MPFR_RNDN);
        mpfr_add(zi.get(), t.get(), ci.get(), MPFR_RNDN);
        mpfr_sub(zr.get(), zr2.get(), zi2.get(), MPFR_RNDN);
        mpfr_add(zr.get(), zr.get(), cr.get(), MPFR_RNDN);
        const double x = mpfr_get_d(zr.get(), MPFR_RNDN);
        const double y = mpfr_get_d(zi.get(), MPFR_RNDN);
        orbit.push_back({x, y});
        if (!(x * x + y * y <= limit))
            break;
        if (mpfr_equal_p(zr.get(), ar.get()) && mpfr_equal_p(zi.get(), ai.get())) {
            cycle = n - anchor;
            periodic = n < settings.nIterations;
            break;
        }
        if (n - anchor == reach) {
            mpfr_set(ar.get(), zr.get(), MPFR_RNDN);
            mpfr_set(ai.get(), zi.get(), MPFR_RNDN);
            anchor = n;
            reach *= 2;
        }
    }
    if (periodic) {
        // Stored round and round, without arithmetic, to a length at which a pixel seldom
        // comes to the end: each time it does costs the loops a stop. There it goes back whole
        // cycles, to a point at or past the anchor and one past a multiple of 2^kExitLevel,
        // where approximations of every level the loops stop for start.
        const uint64_t back = (uint64_t(anchor) + kStarts - 1) / (kStarts + 1) * (kStarts + 1) + 1;
        const uint64_t length = std::max<uint64_t>(
            back + cycle, std::min<uint64_t>(settings.nIterations, kRepeatedLength));
        const uint64_t end = back + (length - back + cycle - 1) / cycle * cycle;
        for (uint64_t k = orbit.size(); k <= end; ++k) {
            const OrbitPoint point = orbit[k - cycle];
            orbit.push_back(point);
        }
        period = static_cast<uint32_t>(end - back);
    }
    last = static_cast<uint32_t>(orbit.size() - 1);
    // The vector loops gather one point ahead of a lane that has just rebased.
    orbit.push_back({0, 0});
    orbit.shrink_to_fit();
}

void Renderer::Impl::Approximations(XReal dcMax)
{
    table.clear();
    levels.assign(kFirstLevel, Level {nullptr, 0});
    // A periodic orbit's points go round for ever: so do its approximations, of one period and
    // of each power of two of them, as far as the iteration limit or while they hold at all.
    periods.clear();
    if (period) {
        Step s = Stretch(orbit, last - period, period, dcMax);
        for (uint64_t span = period; s.r.m > 0; span *= 2) {
            periods.push_back(NodeOf(s));
            if (2 * span > settings.nIterations)
                break;
            s = Merge(s, s, dcMax);
        }
    }
    // One radius for every start a lane can stand on, up to the point past the orbit's end; 0
    // where no approximation is stored.
    radii.assign(static_cast<size_t>(last >> kExitLevel) + 2, 0.0);
    // Level kFirstLevel straight from the orbit, each higher level from pairs of the one below.
    const int64_t span = int64_t(1) << kFirstLevel;
    std::vector<BlaNode> first;
    std::vector<Step> steps;
    for (int64_t m = 1; m + span <= int64_t(last); m += span) {
        const Step s = Stretch(orbit, static_cast<size_t>(m), static_cast<size_t>(span), dcMax);
        steps.push_back(s);
        first.push_back(NodeOf(s));
    }
    if (first.empty())
        return;
    table.push_back(std::move(first));
    while (steps.size() >= 2) {
        std::vector<Step> up(steps.size() / 2);
        std::vector<BlaNode> nodes(up.size());
        for (size_t j = 0; j < up.size(); ++j) {
            up[j] = Merge(steps[2 * j], steps[2 * j + 1], dcMax);
            nodes[j] = NodeOf(up[j]);
        }
        steps = std::move(up);
        table.push_back(std::move(nodes));
    }
    for (const std::vector<BlaNode> &nodes : table)
        levels.push_back({nodes.data(), static_cast<int64_t>(nodes.size())});
    // The vector loops leave for the scalar code only for a skip that repays the stop.
    if (int(levels.size()) > kExitLevel) {
        const Level &exit = levels[kExitLevel];
        for (int64_t j = 0; j < exit.count; ++j)
            radii[static_cast<size_t>(j)] = exit.nodes[j].r2Double;
    }
}

Renderer::Renderer(const std::string &centerRe, const std::string &centerIm,
                   const std::string &finestWidth, const Settings &settings)
    : m_pImpl(std::make_unique<Impl>())
{
    if (settings.nIterations == 0)
        throw BadNumber("the iteration limit must be at least 1");
    m_pImpl->settings = settings;
    Big width(64);
    Read(width, finestWidth, "width");
    if (mpfr_sgn(width.get()) <= 0)
        throw BadNumber("width \"" + finestWidth + "\": not positive");
    m_pImpl->finestExponent = mpfr_get_exp(width.get());
    const long bits = std::max<long>(64, kGuardBits + kColumnBits - m_pImpl->finestExponent);
    m_pImpl->Reference(centerRe, centerIm, static_cast<mpfr_prec_t>(bits));
}

Renderer::~Renderer() = default;

void Renderer::Render(const std::string &width, int columns, int rows, uint32_t *counts,
                      GeneratorProgress *pProgress, Stats *pStats)
{
    Impl &impl = *m_pImpl;
    if (columns < 2 || rows < 1)
        throw BadNumber("a picture needs at least two columns and one row");
    Big w(64);
    Read(w, width, "width");
    if (mpfr_sgn(w.get()) <= 0)
        throw BadNumber("width \"" + width + "\": not positive");
    if (ExponentOf(width) < impl.finestExponent)
        throw BadNumber("width \"" + width + "\" is finer than the renderer was made for");
    const XReal step = ToXReal(w.get()) / XReal::Of(columns - 1);
    const XReal halfStep = step * XReal::Of(0.5);
    // The corner's offset, which bounds every pixel's.
    const XReal dcMax = halfStep * XReal::Of(std::hypot(columns - 1.0, rows - 1.0));
    const std::string key = width + " " + std::to_string(columns) + "x" + std::to_string(rows);
    if (key != impl.tableKey) {
        impl.Approximations(dcMax);
        impl.tableKey = key;
    }

    const int64_t pixels = int64_t(columns) * rows;
    if (pProgress)
        pProgress->Start(pixels);
    DeepTileQueue queue(columns, rows, pProgress);
    DeepJob job {};
    job.orbit = impl.orbit.data();
    job.radii = impl.radii.data();
    job.last = impl.last;
    job.period = impl.period;
    job.periods = impl.periods.data();
    job.periodLevels = static_cast<int>(impl.periods.size());
    job.levels = impl.levels.data();
    job.levelCount = static_cast<int>(impl.levels.size());
    job.iterations = impl.settings.nIterations;
    job.bailout = impl.settings.dBailout;
    job.extended = step.e < kExtendedBelow + 60;
    job.halfStep = halfStep;
    job.columns = columns;
    job.rows = rows;
    job.counts = counts;
    job.queue = &queue;

    const DeepKernel kernel = KernelFor(fast::ActiveSimdLevel());
    const unsigned cores = std::max(1u, std::thread::hardware_concurrency());
    const unsigned threads = static_cast<unsigned>(std::min<int64_t>(cores, queue.Tiles()));
    std::vector<Worker> workers(threads);
    std::vector<std::vector<Lane>> spills(threads, std::vector<Lane>(kSpillRoom));
    for (unsigned i = 0; i < threads; ++i) {
        workers[i] = Worker {};
        workers[i].job = &job;
        workers[i].spill = spills[i].data();
    }
    std::vector<std::thread> helpers;
    try {
        for (unsigned i = 1; i < threads; ++i)
            helpers.emplace_back(kernel, std::ref(workers[i]));
    } catch (const std::system_error &) {
        // Fewer threads only means this one takes more tiles.
    }
    kernel(workers[0]);
    for (std::thread &helper : helpers)
        helper.join();
    if (pStats) {
        *pStats = Stats {};
        for (const Worker &worker : workers) {
            pStats->nIterations += worker.stats.iterations;
            pStats->nSkipped += worker.stats.skipped;
        }
    }
}

} // namespace deep
