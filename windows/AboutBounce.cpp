#include "windows/AboutBounce.h"

#include <cmath>

namespace kestrave {

namespace {
std::int16_t to16(double v) {
    return static_cast<std::int16_t>(static_cast<std::int32_t>(v));
}
} // namespace

BounceTick bounceStep(BounceFields& f, float& top, double height, double clientHeight) {
    BounceTick out;
    f.ticks = to16(f.ticks + 1);
    if (top > 1000.0f && f.ticks > 25) {
        if (f.ticks > 500) {
            out.stop = true;
        }
        out.beep = true;
        f.ticks = -1;
    }
    top = static_cast<float>(static_cast<double>(top) + f.speed / 10.0);
    f.speed = to16(f.speed + f.accel);
    const auto bottom = [&] { return static_cast<float>(static_cast<double>(top) + height); };
    if (bottom() >= clientHeight) {
        f.speed = to16(std::floor(std::abs(static_cast<double>(f.speed)) * -0.9));
    }
    if (bottom() < clientHeight || f.speed != 0) {
        f.speed = to16(f.speed + 1);
    }
    if (top <= 0.0f) {
        f.speed = to16(std::floor(std::abs(static_cast<double>(f.speed)) * 0.9));
    }
    return out;
}

} // namespace kestrave
