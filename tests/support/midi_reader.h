#pragma once

#include <filesystem>
#include <string>
#include <vector>

namespace tsuzuri::test {

// One record of a MIDI file as the independent reader midicsv lists it:
// track number, absolute time in ticks, record type and its fields.
struct MidiRecord {
    int track = 0;
    long time = 0;
    std::string type;
    std::vector<std::string> fields;
};

struct MidiListing {
    bool ok = false;          // the reader accepted the file
    std::string diagnostics;  // what the reader said on failure
    std::vector<MidiRecord> records;

    // Records of one type, e.g. "Note_on_c", in file order.
    std::vector<MidiRecord> ofType(const std::string& type) const;
};

// Reads a MIDI file with midicsv (a separate program from Debian) so that our
// writers are checked by a reader other than our own code.
MidiListing readWithMidicsv(const std::filesystem::path& file);

}  // namespace tsuzuri::test
