// Form1 reads MML back into the staff: Ctrl+Return in the MML box Text1 lays
// its text into the current track as one step of the history.
#include <QKeyEvent>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QUndoStack>

#include "mml/track_text.h"
#include "score/layout.h"
#include "score/selection.h"
#include "ui/event_hook.h"
#include "ui/form1.h"
#include "view/score_canvas.h"

namespace tsuzuri {

void Form1::connectText1Reading() {
    EventHook::install(Text1, QEvent::KeyPress, [this](QEvent* event) {
        const auto* key = static_cast<QKeyEvent*>(event);
        const bool returnKey = key->key() == Qt::Key_Return || key->key() == Qt::Key_Enter;
        if (!returnKey || !(key->modifiers() & Qt::ControlModifier))
            return false;
        readText1IntoTrack();
        return true;
    });
}

void Form1::readText1IntoTrack() {
    EditorState& s = state();
    const int t = s.view.curTrack;
    TrackTextRead read = readTrackText(Text1->toPlainText().toStdString(), staffRowsOf(s.tables),
                                       s.piece.octave, readingBarTicks(s.piece));
    if (read.error) {
        showNotice(QStringLiteral("MML を読めません：") +
                   QString::fromStdString(trackTextErrorText(*read.error)));
        return;
    }
    read.track->trackProgram = s.piece.score[t].trackProgram;
    const int tempo = read.tempo.value_or(s.piece.tempo);
    if (*read.track == s.piece.score[t] && tempo == s.piece.tempo) {
        showNotice(QStringLiteral("楽譜はすでに MML のとおりです"));
        return;
    }
    const QString step = QStringLiteral("MMLの読み込み");
    undoStack_->beginMacro(step);
    editScore(step, [&] {
        s.piece.score[t] = std::move(*read.track);
        s.view.firstMeasure = 0;
        dropSelection(s, Picture2->image4);
        showTrack(t);
    });
    const int before = s.piece.tempo;
    showTempo(tempo);
    settingChanged(Setting::Tempo, before, tempo);
    undoStack_->endMacro();
    showNotice(QStringLiteral("MML を第1小節から読み込みました"));
}

}  // namespace tsuzuri
