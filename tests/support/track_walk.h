#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace tsuzuri::test {

// Why `chunk` is not a track chunk as the compiler writes them, or "": the
// length field equals the bytes that follow, every delta is a complete
// variable-length quantity, every event is a note on, note off or program
// change of channel `channel` with data bytes below 128 and a pitch, and the
// end of track comes last.
inline std::string trackChunkFault(const std::vector<std::uint8_t>& chunk, int channel) {
    if (chunk.size() < 8 || std::string(chunk.begin(), chunk.begin() + 4) != "MTrk")
        return "no MTrk header";
    const std::uint32_t length = (chunk[4] << 24) | (chunk[5] << 16) | (chunk[6] << 8) | chunk[7];
    if (length != chunk.size() - 8)
        return "length field " + std::to_string(length) + " for " +
               std::to_string(chunk.size() - 8) + " bytes";
    std::size_t i = 8;
    auto next = [&]() -> int { return i < chunk.size() ? chunk[i++] : -1; };
    while (i < chunk.size()) {
        int deltaBytes = 1;
        for (int b = next(); b >= 0x80; b = next()) {
            if (++deltaBytes > 4)
                return "delta longer than 4 bytes";
        }
        const int status = next();
        if (status == 0xFF) {
            const bool end = next() == 0x2F && next() == 0x00;
            return end && i == chunk.size() ? "" : "bytes after or instead of end of track";
        }
        if (status < 0 || (status & 0x0F) != channel)
            return "status byte " + std::to_string(status) + " at " + std::to_string(i - 1);
        const int kind = status & 0xF0;
        const int dataBytes = kind == 0x80 || kind == 0x90 ? 2 : kind == 0xC0 ? 1 : 0;
        if (dataBytes == 0)
            return "status byte " + std::to_string(status) + " at " + std::to_string(i - 1);
        for (int d = 0; d < dataBytes; ++d) {
            const int data = next();
            if (data < 0 || data >= 0x80)
                return "data byte out of range at " + std::to_string(i - 1);
            if (kind == 0x90 && d == 0 && data == 0)
                return "note without a pitch";
        }
    }
    return "no end of track";
}

}  // namespace tsuzuri::test
