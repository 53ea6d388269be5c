#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <cmath>
#include <thread>

#include "midi/audio_analysis.h"
#include "midi/engine_module.h"
#include "midi/preview.h"
#include "support/temp_dir.h"

namespace tsuzuri {
namespace {

constexpr int kRate = 44100;

std::vector<float> renderMono(SoundEngine& engine, double seconds) {
    const auto frames = static_cast<std::size_t>(seconds * kRate);
    std::vector<float> left(frames), right(frames), mono(frames);
    for (std::size_t i = 0; i < frames; i += 128) {
        const int n = static_cast<int>(std::min<std::size_t>(128, frames - i));
        engine.render(left.data() + i, right.data() + i, n);
    }
    for (std::size_t i = 0; i < frames; ++i)
        mono[i] = left[i] + right[i];
    return mono;
}

void writePreview(const std::filesystem::path& file, std::uint8_t key) {
    std::vector<std::uint8_t> bytes(kPreviewTemplate.begin(), kPreviewTemplate.end());
    bytes[kPreviewProgramOffset] = 24;
    bytes[kPreviewKeyOffset] = key;
    test::writeBytes(file, bytes);
}

double pitchOf(const std::vector<float>& x) {
    return test::fundamentalHz(x, kRate / 10, kRate / 10, kRate);
}

// A play sent before the module is even opened is carried out once the engine
// has loaded, with the file as it was when sent.
TEST(EngineModule, CommandsSentBeforeTheModuleOpensAreCarriedOut) {
    test::TempDir dir;
    const auto cmid = dir.path() / "c.mid";
    writePreview(cmid, 69);
    std::atomic<int> ready = 0;
    EngineModule module({dir.path() / "no-such-module.so", TSUZURI_ENGINE_MODULE},
                        FluidSequencerOptions{.drivers = {}}, [&](SoundStatus status) {
                            ready += status == SoundStatus::Ready ? 1 : 0;
                        });
    module.sendCommand(playCommand(cmid.string()));
    writePreview(cmid, 75);  // rewritten after the play was sent
    module.start();
    ASSERT_TRUE(module.waitUntilLoaded());
    EXPECT_EQ(ready, 1);
    const double f0 = pitchOf(renderMono(*module.engine(), 0.4));
    EXPECT_LT(std::fabs(test::semitones(f0, 440.0)), 0.25) << f0 << " Hz";
}

TEST(EngineModule, WithoutTheModuleTheOwnerIsToldAndCommandsAreDropped) {
    test::TempDir dir;
    writePreview(dir.path() / "c.mid", 69);
    std::atomic<int> reports = 0;
    std::atomic<SoundStatus> last = SoundStatus::Loading;
    EngineModule module({dir.path() / "no-such-module.so"}, FluidSequencerOptions{.drivers = {}},
                        [&](SoundStatus status) {
                            last = status;
                            ++reports;
                        });
    module.sendCommand(playCommand((dir.path() / "c.mid").string()));
    module.start();
    EXPECT_FALSE(module.waitUntilLoaded());
    EXPECT_EQ(module.engine(), nullptr);
    module.sendCommand(playCommand((dir.path() / "c.mid").string()));
    EXPECT_EQ(reports, 1);
    EXPECT_EQ(last, SoundStatus::NoEngine);
}

// A SoundFont that appears after a failed start is found by the next play, on
// the loading thread, not before the retry interval; the play is then heard.
TEST(FluidSequencerRetry, APlayAfterAFailedLoadTriesAgainAtMostOncePerInterval) {
    test::TempDir dir;
    const auto cmid = dir.path() / "c.mid";
    writePreview(cmid, 69);
    const auto soundFont = dir.path() / "late.sf2";
    std::atomic<int> reports = 0;
    std::atomic<SoundStatus> last = SoundStatus::Loading;
    FluidSequencer engine(
        FluidSequencerOptions{.soundFont = soundFont, .drivers = {}, .retrySeconds = 0.3},
        [&](SoundStatus status) {
            last = status;
            ++reports;
        });
    ASSERT_FALSE(engine.waitUntilLoaded());
    EXPECT_EQ(last, SoundStatus::NoSoundFont);
    std::filesystem::create_symlink(FluidSequencerOptions{}.soundFont, soundFont);
    engine.sendCommand(playCommand(cmid.string()));  // too soon: dropped, no new attempt
    EXPECT_FALSE(engine.loading());
    EXPECT_EQ(reports, 1);

    std::this_thread::sleep_for(std::chrono::milliseconds(350));
    const auto started = std::chrono::steady_clock::now();
    engine.sendCommand(playCommand(cmid.string()));
    EXPECT_LT(std::chrono::steady_clock::now() - started, std::chrono::milliseconds(50));
    ASSERT_TRUE(engine.waitUntilLoaded());
    EXPECT_EQ(reports, 2);
    EXPECT_EQ(last, SoundStatus::Ready);
    const double f0 = pitchOf(renderMono(engine, 0.4));
    EXPECT_LT(std::fabs(test::semitones(f0, 440.0)), 0.25) << f0 << " Hz";
}

}  // namespace
}  // namespace tsuzuri
