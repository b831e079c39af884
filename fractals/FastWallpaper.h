#pragma once
// The ring pattern with the same arithmetic per pixel as the step-by-step form, the column
// squares computed once per column and the remainder taken in integers where it is exact.

#include <cstdint>

namespace fast {

// Same arguments and buffer layout as FractalParams::Wallpaper.
void Wallpaper(uint8_t *buffer, int height, int width, int uStart, int vStart, int span);

} // namespace fast
