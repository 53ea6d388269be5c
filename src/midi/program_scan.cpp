#include "midi/program_scan.h"

#include <algorithm>
#include <cstring>
#include <optional>

namespace tsuzuri {

namespace {

// A bounds-checked cursor over one chunk's bytes.
class Reader {
public:
    Reader(const std::uint8_t* data, std::size_t size) : data_(data), size_(size) {}

    bool atEnd() const { return pos_ >= size_; }
    std::optional<std::uint8_t> byte() {
        if (atEnd())
            return std::nullopt;
        return data_[pos_++];
    }
    std::optional<std::uint32_t> variableLength() {
        std::uint32_t value = 0;
        for (int i = 0; i < 4; ++i) {
            const auto b = byte();
            if (!b)
                return std::nullopt;
            value = (value << 7) | (*b & 0x7Fu);
            if ((*b & 0x80) == 0)
                return value;
        }
        return std::nullopt;
    }
    bool skip(std::uint32_t n) {
        if (n > size_ - pos_)
            return false;
        pos_ += n;
        return true;
    }

private:
    const std::uint8_t* data_;
    std::size_t size_;
    std::size_t pos_ = 0;
};

std::uint32_t bigEndian32(const std::uint8_t* p) {
    return (std::uint32_t{p[0]} << 24) | (std::uint32_t{p[1]} << 16) | (std::uint32_t{p[2]} << 8) |
           p[3];
}

// Data bytes that follow a channel status byte.
int channelDataBytes(std::uint8_t status) {
    const int kind = status & 0xF0;
    return kind == 0xC0 || kind == 0xD0 ? 1 : 2;
}

struct TrackScan {
    Table<int, kMidiChannels> firstProgram;
    Table<bool, kMidiChannels> sounds;
};

// Walks the events of one track chunk, recording program changes and note-ons.
void scanTrack(Reader in, TrackScan& scan) {
    std::uint8_t running = 0;
    while (!in.atEnd()) {
        if (!in.variableLength())
            return;
        auto first = in.byte();
        if (!first)
            return;
        std::uint8_t status = *first;
        if (status < 0x80) {  // running status: `first` is already a data byte
            if (running == 0)
                return;
            status = running;
        }
        if (status == 0xFF) {  // meta event: type, length, data
            if (!in.byte())
                return;
            const auto length = in.variableLength();
            if (!length || !in.skip(*length))
                return;
            continue;
        }
        if (status == 0xF0 || status == 0xF7) {  // system exclusive: length, data
            const auto length = in.variableLength();
            if (!length || !in.skip(*length))
                return;
            continue;
        }
        if (status >= 0xF0)
            return;
        running = status;
        const auto data1 = *first < 0x80 ? first : in.byte();
        const auto data2 =
            channelDataBytes(status) == 2 ? in.byte() : std::optional<std::uint8_t>(0);
        if (!data1 || !data2)
            return;
        const int channel = status & 0x0F;
        if ((status & 0xF0) == 0xC0 && scan.firstProgram[channel] < 0)
            scan.firstProgram[channel] = *data1 & 0x7F;
        if ((status & 0xF0) == 0x90 && *data2 != 0)
            scan.sounds[channel] = true;
    }
}

}  // namespace

FilePrograms scanPrograms(const std::uint8_t* data, std::size_t size) {
    FilePrograms result;
    result.program.fill(-1);
    if (size < 14 || std::memcmp(data, "MThd", 4) != 0 || bigEndian32(data + 4) < 6)
        return result;
    result.valid = true;
    TrackScan scan;
    scan.firstProgram.fill(-1);
    std::size_t pos = 8 + std::size_t{bigEndian32(data + 4)};
    while (pos <= size && size - pos >= 8) {
        const std::uint8_t* chunk = data + pos;
        const std::size_t length = bigEndian32(chunk + 4);
        const std::size_t available = std::min(length, size - pos - 8);
        if (std::memcmp(chunk, "MTrk", 4) == 0)
            scanTrack(Reader(chunk + 8, available), scan);
        if (length > size - pos - 8)
            break;
        pos += 8 + length;
    }
    for (int c = 0; c < kMidiChannels; ++c)
        result.program[c] = scan.firstProgram[c] >= 0 ? scan.firstProgram[c]
                            : scan.sounds[c]          ? 0
                                                      : -1;
    return result;
}

}  // namespace tsuzuri
