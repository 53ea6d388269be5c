#include "ui/form1.h"

#include <QCheckBox>
#include <QLabel>
#include <QPlainTextEdit>
#include <QPushButton>

#include "state/tables.h"

namespace tsuzuri {

Form1::Form1(Sequencer& sequencer, std::filesystem::path dataDir, QWidget* parent)
    : QWidget(parent),
      state_(std::make_unique<EditorState>()),
      sequencer_(sequencer),
      dataDir_(std::move(dataDir)) {
    setObjectName("Form1");
    setWindowTitle(QStringLiteral("綴 Tsuzuri"));
    resize(889, 416);
    createControls();
    connectEvents();
    Form_Load();
}

Form1::~Form1() = default;

void Form1::createControls() {
    Command1 = new QPushButton(QStringLiteral("trk♪"), this);
    Command1->setObjectName("Command1");
    Command1->setGeometry(4, 264, 37, 17);
    Command7 = new QPushButton(QStringLiteral("all♪"), this);
    Command7->setObjectName("Command7");
    Command7->setGeometry(44, 264, 33, 17);
    for (int i = 0; i < kWindowTracks; ++i) {
        auto* box = new QCheckBox(this);
        box->setObjectName(QStringLiteral("Check3(%1)").arg(i));
        box->setGeometry((10920 + 240 * (i % 10)) / 15, (i < 10 ? 3900 : 4080) / 15, 13, 13);
        box->setChecked(i < 3);
        box->setEnabled(i < 16);
        Check3[static_cast<std::size_t>(i)] = box;
    }
    Label6 = new QLabel(this);
    Label6->setObjectName("Label6");
    Label6->setGeometry(500, 300, 193, 21);
    Text1 = new QPlainTextEdit(this);
    Text1->setObjectName("Text1");
    Text1->setGeometry(0, 284, 885, 73);
}

void Form1::connectEvents() {
    connect(Command1, &QPushButton::clicked, this, [this] { Command1_Click(); });
    connect(Command7, &QPushButton::clicked, this, [this] { Command7_Click(); });
}

void Form1::Form_Load() {
    startUp(*state_, 4);
}

void Form1::showNotice(const QString& text) {
    Label6->setText(text);
}

void Form1::setSoundAvailable(bool available) {
    soundAvailable_ = available;
    setWindowTitle(available ? QStringLiteral("綴 Tsuzuri")
                             : QStringLiteral("綴 Tsuzuri（音声出力なし）"));
}

void Form1::paintEvent(QPaintEvent*) {}
void Form1::mouseMoveEvent(QMouseEvent*) {}
void Form1::mousePressEvent(QMouseEvent*) {}
void Form1::mouseReleaseEvent(QMouseEvent*) {}

}  // namespace tsuzuri
