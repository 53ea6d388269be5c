#pragma once

class QCoreApplication;
class QTranslator;

namespace tsuzuri {

// Qt's own texts (the file dialogs, message boxes and the text boxes' context
// menus) in Japanese, whatever the system's language, from the translations
// that Debian's package installs in Qt's translations folder. The translator
// installed, owned by `app`; null when the translations are not installed,
// and the texts stay in English.
QTranslator* useJapaneseQtTexts(QCoreApplication& app);

}  // namespace tsuzuri
