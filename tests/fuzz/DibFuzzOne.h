#pragma once
// One input of the BMP loader's fuzz target, shared by the libFuzzer entry point and the test
// that replays kept inputs.

#include <cstddef>
#include <cstdint>
#include <string>

struct DibFuzzResult
{
    bool bAccepted = false; // the loader took the bytes as a picture
    std::string strFault; // empty unless the loader broke a promise
};

// Writes the bytes to a file in workDir and loads it over a held picture. A refusal must keep
// that picture; an accepted one is drawn both ways, has a pixel set, is saved and loaded again,
// and the reloaded picture must be the same, byte for byte and as drawn.
DibFuzzResult DibFuzzOne(const uint8_t *data, size_t size, const std::string &workDir);
