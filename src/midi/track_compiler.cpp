#include "midi/track_compiler.h"

#include <algorithm>
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

// Writes n as a variable-length quantity at p; returns the end.
std::uint8_t* putQuantity(std::uint8_t* p, std::uint32_t n) {
    if (n < 0x80) {
        *p++ = static_cast<std::uint8_t>(n);
        return p;
    }
    std::uint8_t bytes[5];
    int count = 0;
    bytes[count++] = static_cast<std::uint8_t>(n & 0x7F);
    while ((n >>= 7) != 0)
        bytes[count++] = static_cast<std::uint8_t>(0x80 | (n & 0x7F));
    while (count > 0)
        *p++ = bytes[--count];
    return p;
}

// The most bytes one note takes: two deltas of up to five bytes and two events.
constexpr std::size_t kMaxNoteBytes = 16;
constexpr std::size_t kHeaderBytes = 11;  // "MTrk", the length, the program change
constexpr std::size_t kMaxEndBytes = 8;   // the last delta and the end of the track

// Writes the chunk into room reserved for its longest form, then trims it.
class ChunkWriter {
public:
    ChunkWriter(int channel, std::uint8_t program, std::size_t notes)
        : channel_(static_cast<std::uint8_t>(channel)),
          out_(kHeaderBytes + kMaxNoteBytes * notes + kMaxEndBytes) {
        const std::uint8_t header[kHeaderBytes] = {
            'M',    'T', 'r', 'k', 0, 0, 0, 0, 0x00, static_cast<std::uint8_t>(0xC0 | channel_),
            program};
        p_ = std::copy(header, header + kHeaderBytes, out_.data());
    }

    void write(const TrackInterpretation& music) {
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
        p_ = putQuantity(p_,
                         static_cast<std::uint32_t>(nearestTick(music.end) - cursor_) + kTailTicks);
        *p_++ = 0xFF;
        *p_++ = 0x2F;
        *p_++ = 0x00;
        out_.resize(static_cast<std::size_t>(p_ - out_.data()));
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
        p_ = putQuantity(p_, static_cast<std::uint32_t>(n.on - cursor_));
        putEvent(0x90, n.key, n.velocity);
        p_ = putQuantity(p_, static_cast<std::uint32_t>(n.off - n.on));
        putEvent(0x80, n.key, kNoteOffVelocity);
        cursor_ = n.off;
        open_.reset();
    }

    void putEvent(std::uint8_t status, std::uint8_t key, std::uint8_t velocity) {
        *p_++ = static_cast<std::uint8_t>(status | channel_);
        *p_++ = key;
        *p_++ = velocity;
    }

    std::uint8_t channel_;
    std::vector<std::uint8_t> out_;
    std::uint8_t* p_ = nullptr;  // where the next byte goes
    std::optional<SoundingNote> open_;
    std::int64_t cursor_ = 0;  // the tick of the last event written
};

}  // namespace

void appendVariableLength(std::vector<std::uint8_t>& out, std::uint32_t n) {
    std::uint8_t bytes[5];
    out.insert(out.end(), bytes, putQuantity(bytes, n));
}

void putBigEndian32(std::vector<std::uint8_t>& out, std::size_t at, std::uint32_t n) {
    for (int i = 0; i < 4; ++i)
        out[at + static_cast<std::size_t>(i)] = static_cast<std::uint8_t>(n >> (24 - 8 * i));
}

std::vector<std::uint8_t> writeTrackChunk(const TrackInterpretation& music, int channel,
                                          std::uint8_t program) {
    const auto notes = static_cast<std::size_t>(
        std::count_if(music.events.begin(), music.events.end(),
                      [](const MusicEvent& e) { return e.kind == EventKind::Note; }));
    ChunkWriter writer(channel, program, notes);
    writer.write(music);
    return writer.take();
}

CompiledTrack compileTrack(const Piece& piece, const NoteTables& tables, int t) {
    const TrackScore& track = piece.score[t];
    const TrackInterpretation music = interpretTrack(track, staffRowsOf(tables), piece.tempo, piece.meter);
    return {writeTrackChunk(music, trackChannel(t), track.trackProgram), writeMml(music)};
}

void storeTrackBuffer(EditorState& s, int t, const std::vector<std::uint8_t>& chunk) {
    s.trackBuffer[t].assign(chunk.data(), chunk.size());
    s.trackChunkSize[t] = static_cast<std::int32_t>(chunk.size());
}

void recompileTrackBuffers(EditorState& s) {
    for (int t = 0; t < kStoredTracks; ++t) {
        if (s.trackBuffer[t][0] == 'M')
            storeTrackBuffer(s, t, compileTrack(s.piece, s.tables, t).chunk);
    }
}

}  // namespace tsuzuri
