#include "support/wav_reader.h"

#include <cstdint>
#include <sstream>

#include "support/command.h"

namespace tsuzuri::test {

namespace {

// Prints the format on the first line, then the frames as they are stored.
constexpr const char* kReader =
    "import sys, wave\n"
    "with wave.open(sys.argv[1], 'rb') as w:\n"
    "    print(w.getnchannels(), w.getsampwidth(), w.getframerate(), w.getnframes())\n"
    "    sys.stdout.flush()\n"
    "    sys.stdout.buffer.write(w.readframes(w.getnframes()))\n";

float sampleAt(const std::string& bytes, std::size_t offset) {
    const auto low = static_cast<std::uint8_t>(bytes[offset]);
    const auto high = static_cast<std::uint8_t>(bytes[offset + 1]);
    return static_cast<float>(static_cast<std::int16_t>(low | high << 8)) / 32767.0f;
}

}  // namespace

std::vector<float> WavListing::mono() const {
    std::vector<float> out(left.size());
    for (std::size_t i = 0; i < out.size(); ++i)
        out[i] = left[i] + right[i];
    return out;
}

WavListing readWithPythonWave(const std::filesystem::path& file) {
    WavListing listing;
    int status = 0;
    const std::string output = runCommand(
        "python3 -c \"" + std::string(kReader) + "\" '" + file.string() + "' 2>&1", status);
    const auto endOfLine = output.find('\n');
    if (status != 0 || endOfLine == std::string::npos) {
        listing.diagnostics = output;
        return listing;
    }
    std::istringstream format(output.substr(0, endOfLine));
    format >> listing.channels >> listing.sampleBytes >> listing.rate >> listing.frames;
    const std::string frames = output.substr(endOfLine + 1);
    listing.ok = listing.channels == 2 && listing.sampleBytes == 2 &&
                 frames.size() == static_cast<std::size_t>(listing.frames) * 4;
    if (!listing.ok) {
        listing.diagnostics = output.substr(0, endOfLine);
        return listing;
    }
    for (std::size_t i = 0; i < frames.size(); i += 4) {
        listing.left.push_back(sampleAt(frames, i));
        listing.right.push_back(sampleAt(frames, i + 2));
    }
    return listing;
}

}  // namespace tsuzuri::test
