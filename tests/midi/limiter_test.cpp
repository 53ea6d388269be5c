#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <random>
#include <vector>

#include "midi/limiter.h"

namespace tsuzuri {
namespace {

constexpr int kRate = 44100;
constexpr int kBlock = 128;

// Random music-like blocks: sines of random level, some far above full scale.
TEST(Limiter, NoSampleEverReachesFullScaleAndQuietMusicPassesUnchanged) {
    std::mt19937 random(7);
    std::uniform_real_distribution<float> level(0.0f, 6.0f);
    Limiter loud(kRate);
    for (int block = 0; block < 2000; ++block) {
        const float a = level(random);
        std::vector<float> left(kBlock), right(kBlock);
        for (int i = 0; i < kBlock; ++i) {
            left[i] = a * std::sin(0.05f * static_cast<float>(block * kBlock + i));
            right[i] = -0.7f * left[i];
        }
        loud.process(left.data(), right.data(), kBlock);
        for (int i = 0; i < kBlock; ++i) {
            ASSERT_LE(std::fabs(left[i]), Limiter::kCeiling) << block;
            ASSERT_LE(std::fabs(right[i]), Limiter::kCeiling) << block;
        }
    }

    Limiter quiet(kRate);
    for (int block = 0; block < 200; ++block) {
        std::vector<float> left(kBlock), right(kBlock);
        for (int i = 0; i < kBlock; ++i)
            left[i] = right[i] = 0.85f * std::sin(0.01f * static_cast<float>(block * kBlock + i));
        const std::vector<float> before = left;
        quiet.process(left.data(), right.data(), kBlock);
        ASSERT_EQ(left, before) << block;
    }
}

// After a burst the level comes back, smoothly, within a second and a half.
TEST(Limiter, TheLevelComesBackAfterALoudPassage) {
    Limiter limiter(kRate);
    std::vector<float> left(kBlock), right(kBlock);
    auto run = [&](float value, int blocks) {
        float last = 0;
        for (int b = 0; b < blocks; ++b) {
            std::fill(left.begin(), left.end(), value);
            std::fill(right.begin(), right.end(), value);
            limiter.process(left.data(), right.data(), kBlock);
            if (b > 0) {
                EXPECT_LT(std::fabs(left[0] - last), 0.01f) << "a jump in block " << b;
            }
            last = left[kBlock - 1];
        }
        return last;
    };
    EXPECT_NEAR(run(4.0f, 100), Limiter::kCeiling, 1e-6);
    EXPECT_LT(run(0.5f, 10), 0.2f);  // still turned down just after the burst
    EXPECT_NEAR(run(0.5f, 500), 0.5f, 0.005f);  // 1.5 s later
}

}  // namespace
}  // namespace tsuzuri
