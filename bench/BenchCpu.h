#pragma once
// The processor and the tuning beside each level's figures: "avx2 AuthenticAMD 25/1 zen".

#include "fractals/FastEscape.h"

#include <string>

inline std::string CpuLabel(fast::SimdLevel level)
{
    const fast::CpuCore &core = fast::HostCore();
    return std::string(fast::SimdLevelName(level)) + " " + core.vendor + " "
        + std::to_string(core.family) + "/" + std::to_string(core.model) + " "
        + fast::CoreKindName(fast::ActiveCoreKind());
}
