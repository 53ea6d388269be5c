#include "mml/key_entry.h"

#include <algorithm>

#include "mml/entry_note.h"
#include "music/marks.h"
#include "music/staff_rows.h"
#include "score/canvas_geometry.h"
#include "score/score_ops.h"

namespace tsuzuri {

namespace {

constexpr int kLastMeasure = kMeasureCount - 1;
constexpr int kStepsPerOctave = 7;
constexpr int kBaseOctaveSetting = 3;  // the setting at which a staff step is its row
// An accidental mark stands this far left of its note, clear of the notehead.
constexpr int kMarkLead = 12;

// The letter (0 = C ... 6 = B) of each semitone, the black keys under the
// letter below them, and which semitones are black keys.
constexpr int kLetterBelow[12] = {0, 0, 1, 1, 2, 3, 3, 4, 4, 5, 5, 6};
constexpr bool kBlack[12] = {false, true,  false, true,  false, false,
                             true,  false, true,  false, true,  false};

void insertEntered(Measure& measure, int slot, int x, int row, int index) {
    const EntryGlyph glyph = entryGlyph(row, index);
    insertSlot(
        measure, slot,
        {static_cast<std::int16_t>(x), glyph.top, glyph.code, static_cast<std::int16_t>(row)});
}

}  // namespace

EntrySpelling spellKey(int pitch, bool flats) {
    const int octave = pitch / 12 - 1;
    const int semitone = pitch % 12;
    const int step = 7 * octave + kLetterBelow[semitone];
    if (!kBlack[semitone])
        return {step, 0};
    return flats ? EntrySpelling{step + 1, -1} : EntrySpelling{step, 1};
}

bool switchKeyEntry(EditorState& s) {
    s.view.keyEntryMode = s.view.keyEntryMode ? 0 : 1;
    if (!s.view.keyEntryMode)
        return false;
    const int t = s.view.curTrack;
    const int m = s.piece.score[t].lastMeasure;
    s.view.firstMeasure = static_cast<std::int16_t>(std::clamp(m - 2, 0, kLastFirstMeasure));
    s.piece.score[t].lastMeasure = static_cast<std::int16_t>(std::min(m + 1, kLastMeasure));
    s.view.entrySlot = 0;
    s.view.entryMeasure = static_cast<std::int16_t>(m);
    return true;
}

int entryRow(int step, int octaveSetting) {
    return step - kStepsPerOctave * (octaveSetting - kBaseOctaveSetting);
}

int entryOffset(int k, int notesPerMeasure) {
    return k * (kColumnWidth / (std::max(notesPerMeasure, 1) + 1));
}

EntryGlyph entryGlyph(int row, int length) {
    // Rows above the canvas have a negative y, which the pointer never
    // reaches; their glyphs still follow the row's own y.
    const PlacedGlyph glyph = placedGlyph(length, row);
    return {static_cast<std::int16_t>(glyph.top), static_cast<std::int16_t>(glyph.code)};
}

EntryResult enterNote(EditorState& s, std::string_view noteText, int octaveSetting,
                      int notesPerMeasure) {
    EntryResult result;
    const std::optional<EntryNote> note = parseEntryNote(noteText);
    if (!note || note->lengthIndex < 0)
        return result;

    const EntrySpelling spelling = spellKey(entryPitch(*note), s.piece.keySignature < 0);
    result.row = entryRow(spelling.step, octaveSetting);
    if (!rowHasPitch(result.row)) {
        result.outcome = EntryOutcome::RowOutOfRange;
        return result;
    }
    int m = s.view.entryMeasure;
    int entered = s.view.entrySlot;
    if (entered >= notesPerMeasure) {
        ++m;
        entered = 0;
    }
    result.measure = m;
    if (!measureInScore(m)) {
        result.outcome = EntryOutcome::MeasureOutOfRange;
        return result;
    }
    const int t = s.view.curTrack;
    Measure& measure = s.piece.score[t].measures[m];
    const int x = entryOffset(entered + 1, notesPerMeasure);
    // Placement compares the pointer offset, right of the glyph's left edge.
    int slot = insertionSlot(measure, x + kGlyphHotSpotX);
    result.marked =
        signInForce(measure, slot, result.row, staffRowsOf(s.tables)) != spelling.sign;
    if (measure.noteCount + (result.marked ? 2 : 1) > kMaxNotesPerMeasure) {
        result.outcome = EntryOutcome::MeasureFull;
        return result;
    }
    if (result.marked)
        insertEntered(measure, slot++, x - kMarkLead, result.row, accidentalMarkFor(spelling.sign));
    insertEntered(measure, slot, x, result.row, note->lengthIndex);
    result.slot = slot;
    s.view.entryMeasure = static_cast<std::int16_t>(m);
    s.view.entrySlot = static_cast<std::int16_t>(entered + 1);
    result.lastMeasureRaised = raiseLastMeasure(s.piece.score[t], m);
    result.outcome = EntryOutcome::Stored;
    return result;
}

std::string_view entryNotice(EntryOutcome outcome) {
    switch (outcome) {
        case EntryOutcome::RowOutOfRange:
            return "この高さの音は譜面に書けません";
        case EntryOutcome::MeasureOutOfRange:
            return kOutsideMeasuresNotice;
        case EntryOutcome::MeasureFull:
            return kMeasureFullNotice;
        case EntryOutcome::Stored:
        case EntryOutcome::Ignored:
            break;
    }
    return {};
}

}  // namespace tsuzuri
