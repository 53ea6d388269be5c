// Form1 on the desktop: files handed over by the command line or dropped on
// the window, and the window's size and place kept between runs.
#include <QApplication>
#include <QDropEvent>
#include <QFile>
#include <QMimeData>
#include <QUrl>
#include <QWidget>
#include <algorithm>
#include <cctype>
#include <limits>

#include "io/safe_file.h"
#include "ui/form1.h"
#include "ui/user_settings.h"

namespace tsuzuri {

namespace {

const QString kGeometryKey = QStringLiteral("Form1/geometry");
constexpr int kSmallestKeptWidth = 100;
constexpr int kSmallestKeptHeight = 60;

enum class GivenFile { Score, Mml, Other };

// What a file is, by its name: a score file, MML text, or neither.
GivenFile givenFileKind(const std::filesystem::path& file) {
    std::string extension = file.extension().string();
    std::transform(extension.begin(), extension.end(), extension.begin(),
                   [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    if (extension == ".tsz")
        return GivenFile::Score;
    if (extension == ".mml" || extension == ".txt")
        return GivenFile::Mml;
    return GivenFile::Other;
}

QString quoted(const std::filesystem::path& path) {
    return QStringLiteral("「%1」").arg(QString::fromStdString(path.string()));
}

// The local files a drag carries; nothing when it carries anything else (a
// web address, text), which goes to the control under the pointer as before.
std::vector<std::filesystem::path> localFilesOf(const QMimeData* data) {
    std::vector<std::filesystem::path> files;
    if (data == nullptr || !data->hasUrls())
        return files;
    for (const QUrl& url : data->urls()) {
        if (!url.isLocalFile())
            return {};
        files.emplace_back(QFile::encodeName(url.toLocalFile()).toStdString());
    }
    return files;
}

// Takes drags of files wherever they enter the window, the text boxes (which
// would insert the file's name as text) included.
class FileDrops : public QObject {
public:
    explicit FileDrops(Form1* form) : QObject(form), form_(form) { qApp->installEventFilter(this); }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override {
        const QEvent::Type type = event->type();
        if (type != QEvent::DragEnter && type != QEvent::DragMove && type != QEvent::Drop)
            return false;
        auto* widget = qobject_cast<QWidget*>(watched);
        if (widget == nullptr || widget->window() != form_)
            return false;
        auto* drop = static_cast<QDropEvent*>(event);
        const std::vector<std::filesystem::path> files = localFilesOf(drop->mimeData());
        if (files.empty())
            return false;
        drop->acceptProposedAction();
        if (type == QEvent::Drop)
            form_->openGivenFiles(files);
        return true;
    }

private:
    Form1* form_;
};

}  // namespace

void Form1::acceptFileDrops() {
    setAcceptDrops(true);
    new FileDrops(this);
}

void Form1::openGivenFiles(const std::vector<std::filesystem::path>& files) {
    if (files.size() != 1) {
        showNotice(QStringLiteral("ファイルは一度に一つずつ開いてください"));
        return;
    }
    const std::filesystem::path& file = files.front();
    std::error_code ignored;
    if (std::filesystem::is_directory(file, ignored)) {
        showNotice(quoted(file) + QStringLiteral("はフォルダです"));
        return;
    }
    std::function<void()> open;
    switch (givenFileKind(file)) {
        case GivenFile::Score:
            open = [this, file] { openScoreFile(file); };
            break;
        case GivenFile::Mml:
            open = [this, file] { openMmlFile(file); };
            break;
        case GivenFile::Other:
            showNotice(quoted(file) +
                       QStringLiteral("は楽譜ファイル（.tsz）でも MML のファイルでもありません"));
            return;
    }
    // A file that is not there is refused before the question about changes.
    const ReadResult probe =
        readFileHead(file, 0, std::numeric_limits<std::size_t>::max(), Links::Follow);
    if (!probe.ok()) {
        showNotice(QString::fromStdString(readFaultText(file, probe)));
        return;
    }
    if (QApplication::activeModalWidget() != nullptr) {
        showNotice(QStringLiteral("開いている問い合わせに答えてからもう一度どうぞ"));
        return;
    }
    if (hasUnsavedChanges())
        askToKeepChanges(open);
    else
        open();
}

void Form1::setSettingsFile(std::filesystem::path file) {
    settingsFile_ = std::move(file);
}

void Form1::restoreWindowPlace() {
    if (settingsFile_.empty())
        return;
    const QByteArray geometry = readSetting(settingsFile_, kGeometryKey).toByteArray();
    // Qt keeps a restored window on the screen, but takes a cut-off value for
    // one of zeros: a value must be as long as the ones it writes and give a
    // window large enough to use. It is tried on a stand-in first, so that
    // damaged settings leave the window as a first start has it.
    if (geometry.size() != saveGeometry().size())
        return;
    QWidget standIn;
    if (!standIn.restoreGeometry(geometry) || standIn.width() < kSmallestKeptWidth ||
        standIn.height() < kSmallestKeptHeight)
        return;
    restoreGeometry(geometry);
}

std::string Form1::keepWindowPlace() {
    if (settingsFile_.empty())
        return {};
    return writeSetting(settingsFile_, kGeometryKey, saveGeometry());
}

}  // namespace tsuzuri
