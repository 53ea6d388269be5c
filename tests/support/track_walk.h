#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

namespace tsuzuri {

// Walks a "MTrk" chunk event by event: the length field equals the bytes that
// follow, every delta is a complete variable-length quantity, every event is a
// channel message with data bytes below 128 or the end of track, which comes
// last.
inline bool isWellFormedTrackChunk(const std::vector<std::uint8_t>& chunk) {
    if (chunk.size() < 12 || chunk[0] != 'M' || chunk[1] != 'T' || chunk[2] != 'r' ||
        chunk[3] != 'k')
        return false;
    const std::size_t length = (std::size_t{chunk[4]} << 24) | (std::size_t{chunk[5]} << 16) |
                               (std::size_t{chunk[6]} << 8) | chunk[7];
    if (length != chunk.size() - 8)
        return false;
    std::size_t i = 8;
    while (i < chunk.size()) {
        int quantityBytes = 0;
        while (i < chunk.size() && (chunk[i] & 0x80) != 0) {
            ++i;
            if (++quantityBytes > 3)
                return false;
        }
        if (++i >= chunk.size())
            return false;
        const std::uint8_t status = chunk[i];
        if (status == 0xFF)
            return i + 3 == chunk.size() && chunk[i + 1] == 0x2F && chunk[i + 2] == 0x00;
        const int kind = status & 0xF0;
        const std::size_t dataBytes = kind == 0xC0 || kind == 0xD0 ? 1 : 2;
        if (status < 0x80 || kind == 0xF0 || i + dataBytes >= chunk.size())
            return false;
        for (std::size_t k = 1; k <= dataBytes; ++k) {
            if (chunk[i + k] >= 0x80)
                return false;
        }
        i += dataBytes + 1;
    }
    return false;
}

}  // namespace tsuzuri
