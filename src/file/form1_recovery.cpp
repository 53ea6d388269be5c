// Form1's recovery copy: while the piece has unsaved changes, a copy of it in
// the per-user recovery folder keeps up with the window, written off the
// user-interface thread; it goes once the piece is saved, and at start-up the
// window tells of copies that hold work saved nowhere else.
#include <unistd.h>

#include <QElapsedTimer>
#include <QThreadPool>
#include <QTimer>
#include <ctime>
#include <utility>

#include "file/background.h"
#include "file/recovery.h"
#include "file/score_file.h"
#include "file/score_save.h"
#include "io/safe_file.h"
#include "ui/form1.h"

namespace tsuzuri {

namespace {

constexpr std::size_t kRecoveryCopiesKept = 20;

// The window's own clock: a steady clock and one single-shot timer.
class TimerClock final : public RecoveryClock {
public:
    explicit TimerClock(QObject* owner) : timer_(new QTimer(owner)) {
        timer_->setObjectName("RecoveryTimer");
        timer_->setSingleShot(true);
        // On time to the millisecond: the copy's lag is bounded by it.
        timer_->setTimerType(Qt::PreciseTimer);
        QObject::connect(timer_, &QTimer::timeout, owner, [this] {
            if (wake_)
                wake_();
        });
        clock_.start();
    }
    ~TimerClock() override { delete timer_; }

    std::int64_t now() override { return clock_.elapsed(); }
    void wakeAt(std::int64_t when, std::function<void()> wake) override {
        wake_ = std::move(wake);
        timer_->start(static_cast<int>(std::max<std::int64_t>(0, when - now())));
    }
    void cancel() override { timer_->stop(); }

private:
    QTimer* timer_;
    QElapsedTimer clock_;
    std::function<void()> wake_;
};

std::vector<std::uint8_t> bytesOf(const std::string& text) {
    return {text.begin(), text.end()};
}

}  // namespace

void Form1::createRecoveryClock() {
    // Recovery copies are written and removed one after another, in order.
    recoveryPool_ = new QThreadPool(this);
    recoveryPool_->setMaxThreadCount(1);
    recoveryClock_ = std::make_unique<TimerClock>(this);
}

void Form1::setRecoveryClock(std::unique_ptr<RecoveryClock> clock) {
    recoveryClock_->cancel();
    recoveryClock_ = std::move(clock);
    recoverySchedule_.clear();
    scheduleRecoveryCopy();
}

void Form1::scheduleRecoveryCopy() {
    if (!hasUnsavedChanges() || changeCount_ == copiedChange_) {
        stopRecoveryCopies();
        return;
    }
    recoverySchedule_.changed(recoveryClock_->now());
    recoveryClock_->wakeAt(*recoverySchedule_.due(), [this] { recoveryCopyDue(); });
}

void Form1::stopRecoveryCopies() {
    recoverySchedule_.clear();
    recoveryClock_->cancel();
}

void Form1::recoveryCopyDue() {
    const std::optional<std::int64_t> due = recoverySchedule_.due();
    if (!due)
        return;
    if (*due > recoveryClock_->now())
        recoveryClock_->wakeAt(*due, [this] { recoveryCopyDue(); });
    else
        writeRecoveryCopy(false);
}

void Form1::writeRecoveryCopy(bool wait) {
    stopRecoveryCopies();
    if (!hasUnsavedChanges() || recoveryDir_.empty())
        return;
    if (recoveryWriting_ && !wait) {
        recoveryBehind_ = true;
        return;
    }
    if (recoveryPath_.empty())
        recoveryPath_ = recoveryDir_ / recoveryFileName(std::time(nullptr), ::getpid());
    std::unique_ptr<SavedPiece> piece = currentPiece();
    piece->documentPath = documentPath_.string();
    auto bytes = std::make_shared<std::vector<std::uint8_t>>(bytesOf(writeScoreText(*piece)));
    copiedChange_ = changeCount_;
    auto write = [dir = recoveryDir_, path = recoveryPath_, bytes] {
        std::error_code ignored;
        std::filesystem::create_directories(dir, ignored);
        return writeFileAtomically(path, *bytes, Durability::Sync);
    };
    if (wait) {
        // A copy still being written must not land after this one.
        recoveryPool_->waitForDone();
        write();
        return;
    }
    recoveryWriting_ = true;
    runInBackground<std::string>(
        this, write,
        [this, path = recoveryPath_](const std::string& error) {
            recoveryWriting_ = false;
            if (error.empty())
                fileWritten(path);
            else
                showFailure(path, QString::fromStdString(error));
            if (std::exchange(recoveryBehind_, false))
                writeRecoveryCopy(false);
        },
        recoveryPool_);
}

void Form1::removeRecoveryCopy() {
    stopRecoveryCopies();
    if (recoveryPath_.empty())
        return;
    recoveryPool_->start([path = recoveryPath_] {
        std::error_code ignored;
        std::filesystem::remove(path, ignored);
    });
}

void Form1::tellOfRecoveryCopies() {
    runInBackground<bool>(
        this,
        [dir = recoveryDir_] {
            removeStaleTemporaries(dir, kStaleTemporaryAge);
            pruneRecoveryCopies(dir, kRecoveryCopiesKept);
            return !unsavedRecoveryCopies(dir).empty();
        },
        [this](bool found) {
            if (found)
                showNotice(QStringLiteral(
                    "保存されていない曲の復元用コピーがあります（「load」で開けます）"));
        },
        recoveryPool_);
}

bool Form1::inRecoveryFolder(const std::filesystem::path& path) const {
    std::error_code error;
    const std::filesystem::path folder = path.has_parent_path() ? path.parent_path() : ".";
    return std::filesystem::equivalent(folder, recoveryDir_, error) && !error;
}

}  // namespace tsuzuri
