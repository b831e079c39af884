#pragma once
// The lock keys' lights, read from the keyboard where the platform tells them.

#include <optional>

// nIndicatorID is ID_INDICATOR_CAPS, ID_INDICATOR_NUM or ID_INDICATOR_SCRL. Empty when the
// platform cannot tell (no X11 display, an offscreen platform, another id).
std::optional<bool> QueryLockIndicator(int nIndicatorID);
