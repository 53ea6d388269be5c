#include "midi/limiter.h"

#include <algorithm>
#include <cmath>

namespace tsuzuri {

void Limiter::process(float* left, float* right, int frames) {
    if (frames <= 0)
        return;
    float peak = 0;
    for (int i = 0; i < frames; ++i)
        peak = std::max({peak, std::fabs(left[i]), std::fabs(right[i])});
    const float wanted = peak > kCeiling ? kCeiling / peak : 1.0f;
    float target = wanted;
    if (wanted > gain_) {
        const double rise = 1 - std::exp(-frames / (kReleaseSeconds * sampleRate_));
        target = gain_ + static_cast<float>((wanted - gain_) * rise);
    }
    if (gain_ == 1.0f && target == 1.0f)
        return;
    // The gain moves across the block, so that turning down makes no click;
    // the first samples of a block that must come down at once are held at
    // the ceiling.
    for (int i = 0; i < frames; ++i) {
        const float g = gain_ + (target - gain_) * static_cast<float>(i + 1) / frames;
        left[i] = std::clamp(left[i] * g, -kCeiling, kCeiling);
        right[i] = std::clamp(right[i] * g, -kCeiling, kCeiling);
    }
    gain_ = target;
}

}  // namespace tsuzuri
