#include "midi/track_compiler.h"

#include <optional>

#include "mml/mml_writer.h"

namespace tsuzuri {

namespace {

constexpr std::uint8_t kNoteOffVelocity = 0x40;
constexpr std::uint32_t kTailTicks = 32;

// One note as the chunk plays it, in whole ticks.
struct SoundingNote {
    std::int64_t on = 0;
    std::int64_t off = 0;
    std::uint8_t key = 0;
    std::uint8_t velocity = 0;
};

class ChunkWriter {
public:
    ChunkWriter(int channel, std::uint8_t program) : channel_(static_cast<std::uint8_t>(channel)) {
        out_ = {'M', 'T', 'r', 'k', 0, 0, 0, 0};
        out_.insert(out_.end(), {0x00, static_cast<std::uint8_t>(0xC0 | channel_), program});
    }

    void write(const TrackInterpretation& music) {
        out_.reserve(out_.size() + 9 * music.events.size() + 8);
        bool tied = false;  // the next note continues the one open
        for (const MusicEvent& e : music.events) {
            if (e.kind == EventKind::Link)
                tied = e.tie;
            if (e.kind != EventKind::Note)
                continue;
            const std::int64_t off = nearestTick(e.start + e.length);
            if (tied && open_)
                open_->off = off;
            else
                startNote({nearestTick(e.start), off, e.pitch.key, e.velocity});
            tied = false;
        }
        flush();
        appendVariableLength(
            out_, static_cast<std::uint32_t>(nearestTick(music.end) - cursor_) + kTailTicks);
        out_.insert(out_.end(), {0xFF, 0x2F, 0x00});
        putBigEndian32(out_, 4, static_cast<std::uint32_t>(out_.size() - 8));
    }

    std::vector<std::uint8_t> take() { return std::move(out_); }

private:
    void startNote(const SoundingNote& note) {
        flush();
        open_ = note;
    }

    // Writes the open note, unless it is silent: its time passes like a rest's.
    void flush() {
        if (!open_ || open_->velocity == 0) {
            open_.reset();
            return;
        }
        const SoundingNote& n = *open_;
        appendVariableLength(out_, static_cast<std::uint32_t>(n.on - cursor_));
        appendEvent(0x90, n.key, n.velocity);
        appendVariableLength(out_, static_cast<std::uint32_t>(n.off - n.on));
        appendEvent(0x80, n.key, kNoteOffVelocity);
        cursor_ = n.off;
        open_.reset();
    }

    void appendEvent(std::uint8_t status, std::uint8_t key, std::uint8_t velocity) {
        out_.push_back(static_cast<std::uint8_t>(status | channel_));
        out_.push_back(key);
        out_.push_back(velocity);
    }

    std::uint8_t channel_;
    std::vector<std::uint8_t> out_;
    std::optional<SoundingNote> open_;
    std::int64_t cursor_ = 0;  // the tick of the last event written
};

}  // namespace

void appendVariableLength(std::vector<std::uint8_t>& out, std::uint32_t n) {
    if (n < 0x80) {
        out.push_back(static_cast<std::uint8_t>(n));
        return;
    }
    std::uint8_t bytes[5];
    int count = 0;
    bytes[count++] = static_cast<std::uint8_t>(n & 0x7F);
    while ((n >>= 7) != 0)
        bytes[count++] = static_cast<std::uint8_t>(0x80 | (n & 0x7F));
    while (count > 0)
        out.push_back(bytes[--count]);
}

void putBigEndian32(std::vector<std::uint8_t>& out, std::size_t at, std::uint32_t n) {
    for (int i = 0; i < 4; ++i)
        out[at + static_cast<std::size_t>(i)] = static_cast<std::uint8_t>(n >> (24 - 8 * i));
}

std::vector<std::uint8_t> writeTrackChunk(const TrackInterpretation& music, int channel,
                                          std::uint8_t program) {
    ChunkWriter writer(channel, program);
    writer.write(music);
    return writer.take();
}

CompiledTrack compileTrack(const EditorState& s, int t, int tempo) {
    const TrackScore& track = s.score[t];
    const TrackInterpretation music = interpretTrack(track, staffRowsOf(s), tempo);
    return {writeTrackChunk(music, trackChannel(t), track.trackProgram), writeMml(music)};
}

void storeTrackBuffer(EditorState& s, int t, const std::vector<std::uint8_t>& chunk) {
    s.trackBuffer[t].assign(chunk.data(), chunk.size());
    s.trackChunkSize[t] = static_cast<std::int32_t>(chunk.size());
}

}  // namespace tsuzuri
