#include "midi/audio_analysis.h"

#include <algorithm>
#include <cmath>
#include <numbers>

namespace tsuzuri::test {

double fundamentalHz(const std::vector<float>& x, std::size_t start, std::size_t length, int rate) {
    constexpr double kLowestHz = 40;
    constexpr double kHighestHz = 2500;
    constexpr double kDipThreshold = 0.15;
    const auto maxLag = static_cast<std::size_t>(rate / kLowestHz);
    const auto minLag = static_cast<std::size_t>(rate / kHighestHz);
    if (length <= maxLag || start + length > x.size())
        return 0;
    const std::size_t window = length - maxLag;
    std::vector<double> difference(maxLag + 1, 0.0);
    for (std::size_t lag = 1; lag <= maxLag; ++lag) {
        double sum = 0;
        for (std::size_t j = 0; j < window; ++j) {
            const double d = double{x[start + j]} - x[start + j + lag];
            sum += d * d;
        }
        difference[lag] = sum;
    }
    std::vector<double> normalized(maxLag + 1, 1.0);
    double running = 0;
    for (std::size_t lag = 1; lag <= maxLag; ++lag) {
        running += difference[lag];
        normalized[lag] = running > 0 ? difference[lag] * static_cast<double>(lag) / running : 1;
    }
    std::size_t best = 0;
    for (std::size_t lag = minLag; lag < maxLag; ++lag) {
        if (normalized[lag] < kDipThreshold) {
            while (lag + 1 < maxLag && normalized[lag + 1] < normalized[lag])
                ++lag;
            best = lag;
            break;
        }
    }
    if (best == 0)
        return 0;
    // A parabola through the dip and its neighbours places it between samples.
    const double a = normalized[best - 1], b = normalized[best], c = normalized[best + 1];
    const double denominator = a - 2 * b + c;
    const double shift = denominator > 0 ? 0.5 * (a - c) / denominator : 0;
    return rate / (static_cast<double>(best) + shift);
}

double rms(const std::vector<float>& x, std::size_t start, std::size_t length) {
    double sum = 0;
    for (std::size_t i = start; i < start + length && i < x.size(); ++i)
        sum += double{x[i]} * x[i];
    return length == 0 ? 0 : std::sqrt(sum / static_cast<double>(length));
}

double peak(const std::vector<float>& x, std::size_t start, std::size_t length) {
    double top = 0;
    for (std::size_t i = start; i < start + length && i < x.size(); ++i)
        top = std::max(top, double{std::fabs(x[i])});
    return top;
}

std::size_t firstAbove(const std::vector<float>& x, std::size_t from, float threshold) {
    for (std::size_t i = from; i < x.size(); ++i) {
        if (std::fabs(x[i]) > threshold)
            return i;
    }
    return x.size();
}

std::vector<double> harmonicProfile(const std::vector<float>& x, std::size_t start,
                                    std::size_t length, int rate, double f0, int count) {
    std::vector<double> profile;
    double norm = 0;
    for (int k = 1; k <= count; ++k) {
        const double omega = 2 * std::numbers::pi * f0 * k / rate;
        double re = 0, im = 0;
        for (std::size_t j = 0; j < length && start + j < x.size(); ++j) {
            const double hann = 0.5 - 0.5 * std::cos(2 * std::numbers::pi * static_cast<double>(j) /
                                                     static_cast<double>(length));
            const double v = x[start + j] * hann;
            re += v * std::cos(omega * static_cast<double>(j));
            im -= v * std::sin(omega * static_cast<double>(j));
        }
        profile.push_back(std::hypot(re, im));
        norm += profile.back() * profile.back();
    }
    for (double& p : profile)
        p = norm > 0 ? p / std::sqrt(norm) : 0;
    return profile;
}

double profileDistance(const std::vector<double>& a, const std::vector<double>& b) {
    double dot = 0;
    for (std::size_t i = 0; i < a.size() && i < b.size(); ++i)
        dot += a[i] * b[i];
    return 1 - dot;
}

double semitones(double hz, double referenceHz) {
    return 12 * std::log2(hz / referenceHz);
}

double keyHz(int key) {
    return 440.0 * std::pow(2.0, (key - 69) / 12.0);
}

}  // namespace tsuzuri::test
