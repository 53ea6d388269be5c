#include "state/tables.h"

#include <algorithm>
#include <array>

namespace tsuzuri {

namespace {

constexpr std::array<std::string_view, kNoteLengths> kLengthTexts = {
    "64", "64.", "32", "32.", "16", "16.", "8", "8.", "4", "4.", "2", "2.", "1", "1."};
constexpr std::array<std::uint8_t, 14> kLengthTicks = {2,  3,  4,  6,  8,  12,  16,
                                                       24, 32, 48, 64, 96, 128, 192};
constexpr std::array<const char*, 12> kSemitoneNames = {"C",  "C#", "D",  "D#", "E",  "F",
                                                        "F#", "G",  "G#", "A",  "A#", "B"};

}  // namespace

std::string_view noteLengthText(int index) {
    if (index < 0 || index >= kNoteLengths)
        indexFault(index, kNoteLengths);
    return kLengthTexts[static_cast<std::size_t>(index)];
}

int noteLengthTicks(int index) {
    if (index < 0 || index >= kNoteLengths)
        indexFault(index, kNoteLengths);
    return kLengthTicks[static_cast<std::size_t>(index)];
}

void init(EditorState& s) {
    for (TrackScore& track : s.piece.score) {
        track.measures.fill(Measure{});
        track.lastMeasure = 0;
    }
}

void setEveryLastMeasure(EditorState& s, int lastMeasure) {
    for (TrackScore& track : s.piece.score)
        track.lastMeasure = static_cast<std::int16_t>(lastMeasure);
}

void setEveryProgram(EditorState& s, std::uint8_t program) {
    for (TrackScore& track : s.piece.score)
        track.trackProgram = program;
}

int rowOctave(int row, int octave) {
    return std::clamp(octave + row / 7 - 2, 1, 8);
}

void nt_init(EditorState& s, int octave) {
    nt_init(s.tables, octave);
}

void nt_init(NoteTables& tables, int octave) {
    for (int i = 0; i < kNamedRows; ++i) {
        const int n = (i + 2) % 7;  // 0 = A, 1 = B, 2 = C ... 6 = G
        const int o = rowOctave(i, octave);
        int offset = 2 * n - 4;
        if (n > 4)
            offset -= 1;
        if (n < 2)
            offset += 13;
        tables.rowMidi[i] = static_cast<std::uint8_t>(12 * o + offset);
        tables.rowNames[i] = "O" + std::to_string(o - 1) + static_cast<char>('A' + n);
    }
    for (int l = 0; l < kNoteLengths; ++l) {
        tables.lengthNames[l] = noteLengthText(l);
        tables.lengthTicks[l] = kLengthTicks[static_cast<std::size_t>(l)];
        tables.lengthNames[l + kNoteLengths] = "r" + std::string(noteLengthText(l));
        tables.lengthTicks[l + kNoteLengths] = kLengthTicks[static_cast<std::size_t>(l)];
    }
}

void buildNoteNames(EditorState& s) {
    for (int o = 0; o <= 9; ++o) {
        for (int k = 0; k < 12; ++k) {
            s.tables.noteNames[12 * o + k] =
                "O" + std::to_string(o) + kSemitoneNames[static_cast<std::size_t>(k)];
        }
    }
}

void startUp(EditorState& s, int octave) {
    init(s);
    s.piece.octave = static_cast<std::int16_t>(octave);
    nt_init(s, octave);
    s.view.paletteIndex = 8;
    s.pointer.stemDir = 1;
    setEveryLastMeasure(s, kStartLastMeasure);
    s.piece.trackCount = kStartTrackCount;
    s.piece.meter = kCommonTime;
    for (int t = 0; t < kStartTrackCount; ++t)
        s.piece.ticked[t] = true;
    setEveryProgram(s, kStartProgram);
    buildNoteNames(s);
    s.view.curLength = 8;
}

}  // namespace tsuzuri
