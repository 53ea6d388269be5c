#pragma once

#include <array>
#include <cstdint>
#include <memory>
#include <string>
#include <string_view>

#include "state/editor_state.h"

namespace tsuzuri {

// The score file (.tsz): a piece as JSON text. It names its format and
// version first, so that a later program reads older files and this one
// refuses newer ones.
inline constexpr const char* kScoreFormatName = "tsuzuri-score";
inline constexpr int kScoreFormatVersion = 1;
inline constexpr const char* kScoreFileExtension = ".tsz";

// Score files far larger than a full piece (about 2 MB of notes and the MML
// text) are refused unread.
inline constexpr std::size_t kMaxScoreFileBytes = 16u << 20;
// The longest MML text a score file carries: twice what a paste may leave in
// the MML box, so that a text grown by typing after a long paste still fits.
// A longer text is cut on writing.
inline constexpr std::size_t kMaxScoreTextBytes = 2 * kMaxMmlTextBytes;

// Everything a user gets back from a score file: the score of every track the
// window offers and the settings that belong to the piece.
struct Piece {
    Table<TrackScore, kWindowTracks> tracks;
    int keySignature = 0;                      // -7..7: flats below 0, sharps above
    int octave = 4;                            // the octave setting, 0..8
    int trackCount = 3;                        // tracks in use, 0..20
    std::array<bool, kWindowTracks> ticked{};  // ticked for all-tracks playback
    int curTrack = 0;                          // 0..19
    int firstMeasure = 0;                      // 0..197
    std::string mml;                           // the text of the MML box

    bool operator==(const Piece&) const = default;
};

// The piece as score file text.
std::string writeScoreText(const Piece& piece);

// A score file read back: the whole, validated piece, or why there is none.
struct ScoreRead {
    std::unique_ptr<Piece> piece;
    std::string error;  // Japanese, says what is wrong; empty with a piece
};

// Reads score file text. Every value is checked against the bounds of the
// editor's data before the piece is handed out; anything out of bounds,
// missing or of the wrong kind refuses the whole file. Slots beyond a
// measure's note count come back zero.
ScoreRead readScoreText(std::string_view text);

// Zeroes the slots of every measure beyond its note count, which carry no
// meaning, so that two scores with the same notes compare equal.
void clearUnusedSlots(TrackScore& track);

}  // namespace tsuzuri
