#include "ui/bounded_text.h"

#include <QMimeData>
#include <utility>

namespace tsuzuri {

namespace {

QString megabytes(qsizetype bytes) {
    return QString::number(static_cast<double>(bytes) / (1 << 20), 'f', 1) + "MB";
}

}  // namespace

BoundedTextEdit::BoundedTextEdit(QWidget* parent, qsizetype maxBytes, Refused refused)
    : QPlainTextEdit(parent), maxBytes_(maxBytes), refused_(std::move(refused)) {}

// The box takes only the plain text of what is pasted or dropped.
void BoundedTextEdit::insertFromMimeData(const QMimeData* source) {
    if (source->hasText()) {
        const qsizetype offered = source->text().toUtf8().size();
        const qsizetype kept =
            offered > maxBytes_
                ? 0
                : toPlainText().toUtf8().size() - textCursor().selectedText().toUtf8().size();
        if (offered > maxBytes_ || kept + offered > maxBytes_) {
            if (refused_)
                refused_(offered);
            return;
        }
    }
    QPlainTextEdit::insertFromMimeData(source);
}

QString pasteRefusedText(qsizetype offeredBytes, qsizetype maxBytes) {
    return QStringLiteral("貼り付けられません：MMLの欄に入るのは%1までです（貼り付けた文字は%2）")
        .arg(megabytes(maxBytes), megabytes(offeredBytes));
}

}  // namespace tsuzuri
