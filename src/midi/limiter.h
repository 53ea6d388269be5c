#pragma once

namespace tsuzuri {

// Keeps the mixed output of the synthesizers below full scale. Music whose
// peaks stay under the ceiling passes unchanged; a louder passage (many
// tracks struck at once) is turned down at once and comes back up over a
// fraction of a second, so that the sound never clips.
class Limiter {
public:
    static constexpr float kCeiling = 0.891f;  // -1 dBFS
    static constexpr double kReleaseSeconds = 0.3;

    explicit Limiter(int sampleRate) : sampleRate_(sampleRate) {}

    // Limits one block of stereo samples in place.
    void process(float* left, float* right, int frames);

private:
    int sampleRate_;
    float gain_ = 1.0f;
};

}  // namespace tsuzuri
