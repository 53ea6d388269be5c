// Form1's canvas keys: Escape, F5, F6, the arrows and Delete.
#include <QLabel>

#include "score/key_edit.h"
#include "ui/form1.h"
#include "view/score_canvas.h"

namespace tsuzuri {

namespace {

CanvasKey canvasKeyOf(int keyCode) {
    switch (keyCode) {
        case kKeyEscape:
            return CanvasKey::Escape;
        case kKeyF5:
            return CanvasKey::F5;
        case kKeyF6:
            return CanvasKey::F6;
        case kKeyLeft:
            return CanvasKey::Left;
        case kKeyUp:
            return CanvasKey::Up;
        case kKeyRight:
            return CanvasKey::Right;
        case kKeyDown:
            return CanvasKey::Down;
        case kKeyDelete:
            return CanvasKey::Delete;
        default:
            return CanvasKey::Other;
    }
}

// The name of a key's edit in the history.
QString keyEditText(CanvasKey key, int shift) {
    switch (key) {
        case CanvasKey::Up:
        case CanvasKey::Down:
            return QStringLiteral("音の高さ");
        case CanvasKey::Left:
        case CanvasKey::Right:
            return shift != 0 ? QStringLiteral("位置の調整") : QString();
        case CanvasKey::Delete:
            return QStringLiteral("削除");
        default:
            return {};
    }
}

}  // namespace

void Form1::Picture2_KeyDown(int keyCode, int shift) {
    const CanvasKey key = canvasKeyOf(keyCode);
    if (key == CanvasKey::F5)
        Command1_Click();
    else if (key == CanvasKey::F6)
        Command7_Click();
    editScore(keyEditText(key, shift), [&] {
        const KeyOutcome outcome = editWithKey(state(), Picture2->image4, key, shift);
        if (outcome.stemReadout)
            Label5->setText(QString::fromStdString(*outcome.stemReadout));
        if (outcome.deleteNote)
            del();
    });
    Picture2->update();
}

// The keyboard picture takes no keys of its own.
void Form1::Picture1_KeyDown(int, int) {}

}  // namespace tsuzuri
