#pragma once

#include <gtest/gtest.h>

#include <cstdint>
#include <map>
#include <vector>

#include "mml/mml_reader.h"

namespace tsuzuri::test {

// The notes a track chunk plays, in the order they start, and the tick of
// its end of track.
struct ChunkNotes {
    std::vector<Played> notes;
    long end = 0;
};

inline ChunkNotes notesOfChunk(const std::vector<std::uint8_t>& chunk) {
    ChunkNotes out;
    std::map<int, std::size_t> sounding;  // key -> index into out.notes
    std::size_t i = 8;
    long time = 0;
    auto quantity = [&] {
        long n = 0;
        while (chunk.at(i) & 0x80)
            n = (n << 7) | (chunk.at(i++) & 0x7F);
        return (n << 7) | chunk.at(i++);
    };
    while (i < chunk.size()) {
        time += quantity();
        const int status = chunk.at(i++);
        if (status == 0xFF) {
            const int type = chunk.at(i++);
            i += static_cast<std::size_t>(quantity());
            if (type == 0x2F)
                out.end = time;
        } else if ((status & 0xF0) == 0x90) {
            const int key = chunk.at(i);
            sounding[key] = out.notes.size();
            out.notes.push_back({time, -1, key, chunk.at(i + 1)});
            i += 2;
        } else if ((status & 0xF0) == 0x80) {
            const int key = chunk.at(i);
            EXPECT_TRUE(sounding.count(key)) << "note off without note on, key " << key;
            if (sounding.count(key))
                out.notes[sounding[key]].off = time;
            sounding.erase(key);
            i += 2;
        } else {
            i += 1;  // program change
        }
    }
    return out;
}

}  // namespace tsuzuri::test
