#pragma once
// Diffusion-limited aggregation that grows exactly the cluster of the step-by-step walk: the
// same random numbers in the same order, the same sticking rule, the same refusals. Far from
// the cluster and the walk square's edge a walker covers many unit steps at once, the steps
// still drawn one by one from the sequence, only their sum looked up.

#include <cstdint>

namespace fast {

// Same arguments and buffer layout as FractalParams::Dla, from the given seed.
void Dla(uint8_t *buffer, int height, int width, int particles, double radius, uint32_t seed);

} // namespace fast
