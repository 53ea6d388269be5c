#pragma once

#include <QPlainTextEdit>
#include <functional>

namespace tsuzuri {

// A plain text box that refuses a paste or a drop which would leave more than
// `maxBytes` of UTF-8 text in it: laying out tens of megabytes would block the
// window for seconds. `refused` hears of each refusal with the size of the
// text that was offered.
class BoundedTextEdit : public QPlainTextEdit {
public:
    using Refused = std::function<void(qsizetype offeredBytes)>;
    BoundedTextEdit(QWidget* parent, qsizetype maxBytes, Refused refused);

protected:
    void insertFromMimeData(const QMimeData* source) override;

private:
    qsizetype maxBytes_;
    Refused refused_;
};

// The notice for a refused paste of `offeredBytes` into a box of `maxBytes`.
QString pasteRefusedText(qsizetype offeredBytes, qsizetype maxBytes);

}  // namespace tsuzuri
