// Form1's audio export: the save dialog's WAV filter and the rendering of the
// whole piece into a WAV file, on a thread of its own, its progress in the
// notice line and a button beside it that cancels it.
#include <QFutureWatcher>
#include <QLabel>
#include <QPushButton>
#include <QThreadPool>
#include <QtConcurrent/QtConcurrentRun>
#include <algorithm>
#include <atomic>

#include "file/export.h"
#include "file/wav_file.h"
#include "midi/offline_render.h"
#include "ui/form1.h"

namespace tsuzuri {

namespace {

QString quoted(const std::filesystem::path& path) {
    return QStringLiteral("「%1」").arg(QString::fromStdString(path.string()));
}

// Why the piece cannot be rendered, as far as the window knows before trying.
std::string renderBlocker(const AudioRenderer* renderer, SoundStatus status) {
    if (renderer == nullptr || status == SoundStatus::NoEngine)
        return renderFailureText(RenderOutcome::NoEngine);
    if (status == SoundStatus::NoSoundFont)
        return renderFailureText(RenderOutcome::NoSoundFont);
    return {};
}

// The cancel button, at the right end of the notice line, in twips as the
// window's inventory places controls.
constexpr int kCancelLeft = 10080, kCancelTop = 3990, kCancelWidth = 720, kCancelHeight = 255;
constexpr int kTwipsPerPixel = 15;

}  // namespace

// One export at a time. The rendering thread hears of a cancel through a flag
// and tells the window of its progress through queued calls; the window waits
// for it before it goes.
class AudioExport : public QObject {
public:
    explicit AudioExport(Form1* form) : QObject(form), form_(form) { pool_.setMaxThreadCount(1); }
    ~AudioExport() override {
        cancel_ = true;
        pool_.waitForDone();
    }

    bool running() const { return running_; }
    void cancel() { cancel_ = true; }

    void start(const std::filesystem::path& path, std::vector<std::uint8_t> midi,
               AudioRenderer& renderer) {
        running_ = true;
        cancel_ = false;
        shownPercent_ = -1;
        showProgress(path, 0);
        showCancelButton(true);
        auto* watcher = new QFutureWatcher<WavWritten>(this);
        connect(watcher, &QFutureWatcherBase::finished, this, [this, watcher, path] {
            finished(path, watcher->result());
            watcher->deleteLater();
        });
        watcher->setFuture(
            QtConcurrent::run(&pool_, [this, path, midi = std::move(midi), &renderer] {
                auto progress = [this, path](double done) {
                    const int percent = static_cast<int>(done * 100);
                    if (percent == lastPercent_.exchange(percent))
                        return;
                    QMetaObject::invokeMethod(
                        this, [this, path, percent] { showProgress(path, percent); },
                        Qt::QueuedConnection);
                };
                return writeWavFile(path, midi, renderer, progress, cancel_);
            }));
    }

private:
    void showProgress(const std::filesystem::path& path, int percent) {
        if (!running_ || percent == shownPercent_)
            return;
        shownPercent_ = percent;
        form_->showNotice(quoted(path.filename()) +
                          QStringLiteral("を書き出しています… %1%").arg(percent));
    }

    void finished(const std::filesystem::path& path, const WavWritten& written) {
        running_ = false;
        showCancelButton(false);
        if (written.cancelled) {
            form_->showNotice(quoted(path.filename()) + QStringLiteral("の書き出しを中止しました"));
        } else if (!written.error.empty()) {
            form_->showFailure(path, QString::fromStdString(written.error));
        } else {
            form_->fileWritten(path);
            form_->showNotice(quoted(path) + QStringLiteral("に書き出しました"));
        }
    }

    // The notice line makes room for the button while it shows.
    void showCancelButton(bool shown) {
        if (button_ == nullptr) {
            button_ = new QPushButton(QStringLiteral("中止"), form_);
            button_->setObjectName("CancelExport");
            button_->setFocusPolicy(Qt::NoFocus);
            button_->setGeometry(kCancelLeft / kTwipsPerPixel, kCancelTop / kTwipsPerPixel,
                                 kCancelWidth / kTwipsPerPixel, kCancelHeight / kTwipsPerPixel);
            connect(button_, &QPushButton::clicked, this, [this] { cancel(); });
            noticeWidth_ = form_->Notice->width();
        }
        button_->setVisible(shown);
        button_->raise();
        const int room = kCancelLeft / kTwipsPerPixel - form_->Notice->x();
        form_->Notice->resize(shown ? std::min(noticeWidth_, room) : noticeWidth_,
                              form_->Notice->height());
    }

    Form1* form_;
    QThreadPool pool_;
    std::atomic<bool> cancel_ = false;
    std::atomic<int> lastPercent_ = -1;
    bool running_ = false;
    int shownPercent_ = -1;
    QPushButton* button_ = nullptr;
    int noticeWidth_ = 0;
};

void Form1::setAudioRenderer(AudioRenderer* renderer) {
    audioRenderer_ = renderer;
}

bool Form1::audioExportRunning() const {
    return audioExport_ != nullptr && audioExport_->running();
}

QString Form1::wavFilter() const {
    const std::string blocker = renderBlocker(audioRenderer_, soundStatus_);
    if (blocker.empty())
        return QStringLiteral("WAV (*.wav)");
    return QStringLiteral("WAV：書き出せません（%1） (*.wav)").arg(QString::fromStdString(blocker));
}

void Form1::exportWav(const std::filesystem::path& path) {
    if (audioRenderer_ == nullptr) {
        showNotice(quoted(path) + QStringLiteral("を書き出せません：") +
                   QString::fromStdString(renderBlocker(nullptr, soundStatus_)));
        return;
    }
    if (audioExportRunning()) {
        showNotice(QStringLiteral("前の書き出しが終わってからもう一度どうぞ"));
        return;
    }
    if (audioExport_ == nullptr)
        audioExport_ = new AudioExport(this);
    audioExport_->start(path, exportMidi(state().piece, state().tables), *audioRenderer_);
}

}  // namespace tsuzuri
