#pragma once

#include <cstddef>
#include <vector>

namespace tsuzuri::test {

// Measurements on mono samples, over `length` samples from `start`.

// The fundamental frequency in Hz (the YIN method: the first clear dip of the
// normalized difference function, so that a note is not taken for its
// octave below), or 0 when the window holds no periodic sound.
double fundamentalHz(const std::vector<float>& x, std::size_t start, std::size_t length, int rate);

double rms(const std::vector<float>& x, std::size_t start, std::size_t length);
double peak(const std::vector<float>& x, std::size_t start, std::size_t length);

// The first sample at or after `from` whose magnitude exceeds `threshold`,
// or x.size() when there is none.
std::size_t firstAbove(const std::vector<float>& x, std::size_t from, float threshold);

// Amplitudes of harmonics 1..count of `f0` (Hann-windowed), scaled to unit length.
std::vector<double> harmonicProfile(const std::vector<float>& x, std::size_t start,
                                    std::size_t length, int rate, double f0, int count);

// 1 - cosine similarity of two profiles: 0 for the same timbre.
double profileDistance(const std::vector<double>& a, const std::vector<double>& b);

// Distance in semitones between two frequencies.
double semitones(double hz, double referenceHz);

// 440 * 2^((key - 69) / 12)
double keyHz(int key);

}  // namespace tsuzuri::test
