// Form1's view navigation, note palette, keyboard-entry toggle and the key
// indicator.
#include <QPushButton>

#include "mml/key_entry.h"
#include "score/canvas_geometry.h"
#include "score/selection.h"
#include "ui/form1.h"
#include "view/controls.h"
#include "view/score_canvas.h"

namespace tsuzuri {

void Form1::Command12_Click() {
    state().view.firstMeasure = static_cast<std::int16_t>(scrolledBack(state().view.firstMeasure));
    dispn(state().view.firstMeasure);
}

void Form1::Command13_Click() {
    state().view.firstMeasure = static_cast<std::int16_t>(scrolledOn(state().view.firstMeasure));
    dispn(state().view.firstMeasure);
}

void Form1::Command12_MouseDown(int, int, double, double) {
    Command12_Click();
}
void Form1::Command13_MouseDown(int, int, double, double) {
    Command13_Click();
}
void Form1::Command12_GotFocus() {
    Picture2->setFocus();
}
void Form1::Command13_GotFocus() {
    Picture2->setFocus();
}

void Form1::Command12_MouseMove(int, int, double, double) {
    hideCursorGlyph();
}
void Form1::Command13_MouseMove(int, int, double, double) {
    hideCursorGlyph();
}

void Form1::Command2_Click(int index) {
    EditorState& s = state();
    s.view.curLength = static_cast<std::int16_t>(index);
    setBackColor(Command2[static_cast<std::size_t>(s.view.paletteIndex)], kButtonFace);
    setBackColor(Command2[static_cast<std::size_t>(index)], kWhite);
    s.view.paletteIndex = static_cast<std::int16_t>(index);
    Picture2->setFocus();
    Image4(0).picture = palettePicture(index);
    Picture2->showArrowPointer(index == kSelectionToolIndex);
    Picture2->update();
    editScore(QStringLiteral("音長の変更"), [&] {
        if (changeSelectedLength(s, index))
            dispn(s.view.firstMeasure);
    });
}

// Keys pressed while a palette button has the focus start nothing.
void Form1::Command2_KeyDown(int, int, int) {}

// Switching keyboard entry on adds a measure to the track: that is a step.
void Form1::Command16_Click() {
    bool on = false;
    editScore(QStringLiteral("小節の追加"), [&] { on = switchKeyEntry(state()); });
    if (!on) {
        setBackColor(Command16, kButtonFace);
        return;
    }
    setBackColor(Command16, kRed);
    dispn(state().view.firstMeasure);
    showTrackLength();
}

void Form1::Command8_KeyDown(int, int) {
    setBackColor(Command9, kRed);
}
void Form1::Command8_KeyUp(int, int) {
    setBackColor(Command9, kWhite);
}

void Form1::Image2_MouseDown(int index) {
    Image2(index).framed = true;
    update();
}

void Form1::Image2_MouseUp(int index) {
    Image2(index).framed = false;
    update();
}

}  // namespace tsuzuri
