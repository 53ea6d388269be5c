// Form1's key-signature buttons: each press adds one flat or sharp, the eighth
// press (or a press of the other button) clears the key signature.
#include <QPushButton>

#include "keysig/key_signature.h"
#include "state/tables.h"
#include "ui/form1.h"
#include "ui/updown.h"
#include "view/score_canvas.h"

namespace tsuzuri {

namespace {

constexpr int kHiddenAccidentalTop = -100;

}  // namespace

void Form1::Command5_Click() {
    Piece& piece = state().piece;
    const int before = piece.keySignature;
    piece.keySignature = static_cast<std::int16_t>(afterFlatPress(piece.keySignature));
    setflat(piece.keySignature);
    settingChanged(Setting::KeySignature, before, piece.keySignature);
}

void Form1::Command6_Click() {
    Piece& piece = state().piece;
    const int before = piece.keySignature;
    piece.keySignature = static_cast<std::int16_t>(afterSharpPress(piece.keySignature));
    setsharp(piece.keySignature);
    settingChanged(Setting::KeySignature, before, piece.keySignature);
}

void Form1::Command5_MouseDown(int, int, double, double) {
    Command5_Click();
}
void Form1::Command6_MouseDown(int, int, double, double) {
    Command6_Click();
}
void Form1::Command5_GotFocus() {
    Picture2->setFocus();
}
void Form1::Command6_GotFocus() {
    Picture2->setFocus();
}

void Form1::setflat(int n) {
    if (n == 0) {
        for (int i = 0; i < 14; ++i)
            Image3(i).top = kHiddenAccidentalTop;
        nt_init(state(), state().piece.octave);
        Picture2->update();
        return;
    }
    if (n < -7 || n > -1)
        return;
    const Accidental& a = flatOrder()[static_cast<std::size_t>(-n - 1)];
    addAccidental(a, -n, kFlatPicture, -1);
}

void Form1::setsharp(int n) {
    if (n == 0) {
        setflat(0);
        return;
    }
    if (n < 1 || n > 7)
        return;
    const Accidental& a = sharpOrder()[static_cast<std::size_t>(n - 1)];
    addAccidental(a, n, kSharpPicture, 1);
}

void Form1::addAccidental(const Accidental& a, int k, int picture, int delta) {
    setn(a.trebleLeft, a.trebleTop, 2 * k - 2, picture);
    setn(a.bassLeft, a.bassTop, 2 * k - 1, picture);
    reptable(a.degree, a.name, delta);
}

void Form1::setn(int x, int y, int element, int picture) {
    GlyphItem& glyph = Image3(element);
    glyph.left = x;
    glyph.top = y;
    glyph.picture = palettePicture(picture);
    Picture2->update();
}

void Form1::reptable(int degree, const std::string& name, int delta) {
    tsuzuri::reptable(state(), degree, name, delta, state().piece.octave);
}

}  // namespace tsuzuri
