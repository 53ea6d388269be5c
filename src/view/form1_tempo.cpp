// Form1's tempo box Text4 ("Tempo ="): the piece's tempo, typed and confirmed.
#include <QLineEdit>
#include <algorithm>

#include "music/tempo.h"
#include "ui/form1.h"

namespace tsuzuri {

// Return or leaving the box confirms what was typed. A text that is no tempo
// changes nothing: the box goes back to the tempo in force.
void Form1::Text4_Confirm() {
    const int before = state().piece.tempo;
    const std::optional<int> tempo = parseTempo(Text4->text().toStdString());
    if (!tempo) {
        showNotice(
            QStringLiteral("テンポは%1〜%2の整数で入れてください").arg(kMinTempo).arg(kMaxTempo));
        showTempo(before);
        return;
    }
    showTempo(*tempo);
    settingChanged(Setting::Tempo, before, *tempo);
}

void Form1::showTempo(int tempo) {
    state().piece.tempo = static_cast<std::int16_t>(std::clamp(tempo, kMinTempo, kMaxTempo));
    // Before the window is first shown its text boxes may not be made yet;
    // they take the tempo when they are.
    if (Text4 != nullptr)
        Text4->setText(QString::number(state().piece.tempo));
}

}  // namespace tsuzuri
