#include "fractals/Random.h"

#include <ctime>

uint32_t Random::TimeSeed()
{
    return static_cast<uint32_t>(std::time(nullptr));
}
