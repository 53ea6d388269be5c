#pragma once

#include <string_view>

#include "state/editor_state.h"

namespace tsuzuri {

// Zeroes the score of every track: attributes, rows, counts and lastMeasure.
void init(EditorState& s);

// The last measure and the program every track starts with, and how many
// tracks are in use (and ticked for all♪) at start.
inline constexpr int kStartLastMeasure = 3;
inline constexpr std::uint8_t kStartProgram = 105;
inline constexpr int kStartTrackCount = 3;

// Gives every track the same last measure, or the same program.
void setEveryLastMeasure(EditorState& s, int lastMeasure);
void setEveryProgram(EditorState& s, std::uint8_t program);

// Rebuilds the natural staff-row tables (rowNames, rowMidi 0..95) for the
// octave setting `octave` and the length tables (lengthNames, lengthTicks 0..27).
void nt_init(EditorState& s, int octave);
void nt_init(NoteTables& tables, int octave);

// The octave number o that nt_init gives staff row `row` (MIDI note 12*o + offset);
// the row's name carries o - 1.
int rowOctave(int row, int octave);

// Fills the NoteNameTable: "O" + octave + letter for MIDI notes 0..119.
void buildNoteNames(EditorState& s);

// The state half of start-up: init, nt_init for octave setting `octave`, and
// every default of the record.
void startUp(EditorState& s, int octave);

// The fourteen MML note lengths "64", "64.", "32" ... "1." in length-index
// order: entry 2i is a plain length, 2i + 1 the same length dotted.
std::string_view noteLengthText(int index);
// The ticks of note length `index` (0..13), 32 to the quarter note.
int noteLengthTicks(int index);

}  // namespace tsuzuri
