#pragma once
// Diffusion-limited aggregation that grows exactly the cluster of the step-by-step walk: the
// same random numbers in the same order, the same sticking rule, the same refusals. Away from
// the cluster a walker covers up to 63 unit steps at once: the steps are still the sequence's,
// one number each, but their sum (and, by the walk square's edge, their highest and lowest
// point) is looked up instead of walked.

#include <cstdint>

class GeneratorProgress;

namespace fast {

// Same arguments and buffer layout as FractalParams::Dla, from the given seed. A progress
// record, when given, counts the finished particles.
void Dla(uint8_t *buffer, int height, int width, int particles, double radius, uint32_t seed,
         GeneratorProgress *pProgress = nullptr);

} // namespace fast
