#pragma once

#include <cstdint>

// Width and height of the still pin's current format, refreshed at every
// capture start and copied into every stored still. Keeps its last values
// while no device is open.
struct StillFrameInfo {
    std::int32_t width = 0;
    std::int32_t height = 0;
};
