// Form1's track, instrument and setting controls.
#include <QCheckBox>
#include <QComboBox>
#include <QLineEdit>
#include <QPushButton>
#include <QSlider>
#include <cmath>

#include "keysig/key_signature.h"
#include "midi/track_compiler.h"
#include "score/canvas_geometry.h"
#include "state/tables.h"
#include "ui/form1.h"
#include "ui/updown.h"
#include "view/controls.h"
#include "view/keyboard_panel.h"
#include "view/score_canvas.h"

namespace tsuzuri {

void Form1::showTrack(int track) {
    EditorState& s = state();
    s.view.curTrack = static_cast<std::int16_t>(track);
    Text5->setText(QString::number(track + 1));
    UpDown2->setValue(track + 1);
    dispn(s.view.firstMeasure);
    progd(s.piece.score[track].trackProgram);
    showTrackLength();
}

void Form1::showTrackLength() {
    Slider1->setMaximum(state().piece.score[state().view.curTrack].lastMeasure + 1);
}

void Form1::Command3_Click() {
    showTrack(previousTrack(state().view.curTrack, state().piece.trackCount));
    Picture2->setFocus();
}

void Form1::Command4_Click() {
    showTrack(nextTrack(state().view.curTrack, state().piece.trackCount));
    Picture2->setFocus();
}

void Form1::Command3_MouseMove(int, int, double, double) {
    hideCursorGlyph();
}
void Form1::Command4_MouseMove(int, int, double, double) {
    hideCursorGlyph();
}
void Form1::Slider1_MouseMove(int, int, double, double) {
    hideCursorGlyph();
}
void Form1::Slider1_GotFocus() {
    Picture2->setFocus();
}

void Form1::progd(std::uint8_t program) {
    if (const auto entry = instrumentEntry(program))
        Combo1->setCurrentIndex(*entry);
}

void Form1::Combo1_Change() {
    const int entry = Combo1->currentIndex();
    if (entry < 0 || entry >= static_cast<int>(kInstrumentPrograms.size()))
        return;
    editScore(QStringLiteral("楽器の変更"), [&] {
        state().piece.score[state().view.curTrack].trackProgram =
            kInstrumentPrograms[static_cast<std::size_t>(entry)];
    });
}

void Form1::Combo1_Click() {
    Combo1_Change();
}

// A new meter changes how every track plays: the compiled tracks are compiled
// again, so that all♪ keeps them in time with each other, and the measure
// numbers show which measures now fall short or run long.
void Form1::Combo2_Click() {
    const int entry = Combo2->currentIndex();
    if (entry < 0 || entry >= kMeterCount)
        return;
    Piece& piece = state().piece;
    const int before = meterEntry(piece.meter).value_or(entry);
    piece.meter = meterAt(entry);
    recompileTrackBuffers(state());
    dispn(state().view.firstMeasure);
    settingChanged(Setting::Meter, before, entry);
}

// A new octave setting rebuilds the row tables; the key signature shown on the
// staff is applied again so that the rows keep sounding as the staff says.
void Form1::UpDown1_Change() {
    Piece& piece = state().piece;
    const int before = piece.octave;
    piece.octave = static_cast<std::int16_t>(UpDown1->value());
    Text3->setText(QString::number(piece.octave));
    nt_init(state(), piece.octave);
    applyKeySignatureRows(state(), piece.keySignature, piece.octave);
    settingChanged(Setting::Octave, before, piece.octave);
}

void Form1::Text3_Change() {
    const std::string text = Text3->text().toStdString();
    const int setting = octaveSettingFromText(text);
    UpDown1->setValue(setting);
    if (std::nearbyint(leadingNumber(text)) != setting) {
        Text3->setText(QString::number(setting));  // a number outside 0..8 was clamped
    }
}

void Form1::UpDown3_Change() {
    Text6->setText(QString::number(UpDown3->value()));
    const int before = state().piece.trackCount;
    state().piece.trackCount = static_cast<std::int16_t>(UpDown3->value());
    settingChanged(Setting::TrackCount, before, state().piece.trackCount);
}

void Form1::UpDown4_Change() {
    Text7->setText(QString::number(UpDown4->value()));
}

// The ticks choose the tracks all♪ plays, a setting of the piece that the
// history does not keep.
void Form1::Check3_Click(int index) {
    state().piece.ticked[index] =
        Check3[static_cast<std::size_t>(index)]->checkState() == Qt::Checked;
    changedOutsideHistory();
}

void Form1::Check1_Click() {
    const bool shown = Check1->isChecked();
    for (int i = 0; i < 6; ++i)
        Picture1->lines[i].visible = shown;
    Picture1->update();
}

}  // namespace tsuzuri
