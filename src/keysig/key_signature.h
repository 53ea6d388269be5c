#pragma once

#include <array>
#include <string>

#include "state/editor_state.h"

namespace tsuzuri {

// One accidental of a key signature: its MML name, the degree it alters
// (C = 0 ... B = 6) and where its glyphs stand on the treble and bass staves.
struct Accidental {
    const char* name;
    int degree;
    int trebleLeft, trebleTop;
    int bassLeft, bassTop;
};

// The seven flats and the seven sharps, in the order they are added.
const std::array<Accidental, 7>& flatOrder();
const std::array<Accidental, 7>& sharpOrder();

// The key-signature state after a press of the flat button: from a sharp key
// back to none, otherwise one flat more, and from seven flats back to none.
int afterFlatPress(int keySignature);
// The same for the sharp button.
int afterSharpPress(int keySignature);

// Renames and retunes every row of `degree` in row-octaves 0..7: the row takes
// the octave digit nt_init gives it for octave setting `octave` followed by
// `name`, and its MIDI note moves by `delta`.
void reptable(EditorState& s, int degree, const std::string& name, int delta, int octave);
void reptable(NoteTables& tables, int degree, const std::string& name, int delta, int octave);

// Applies the accidentals of `keySignature` to the natural row tables (as
// left by nt_init) without touching any glyph.
void applyKeySignatureRows(EditorState& s, int keySignature, int octave);
void applyKeySignatureRows(NoteTables& tables, int keySignature, int octave);

}  // namespace tsuzuri
