// The WAV writer on a renderer that makes known samples: the file as an
// independent reader sees it, and what a cancel or a failure leaves behind.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <random>

#include "file/wav_file.h"
#include "support/temp_dir.h"
#include "support/wav_reader.h"

namespace tsuzuri {
namespace {

namespace fs = std::filesystem;

constexpr int kBlockFrames = 1000;

// Hands out `blocks` blocks of random samples, a tenth of them beyond full
// scale, and keeps them; then ends as `outcome` says.
class KnownSamples : public AudioRenderer {
public:
    KnownSamples(int blocks, RenderOutcome outcome) : blocks_(blocks), outcome_(outcome) {}

    RenderOutcome renderFile(const std::vector<std::uint8_t>&, const BlockSink& sink) override {
        std::mt19937 random(7);
        std::uniform_real_distribution<float> sample(-1.1f, 1.1f);
        for (int b = 0; b < blocks_; ++b) {
            std::vector<float> left(kBlockFrames), right(kBlockFrames);
            for (int i = 0; i < kBlockFrames; ++i) {
                left[i] = sample(random);
                right[i] = sample(random);
            }
            left_.insert(left_.end(), left.begin(), left.end());
            right_.insert(right_.end(), right.begin(), right.end());
            const double progress = static_cast<double>(b + 1) / blocks_;
            if (!sink({left.data(), right.data(), kBlockFrames, progress}))
                return RenderOutcome::Stopped;
        }
        return outcome_;
    }

    std::vector<float> left_, right_;

private:
    int blocks_;
    RenderOutcome outcome_;
};

std::vector<std::string> namesIn(const fs::path& dir) {
    std::vector<std::string> names;
    for (const auto& entry : fs::directory_iterator(dir))
        names.push_back(entry.path().filename().string());
    return names;
}

TEST(WavFile, ReadsBackWithItsFormatLengthAndEverySample) {
    test::TempDir dir;
    const fs::path file = dir.path() / "piece.wav";
    KnownSamples renderer(300, RenderOutcome::Done);  // 300,000 frames: more than one write
    std::vector<double> progress;
    const std::atomic<bool> cancel = false;
    const WavWritten written = writeWavFile(
        file, {}, renderer, [&](double p) { progress.push_back(p); }, cancel);
    ASSERT_EQ(written.error, "");
    EXPECT_FALSE(written.cancelled);

    const test::WavListing wav = test::readWithPythonWave(file);
    ASSERT_TRUE(wav.ok) << wav.diagnostics;
    EXPECT_EQ(wav.rate, 44100);
    ASSERT_EQ(wav.frames, 300 * kBlockFrames);
    const float step = 1.0f / 32767;
    for (std::size_t i = 0; i < renderer.left_.size(); ++i) {
        ASSERT_NEAR(wav.left[i], std::clamp(renderer.left_[i], -1.0f, 1.0f), 0.51f * step) << i;
        ASSERT_NEAR(wav.right[i], std::clamp(renderer.right_[i], -1.0f, 1.0f), 0.51f * step) << i;
    }
    EXPECT_EQ(test::readBytes(file).size(), 44u + 4u * 300 * kBlockFrames);
    EXPECT_TRUE(std::is_sorted(progress.begin(), progress.end()));
    EXPECT_EQ(progress.back(), 1.0);
    EXPECT_EQ(namesIn(dir.path()), std::vector<std::string>{"piece.wav"});
}

TEST(WavFile, ACancelOrAFailureLeavesTheOldFileAndNothingElse) {
    test::TempDir dir;
    const fs::path file = dir.path() / "piece.wav";
    const std::vector<std::uint8_t> old = {'o', 'l', 'd'};
    test::writeBytes(file, old);

    KnownSamples endless(1000000, RenderOutcome::Done);
    std::atomic<bool> cancel = false;
    int blocks = 0;
    const WavWritten cancelled = writeWavFile(
        file, {}, endless, [&](double) { cancel = ++blocks == 3; }, cancel);
    EXPECT_TRUE(cancelled.cancelled);
    EXPECT_EQ(cancelled.error, "");
    EXPECT_EQ(blocks, 3);

    KnownSamples failing(2, RenderOutcome::NoSoundFont);
    cancel = false;
    const WavWritten failed = writeWavFile(file, {}, failing, {}, cancel);
    EXPECT_FALSE(failed.cancelled);
    EXPECT_NE(failed.error.find(file.string()), std::string::npos) << failed.error;
    EXPECT_NE(failed.error.find("SoundFont"), std::string::npos) << failed.error;

    EXPECT_EQ(test::readBytes(file), old);
    EXPECT_EQ(namesIn(dir.path()), std::vector<std::string>{"piece.wav"});
}

}  // namespace
}  // namespace tsuzuri
