#pragma once
// Multi-core, vectorised Mandelbrot and Julia generators. Each lane runs the plain per-pixel
// recurrence with the same double arithmetic in the same order, so the buffers are identical to
// the one-pixel-at-a-time forms; only how many pixels are in flight differs.

#include <cstdint>

class GeneratorProgress;

namespace fast {

enum class SimdLevel { Scalar = 0, Sse2 = 1, Avx2 = 2, Avx512 = 3 };

// The widest level this CPU runs.
SimdLevel SupportedSimdLevel();
// The level the generators use: the VELORINE_SIMD environment variable (scalar, sse2, avx2,
// avx512) when set and supported, else the supported level, unless SetSimdLevel chose one.
SimdLevel ActiveSimdLevel();
// Forces a level; returns false and changes nothing when the CPU lacks it.
bool SetSimdLevel(SimdLevel level);
const char *SimdLevelName(SimdLevel level);
// Pixels a register of the level holds.
int SimdLanes(SimdLevel level);

// The kinds of core the kernels are tuned for.
enum class CoreKind;
const char *CoreKindName(CoreKind core);

// The processor the generators run on, from CPUID, and the tuning its kind gets.
struct CpuCore
{
    char vendor[13]; // "GenuineIntel", "AuthenticAMD", ...
    int family; // with the extended family added where it counts
    int model;
    CoreKind kind;
};
const CpuCore &HostCore();
// The kind whose tuning the generators use: the VELORINE_CORE environment variable (other, zen,
// zen5) when set, else the host's, unless SetCoreKind chose one. Any tuning runs on any core.
CoreKind ActiveCoreKind();
void SetCoreKind(CoreKind core);

// Same arguments and buffer layout as FractalParams::Mandelbrot; sizes below 2 write nothing.
// A progress record, when given, counts finished pixels.
void Mandelbrot(uint8_t *buffer, int width, int height, double xMin, double xMax, double yMin,
                double yMax, double bailout, GeneratorProgress *pProgress = nullptr);
// Same arguments and buffer layout as FractalParams::Julia; the escape limit is 100.
void Julia(uint8_t *buffer, int width, int height, const double &cx, const double &cy, double xMin,
           double xMax, double yMin, double yMax, GeneratorProgress *pProgress = nullptr);

} // namespace fast
