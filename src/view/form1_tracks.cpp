// Form1's track, instrument and setting controls.
#include <QCheckBox>
#include <QComboBox>
#include <QLineEdit>
#include <QPushButton>
#include <cmath>

#include "keysig/key_signature.h"
#include "score/canvas_geometry.h"
#include "state/tables.h"
#include "ui/form1.h"
#include "ui/updown.h"
#include "view/controls.h"
#include "view/keyboard_panel.h"
#include "view/score_canvas.h"

namespace tsuzuri {

void Form1::Command3_Click() {
    state().curTrack =
        static_cast<std::int16_t>(previousTrack(state().curTrack, state().trackCount));
    Text5->setText(QString::number(state().curTrack + 1));
    UpDown2->setValue(state().curTrack + 1);
    Picture2->setFocus();
    dispn(state().firstMeasure);
    progd(state().score[state().curTrack].trackProgram);
}

void Form1::Command4_Click() {
    state().curTrack = static_cast<std::int16_t>(nextTrack(state().curTrack, state().trackCount));
    Text5->setText(QString::number(state().curTrack + 1));
    UpDown2->setValue(state().curTrack + 1);
    dispn(state().firstMeasure);
    progd(state().score[state().curTrack].trackProgram);
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
        state().score[state().curTrack].trackProgram =
            kInstrumentPrograms[static_cast<std::size_t>(entry)];
    });
}

void Form1::Combo1_Click() {
    Combo1_Change();
}

// A new octave setting rebuilds the row tables; the key signature shown on the
// staff is applied again so that the rows keep sounding as the staff says.
void Form1::UpDown1_Change() {
    Text3->setText(QString::number(UpDown1->value()));
    nt_init(state(), UpDown1->value());
    applyKeySignatureRows(state(), state().keySignature, UpDown1->value());
    settingChanged(Setting::Octave, octaveShown_, UpDown1->value());
    octaveShown_ = UpDown1->value();
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
    const int before = state().trackCount;
    state().trackCount = static_cast<std::int16_t>(UpDown3->value());
    settingChanged(Setting::TrackCount, before, state().trackCount);
}

void Form1::UpDown4_Change() {
    Text7->setText(QString::number(UpDown4->value()));
}

void Form1::Check1_Click() {
    const bool shown = Check1->isChecked();
    for (int i = 0; i < 6; ++i)
        Picture1->lines[i].visible = shown;
    Picture1->update();
}

}  // namespace tsuzuri
