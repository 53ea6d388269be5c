#pragma once

#include <filesystem>
#include <string>
#include <vector>

namespace tsuzuri::test {

// A WAV file as Python's wave module (a reader other than our own code)
// reads it.
struct WavListing {
    bool ok = false;          // the reader accepted the file
    std::string diagnostics;  // what it said otherwise
    int channels = 0;
    int sampleBytes = 0;
    int rate = 0;
    long frames = 0;
    std::vector<float> left, right;  // the samples, full scale 1
    // Left plus right, for measurements on one signal.
    std::vector<float> mono() const;
};

WavListing readWithPythonWave(const std::filesystem::path& file);

}  // namespace tsuzuri::test
