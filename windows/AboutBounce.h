#pragma once
#include <cstdint>

namespace kestrave {

// The about window's toy animation, one tick at a time, kept free of any window so that it
// can be checked against a table.
struct BounceFields {
    std::int16_t speed = 20; // tenths of a twip per tick, positive downwards
    std::int16_t accel = 10;
    std::int16_t ticks = 0; // tick counter and animation state
};

struct BounceTick {
    bool beep = false;
    bool stop = false; // stop the 10 ms timer
};

// One step: updates the fields and the picture's top (twips) against the picture's height
// and the client area's height.
BounceTick bounceStep(BounceFields& f, float& top, double height, double clientHeight);

} // namespace kestrave
