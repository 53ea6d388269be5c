// Form1's MML text tools: the optimizer button and the on-screen piano.
#include <QCheckBox>
#include <QLabel>
#include <QPlainTextEdit>
#include <QSignalBlocker>
#include <QTextCursor>

#include "mml/key_entry.h"
#include "mml/optimizer.h"
#include "mml/piano.h"
#include "ui/form1.h"
#include "ui/updown.h"
#include "view/keyboard_panel.h"
#include "view/score_canvas.h"

namespace tsuzuri {

void Form1::Command15_Click() {
    const OptimizedMml result =
        optimizeMml(Text1->toPlainText().toStdString(), Check2->isChecked());
    Text2->setPlainText(QString::fromStdString(result.text));
    Label13->setText(QString::fromStdString(lengthCaption(result.characters)));
    Picture2->setFocus();
}

void Form1::Image1_MouseDown(int index, int, int, double x, double y) {
    Image1(index).framed = true;
    Picture1->update();
    const KeyPress press = pressKey(index, x, y);
    noteon(static_cast<std::uint8_t>(press.pitch));
    Label6->setText(QString::fromStdString(press.readout));
    appendToText1(press.noteText + " ");
    // With keyboard entry the note is a step of the history; without it
    // only the MML text grew, a change the history does not keep.
    const bool recorded = state().view.keyEntryMode != 0 &&
                          editScore(QStringLiteral("鍵盤入力"), [&] { ennote(press.noteText); });
    if (!recorded)
        changedOutsideHistory();
}

void Form1::Image1_MouseUp(int index, int, int, double, double) {
    Image1(index).framed = false;
    Picture1->update();
}

void Form1::ennote(const std::string& note) {
    const EntryResult result = enterNote(state(), note, state().piece.octave, UpDown4->value());
    if (result.outcome != EntryOutcome::Stored) {
        const std::string_view notice = entryNotice(result.outcome);
        if (!notice.empty())
            showNotice(QString::fromUtf8(notice.data(), static_cast<qsizetype>(notice.size())));
        return;
    }
    dispn(state().view.firstMeasure);
    if (result.lastMeasureRaised)
        showTrackLength();
}

// Appends to the MML text without replacing the whole text, so a long text
// keeps its scroll position. The text that goes with an edit belongs to that
// edit's step: it is not a change of its own.
void Form1::appendToText1(const std::string& text) {
    const QSignalBlocker quiet(Text1);
    QTextCursor cursor(Text1->document());
    cursor.movePosition(QTextCursor::End);
    cursor.insertText(QString::fromStdString(text));
    if (!text1Typed_)
        text1Written_ += QString::fromStdString(text);
}

void Form1::writeText1(const QString& text) {
    const QSignalBlocker quiet(Text1);
    Text1->setPlainText(text);
    text1Written_ = text;
    text1Typed_ = false;
}

void Form1::replaceText1(const QString& text) {
    QString typed = text1Typed_ ? Text1->toPlainText() : QString();
    const bool keep = text1Typed_ && typed != text1Written_ && typed != text;
    writeText1(text);
    if (keep)
        recordText1Replaced(std::move(typed));
}

void Form1::swapText1(QString& other) {
    const QSignalBlocker quiet(Text1);
    QString shown = Text1->toPlainText();
    Text1->setPlainText(other);
    other = std::move(shown);
    text1Typed_ = Text1->toPlainText() != text1Written_;
}

}  // namespace tsuzuri
