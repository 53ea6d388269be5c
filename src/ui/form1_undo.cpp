// Form1's history: every edit of the piece is one step of the window's undo
// stack, which keeps only what the step changed. Ctrl+Z takes a step back,
// Ctrl+Y and Ctrl+Shift+Z take it again; the text boxes keep their own undo.
#include <QAbstractSpinBox>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QShortcut>
#include <QUndoStack>

#include "keysig/key_signature.h"
#include "score/canvas_geometry.h"
#include "score/score_change.h"
#include "score/selection.h"
#include "ui/form1.h"
#include "ui/updown.h"
#include "view/render.h"
#include "view/score_canvas.h"

namespace tsuzuri {

namespace {

// The most steps the history keeps; the oldest go beyond it.
constexpr int kHistorySteps = 10000;
// What Qt keeps for any command besides the step's own fields.
constexpr std::size_t kCommandOverhead = 128;

// A step of the window's history and the memory it holds.
class Step : public QUndoCommand {
public:
    Step(Form1& form, const QString& text) : QUndoCommand(text), form_(form) {}
    virtual std::size_t bytes() const = 0;

    // A step is pushed once its edit is done: its first redo does nothing.
    void redo() final {
        if (done_)
            form_.applyUnrecorded([this] { apply(); });
        done_ = true;
    }
    void undo() final {
        form_.applyUnrecorded([this] { revert(); });
    }

protected:
    virtual void apply() = 0;
    virtual void revert() = 0;
    Form1& form_;

private:
    bool done_ = false;
};

// An edit of one track's score: the measures it touched, before and after.
class ScoreStep final : public Step {
public:
    ScoreStep(Form1& form, const QString& text, ScoreChange change)
        : Step(form, text), change_(std::move(change)) {}
    std::size_t bytes() const override {
        return kCommandOverhead + sizeof *this + changeBytes(change_) - sizeof change_ +
               static_cast<std::size_t>(text().capacity()) * sizeof(QChar);
    }

private:
    void apply() override {
        applyChange(form_.state().piece, change_);
        form_.showChangedScore(change_.track, firstChangedMeasure(change_));
    }
    void revert() override {
        revertChange(form_.state().piece, change_);
        form_.showChangedScore(change_.track, firstChangedMeasure(change_));
    }
    ScoreChange change_;
};

// A setting of the piece: the key signature, the octave setting, the number
// of tracks, the tempo, the meter.
class SettingStep final : public Step {
public:
    SettingStep(Form1& form, const QString& text, Form1::Setting setting, int before, int after)
        : Step(form, text), setting_(setting), before_(before), after_(after) {}
    std::size_t bytes() const override {
        return kCommandOverhead + sizeof *this +
               static_cast<std::size_t>(text().capacity()) * sizeof(QChar);
    }

private:
    void apply() override { form_.applySetting(setting_, after_); }
    void revert() override { form_.applySetting(setting_, before_); }
    Form1::Setting setting_;
    int before_;
    int after_;
};

// Text typed into Text1 that the program replaced: undo and redo swap it
// with what Text1 holds then.
class TextStep final : public Step {
public:
    TextStep(Form1& form, QString other)
        : Step(form, QStringLiteral("MMLの置き換え")), other_(std::move(other)) {}
    std::size_t bytes() const override {
        return kCommandOverhead + sizeof *this +
               static_cast<std::size_t>(text().capacity() + other_.capacity()) * sizeof(QChar);
    }

private:
    void apply() override { form_.swapText1(other_); }
    void revert() override { form_.swapText1(other_); }
    QString other_;
};

QString settingText(Form1::Setting setting) {
    switch (setting) {
        case Form1::Setting::KeySignature:
            return QStringLiteral("調号");
        case Form1::Setting::Octave:
            return QStringLiteral("オクターブ");
        case Form1::Setting::TrackCount:
            return QStringLiteral("トラック数");
        case Form1::Setting::Tempo:
            return QStringLiteral("テンポ");
        case Form1::Setting::Meter:
            return QStringLiteral("拍子");
    }
    return {};
}

// The text boxes keep their own undo: a key meant for them goes to them.
bool textBoxTakes(QWidget* focus, bool redo) {
    if (auto* line = qobject_cast<QLineEdit*>(focus)) {
        redo ? line->redo() : line->undo();
        return true;
    }
    if (auto* text = qobject_cast<QPlainTextEdit*>(focus)) {
        redo ? text->redo() : text->undo();
        return true;
    }
    return qobject_cast<QAbstractSpinBox*>(focus) != nullptr;
}

}  // namespace

void Form1::createUndo() {
    undoStack_ = new QUndoStack(this);
    undoStack_->setUndoLimit(kHistorySteps);
    connect(undoStack_, &QUndoStack::indexChanged, this, [this] { countChange(); });
    connect(undoStack_, &QUndoStack::cleanChanged, this, [this] { updateCaption(); });
    const std::pair<const char*, void (Form1::*)()> keys[] = {
        {"Ctrl+Z", &Form1::undo}, {"Ctrl+Y", &Form1::redo}, {"Ctrl+Shift+Z", &Form1::redo}};
    for (const auto& [sequence, action] : keys) {
        auto* shortcut = new QShortcut(QKeySequence(QString::fromLatin1(sequence)), this);
        shortcut->setContext(Qt::WindowShortcut);
        connect(shortcut, &QShortcut::activated, this, action);
    }
}

void Form1::applyUnrecorded(const std::function<void()>& apply) {
    const bool outer = applyingUnrecorded_;
    applyingUnrecorded_ = true;
    apply();
    applyingUnrecorded_ = outer;
}

bool Form1::editScore(const QString& text, const std::function<void()>& edit) {
    const int t = state().view.curTrack;
    const auto before = std::make_unique<TrackScore>(state().piece.score[t]);
    edit();
    if (applyingUnrecorded_)
        return false;
    ScoreChange change = scoreChange(t, *before, state().piece.score[t]);
    if (change.empty())
        return false;
    undoStack_->push(new ScoreStep(*this, text, std::move(change)));
    return true;
}

void Form1::settingChanged(Setting setting, int before, int after) {
    if (applyingUnrecorded_ || before == after)
        return;
    undoStack_->push(new SettingStep(*this, settingText(setting), setting, before, after));
}

void Form1::recordText1Replaced(QString typed) {
    undoStack_->push(new TextStep(*this, std::move(typed)));
}

void Form1::applySetting(Setting setting, int value) {
    switch (setting) {
        case Setting::KeySignature:
            showKeySignature(value);
            break;
        case Setting::Octave:
            UpDown1->setValue(value);
            break;
        case Setting::TrackCount:
            UpDown3->setValue(value);
            break;
        case Setting::Tempo:
            showTempo(value);
            break;
        case Setting::Meter:
            Combo2->setCurrentIndex(value);
            break;
    }
}

void Form1::undo() {
    if (textBoxTakes(focusWidget(), false) || !undoStack_->canUndo())
        return;
    const QString text = undoStack_->undoText();
    undoStack_->undo();
    showNotice(QStringLiteral("元に戻しました：") + text);
}

void Form1::redo() {
    if (textBoxTakes(focusWidget(), true) || !undoStack_->canRedo())
        return;
    const QString text = undoStack_->redoText();
    undoStack_->redo();
    showNotice(QStringLiteral("やり直しました：") + text);
}

void Form1::showChangedScore(int track, std::optional<int> measure) {
    EditorState& s = state();
    bool moved = s.view.curTrack != track;
    if (measure) {
        int first = s.view.firstMeasure;
        if (*measure < first)
            first = *measure;
        else if (*measure >= first + kViewMeasures)
            first = *measure - (kViewMeasures - 1);
        first = clampViewStart(first);
        moved = moved || first != s.view.firstMeasure;
        s.view.firstMeasure = static_cast<std::int16_t>(first);
    }
    showTrack(track);
    // A frame on another note than before, or on none, is no selection.
    if (moved || !selectedNote(s))
        dropSelection(s, Picture2->image4);
}

namespace {

// A step, or steps taken as one (reading MML: the score and the tempo), with
// what each of them holds.
std::size_t commandBytes(const QUndoCommand& command) {
    if (const auto* step = dynamic_cast<const Step*>(&command))
        return step->bytes();
    std::size_t total = kCommandOverhead + sizeof command;
    for (int i = 0; i < command.childCount(); ++i)
        total += commandBytes(*command.child(i));
    return total;
}

}  // namespace

std::size_t Form1::historyBytes() const {
    std::size_t total = sizeof(QUndoStack);
    for (int i = 0; i < undoStack_->count(); ++i)
        total += commandBytes(*undoStack_->command(i));
    return total;
}

}  // namespace tsuzuri
