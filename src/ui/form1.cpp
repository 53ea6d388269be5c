#include "ui/form1.h"

#include <QApplication>
#include <QComboBox>
#include <QHelpEvent>
#include <QLabel>
#include <QMouseEvent>
#include <QPainter>
#include <QPushButton>
#include <QStandardPaths>
#include <QTimer>
#include <QToolTip>
#include <QUndoStack>
#include <algorithm>

#include "score/canvas_geometry.h"
#include "state/tables.h"
#include "ui/event_hook.h"
#include "ui/updown.h"
#include "view/event_codes.h"
#include "view/glyph_art.h"
#include "view/keyboard_panel.h"
#include "view/score_canvas.h"

namespace tsuzuri {

namespace {

QColor colorOf(std::uint32_t bgr) {
    return QColor(static_cast<int>(bgr & 0xFF), static_cast<int>((bgr >> 8) & 0xFF),
                  static_cast<int>((bgr >> 16) & 0xFF));
}

// The window's Japanese gothic font, 9 point at 96 dots per inch; controls that
// ask for the designer's proportional gothic get the same family.
void useJapaneseFonts() {
    QFont::insertSubstitution(QStringLiteral("ＭＳ Ｐゴシック"), QStringLiteral("IPAPGothic"));
}

constexpr int kNoticeMilliseconds = 6000;

// `text` as it fits into `width` pixels: the middle of the file name between
// 「 and 」 elided first, so that what went wrong stays readable.
QString fitNotice(const QString& text, const QFontMetrics& metrics, int width) {
    if (metrics.horizontalAdvance(text) <= width)
        return text;
    const qsizetype open = text.indexOf(u'「');
    const qsizetype close = open < 0 ? -1 : text.indexOf(u'」', open + 1);
    if (close < 0)
        return metrics.elidedText(text, Qt::ElideRight, width);
    const QString before = text.left(open + 1);
    const QString name = text.mid(open + 1, close - open - 1);
    const QString after = text.mid(close);
    const int room = width - metrics.horizontalAdvance(before + after);
    if (room < metrics.horizontalAdvance(QStringLiteral("/…/trk.mid")))
        return metrics.elidedText(text, Qt::ElideRight, width);
    return before + metrics.elidedText(name, Qt::ElideMiddle, room) + after;
}

}  // namespace

Form1::Form1(Sequencer& sequencer, std::filesystem::path dataDir, QWidget* parent,
             TextBoxes textBoxes)
    : QWidget(parent),
      state_(std::make_unique<EditorState>()),
      sequencer_(sequencer),
      dataDir_(std::move(dataDir)),
      recoveryDir_(dataDir_ / "recovery"),
      documentsDir_(
          QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation).toStdString()) {
    setObjectName("Form1");
    useJapaneseFonts();
    QFont font(QStringLiteral("IPAPGothic"));
    font.setPixelSize(12);
    setFont(font);
    resize(kDesignWidth, kDesignHeight);
    setMouseTracking(true);
    createControls();
    if (textBoxes == TextBoxes::WithControls)
        createTextBoxes();
    createNotice();
    connectEvents();
    createFileActions();
    createUndo();
    acceptFileDrops();
    // Start-up's own settings are the empty piece, not a change of it.
    applyUnrecorded([this] { Form_Load(); });
    markSaved();
    stopRecoveryCopies();
    updateCaption();
}

void Form1::setVisible(bool visible) {
    QWidget::setVisible(visible);
    if (visible && Text5 == nullptr)
        createTextBoxes();
}

// The history goes before the window's members: what it tells on its way out
// must not reach them.
Form1::~Form1() {
    undoStack_->disconnect();
    delete undoStack_;
}

void Form1::Form_Load() {
    startUp(state(), UpDown1->value());
    for (int i = 0; i < kImage4Count; ++i)
        Image4(i).top = kHiddenNoteTop;
    Shape1().top = 500;
    // The first entries show the instrument every track starts with and the
    // meter of a new piece.
    Combo1->setCurrentIndex(0);
    Combo2->setCurrentIndex(meterEntry(state().piece.meter).value_or(0));
    setBackColor(Command2[state().view.paletteIndex], kWhite);
}

GlyphItem& Form1::Image4(int i) {
    return Picture2->image4[i];
}
GlyphItem& Form1::Image3(int i) {
    return Picture2->image3[i];
}
GlyphItem& Form1::Image1(int i) {
    return Picture1->image1[i];
}
GlyphItem& Form1::Image2(int i) {
    return image2_[i];
}
ShapeItem& Form1::Shape1() {
    return Picture2->shape1;
}

void Form1::hideCursorGlyph() {
    Image4(0).top = kHiddenCursorTop;
    Picture2->update();
}

// The notice stands in the free strip of the read-out line, right of the
// pointer read-outs. It lets the pointer through to the window, which shows
// the notice's whole text as a tooltip over that strip.
void Form1::createNotice() {
    noticeTimer_ = new QTimer(this);
    noticeTimer_->setObjectName("NoticeTimer");
    noticeTimer_->setSingleShot(true);
    noticeTimer_->setInterval(kNoticeMilliseconds);
    connect(noticeTimer_, &QTimer::timeout, this,
            [this] { setNoticeText(failures_.empty() ? QString() : failures_.back().second); });
    EventHook::install(this, QEvent::ToolTip, [this](QEvent* event) {
        const auto* help = static_cast<QHelpEvent*>(event);
        if (Notice->toolTip().isEmpty() || !Notice->geometry().contains(help->pos()))
            return false;
        QToolTip::showText(help->globalPos(), Notice->toolTip(), this);
        return true;
    });
}

void Form1::setNoticeText(const QString& text) {
    Notice->setText(fitNotice(text, Notice->fontMetrics(), Notice->width()));
    Notice->setToolTip(text);
}

void Form1::showNotice(const QString& text) {
    setNoticeText(text);
    noticeTimer_->start();
}

void Form1::showFailure(const std::filesystem::path& file, const QString& text) {
    std::erase_if(failures_, [&](const auto& failure) { return failure.first == file; });
    failures_.emplace_back(file, text);
    noticeTimer_->stop();
    setNoticeText(text);
}

void Form1::fileWritten(const std::filesystem::path& file) {
    const auto before = failures_.size();
    std::erase_if(failures_, [&](const auto& failure) { return failure.first == file; });
    if (failures_.size() != before && !noticeTimer_->isActive())
        setNoticeText(failures_.empty() ? QString() : failures_.back().second);
}

void Form1::setSoundStatus(SoundStatus status) {
    soundStatus_ = status;
    updateCaption();
}

void Form1::setBackColor(QPushButton* button, std::uint32_t bgr) {
    QPalette palette = button->palette();
    palette.setColor(QPalette::Button, bgr == kButtonFace
                                           ? QApplication::palette().color(QPalette::Button)
                                           : colorOf(bgr));
    button->setPalette(palette);
}

// Image2 lies on the window's own surface (under the text box).
void Form1::paintEvent(QPaintEvent*) {
    QPainter p(this);
    for (const GlyphItem& item : image2_)
        drawGlyphItem(p, item, devicePixelRatioF());
}

int Form1::image2At(double x, double y) const {
    for (int i = 19; i >= 0; --i) {
        if (image2_[i].contains(x, y))
            return i;
    }
    return -1;
}

void Form1::mouseMoveEvent(QMouseEvent* event) {
    Form_MouseMove(buttonMask(event->buttons()), shiftMask(event->modifiers()),
                   event->position().x(), event->position().y());
}

void Form1::mousePressEvent(QMouseEvent* event) {
    const QPointF pos = event->position();
    pressedImage2_ = image2At(pos.x(), pos.y());
    if (pressedImage2_ < 0)
        return;
    Image2_MouseDown(pressedImage2_);
}

void Form1::mouseReleaseEvent(QMouseEvent*) {
    if (pressedImage2_ < 0)
        return;
    const int index = pressedImage2_;
    pressedImage2_ = -1;
    Image2_MouseUp(index);
}

}  // namespace tsuzuri
