#include "file/wav_file.h"

#include <algorithm>
#include <cmath>
#include <limits>

#include "io/safe_file.h"

namespace tsuzuri {

namespace {

constexpr int kChannels = 2;
constexpr int kBytesPerSample = 2;
constexpr int kFrameBytes = kChannels * kBytesPerSample;
constexpr std::size_t kHeaderBytes = 44;
// The RIFF sizes are 32-bit: the data may take what remains of 4 GiB.
constexpr std::uint64_t kMaxDataBytes = std::numeric_limits<std::uint32_t>::max() - kHeaderBytes;
// Samples are handed to the file in pieces of about this size.
constexpr std::size_t kWriteBytes = 256 * 1024;

void put16(std::vector<std::uint8_t>& out, std::uint32_t value) {
    out.push_back(static_cast<std::uint8_t>(value & 0xFF));
    out.push_back(static_cast<std::uint8_t>((value >> 8) & 0xFF));
}

void put32(std::vector<std::uint8_t>& out, std::uint32_t value) {
    put16(out, value & 0xFFFF);
    put16(out, value >> 16);
}

void putTag(std::vector<std::uint8_t>& out, const char (&tag)[5]) {
    out.insert(out.end(), tag, tag + 4);
}

std::int16_t toPcm16(float sample) {
    const float scaled = std::clamp(sample, -1.0f, 1.0f) * 32767.0f;
    return static_cast<std::int16_t>(std::lrint(scaled));
}

std::string quoted(const std::filesystem::path& path) {
    return "「" + path.string() + "」";
}

}  // namespace

std::vector<std::uint8_t> wavHeader(std::uint32_t frames) {
    const std::uint32_t dataBytes = frames * kFrameBytes;
    std::vector<std::uint8_t> out;
    out.reserve(kHeaderBytes);
    putTag(out, "RIFF");
    put32(out, static_cast<std::uint32_t>(kHeaderBytes - 8) + dataBytes);
    putTag(out, "WAVE");
    putTag(out, "fmt ");
    put32(out, 16);  // the size of a PCM format chunk
    put16(out, 1);   // PCM
    put16(out, kChannels);
    put32(out, AudioRenderer::kSampleRate);
    put32(out, AudioRenderer::kSampleRate * kFrameBytes);
    put16(out, kFrameBytes);
    put16(out, 8 * kBytesPerSample);
    putTag(out, "data");
    put32(out, dataBytes);
    return out;
}

void appendPcm16(std::vector<std::uint8_t>& out, const float* left, const float* right,
                 int frames) {
    for (int i = 0; i < frames; ++i) {
        put16(out, static_cast<std::uint16_t>(toPcm16(left[i])));
        put16(out, static_cast<std::uint16_t>(toPcm16(right[i])));
    }
}

WavWritten writeWavFile(const std::filesystem::path& path, const std::vector<std::uint8_t>& midi,
                        AudioRenderer& renderer, const std::function<void(double)>& progress,
                        const std::atomic<bool>& cancel) {
    AtomicFileWriter file(path);
    // The header's sizes are known at the end; until then it holds none.
    file.write(wavHeader(0).data(), kHeaderBytes);
    std::vector<std::uint8_t> pending;
    std::uint64_t dataBytes = 0;
    bool tooLong = false;
    const RenderOutcome outcome = renderer.renderFile(midi, [&](const AudioBlock& block) {
        if (cancel.load())
            return false;
        dataBytes += static_cast<std::uint64_t>(block.frames) * kFrameBytes;
        if (dataBytes > kMaxDataBytes) {
            tooLong = true;
            return false;
        }
        appendPcm16(pending, block.left, block.right, block.frames);
        if (pending.size() >= kWriteBytes) {
            if (!file.write(pending.data(), pending.size()))
                return false;
            pending.clear();
        }
        if (progress)
            progress(block.progress);
        return true;
    });
    if (cancel.load())
        return {{}, true};
    if (tooLong)
        return {quoted(path) + "を書き出せません：WAV ファイルに入りきらない長さの曲です", false};
    if (outcome != RenderOutcome::Done && outcome != RenderOutcome::Stopped)
        return {quoted(path) + "を書き出せません：" + renderFailureText(outcome), false};
    file.write(pending.data(), pending.size());
    const auto frames = static_cast<std::uint32_t>(dataBytes / kFrameBytes);
    file.writeAt(0, wavHeader(frames).data(), kHeaderBytes);
    return {file.commit(Durability::Sync), false};
}

}  // namespace tsuzuri
