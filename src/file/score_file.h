#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "state/tables.h"

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

// Everything a user gets back from a score file: the piece (its tracks 0..19,
// the ones the window offers), where the window stood in it and the text of
// the MML box. A new one holds an empty piece with the settings the window
// starts with.
struct SavedPiece {
    SavedPiece() {
        piece.octave = 4;
        piece.trackCount = kStartTrackCount;
    }

    Piece piece;
    int curTrack = 0;      // 0..19
    int firstMeasure = 0;  // 0..197
    std::string mml;       // the text of the MML box
    // The piece's own file, written into recovery copies only: a copy older
    // than its file's last save holds nothing the file lacks.
    std::string documentPath;

    bool operator==(const SavedPiece&) const = default;
};

// The longest file name a recovery copy records.
inline constexpr std::size_t kMaxDocumentPathBytes = 4096;

// The saved piece as score file text.
std::string writeScoreText(const SavedPiece& saved);

// A score file read back: the whole, validated piece, or why there is none.
struct ScoreRead {
    std::unique_ptr<SavedPiece> saved;
    std::string error;  // Japanese, says what is wrong; empty with a piece
    // Members the reader does not know (a later program's), named once each
    // in the order met, at most a few: they are not kept on saving.
    std::vector<std::string> unknownMembers;
};

// Reads score file text. Every value is checked against the bounds of the
// editor's data before the piece is handed out; anything out of bounds,
// missing or of the wrong kind refuses the whole file. Slots beyond a
// measure's note count come back zero. Tracks the file leaves out start as at
// start-up; track 20, which no file holds, stays as a new SavedPiece has it.
ScoreRead readScoreText(std::string_view text);

// Zeroes the slots of every measure beyond its note count, which carry no
// meaning, so that two scores with the same notes compare equal.
void clearUnusedSlots(TrackScore& track);

}  // namespace tsuzuri
