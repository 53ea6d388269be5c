#pragma once

#include <memory>
#include <string>
#include <string_view>

#include "file/score_file.h"

namespace tsuzuri {

// MML files (.mml, .txt) are refused unread beyond what the MML box takes.
inline constexpr std::size_t kMaxMmlFileBytes = kMaxMmlTextBytes;

// An MML file read as a new piece, or why it cannot be.
struct MmlFileRead {
    std::unique_ptr<SavedPiece> saved;
    std::string error;  // what and where, in Japanese: "3行12列：長さ「7」は使えません"
};

// Reads the text of an MML file as a new piece under octave setting `octave`:
// each non-empty line is one track, into tracks 1, 2 ... in order, laid into
// 4/4 bars; the piece has as many tracks as lines, all ticked, every
// instrument the first entry, the tempo of the first line with a T (else
// 120), and the key signature under which its staff needs the fewest
// accidental marks; the MML box shows the first line. More lines than the
// window has tracks, a line that cannot be read (under any key signature), or
// no line at all refuse the file.
MmlFileRead readMmlFileText(std::string_view text, int octave);

}  // namespace tsuzuri
