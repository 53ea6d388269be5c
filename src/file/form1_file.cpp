// Form1's score files: save (Ctrl+S), save under a new name (Ctrl+Shift+S),
// load (Ctrl+O), export to MIDI and MML, the question before unsaved changes
// are dropped, and the unsaved mark. Files are read and written off the
// user-interface thread; the window goes on while they are.
#include <QCheckBox>
#include <QCloseEvent>
#include <QComboBox>
#include <QFileDialog>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QShortcut>
#include <QSignalBlocker>
#include <QTimer>
#include <QUndoStack>
#include <QUrl>
#include <algorithm>
#include <cstdlib>

#include "file/background.h"
#include "file/export.h"
#include "file/mml_file.h"
#include "file/score_file.h"
#include "file/score_save.h"
#include "io/safe_file.h"
#include "midi/track_compiler.h"
#include "score/selection.h"
#include "state/tables.h"
#include "ui/form1.h"
#include "ui/updown.h"
#include "view/render.h"
#include "view/score_canvas.h"

namespace tsuzuri {

namespace {

const QString kScoreFilter = QStringLiteral("綴 楽譜 (*.tsz)");
const QString kMidiFilter = QStringLiteral("Standard MIDI File (*.mid)");
const QString kMmlFilter = QStringLiteral("MML (*.mml)");
// Opened MML is also plain text under its usual name.
const QString kMmlOpenFilter = QStringLiteral("MML (*.mml *.txt)");
// The WAV filter's text says why when there is no export: it is known by its pattern.
const QString kWavPattern = QStringLiteral("(*.wav)");
const QString kAnyFilter = QStringLiteral("すべてのファイル (*)");
const QString kUntitled = QStringLiteral("無題");

std::vector<std::uint8_t> bytesOf(const std::string& text) {
    return {text.begin(), text.end()};
}

std::filesystem::path pathOf(const QString& file) {
    return std::filesystem::path(file.toStdString());
}

QString nameOf(const std::filesystem::path& path) {
    return QString::fromStdString(path.filename().string());
}

QString quoted(const std::filesystem::path& path) {
    return QStringLiteral("「%1」").arg(QString::fromStdString(path.string()));
}

enum class FileKind { Score, Midi, Mml, Wav };

// What a chosen name asks for: its extension when it is one of the three,
// otherwise the filter chosen in the dialog.
FileKind kindOf(const QString& file, const QString& filter) {
    if (file.endsWith(".mid", Qt::CaseInsensitive))
        return FileKind::Midi;
    if (file.endsWith(".mml", Qt::CaseInsensitive))
        return FileKind::Mml;
    if (file.endsWith(".tsz", Qt::CaseInsensitive))
        return FileKind::Score;
    if (file.endsWith(".wav", Qt::CaseInsensitive))
        return FileKind::Wav;
    return filter == kMidiFilter          ? FileKind::Midi
           : filter == kMmlFilter         ? FileKind::Mml
           : filter.endsWith(kWavPattern) ? FileKind::Wav
                                          : FileKind::Score;
}

QString suffixOf(const QString& filter) {
    return filter == kMidiFilter          ? "mid"
           : filter == kMmlFilter         ? "mml"
           : filter.endsWith(kWavPattern) ? "wav"
                                          : "tsz";
}

// A read score file: the piece and the file it came from, or the whole
// message of why there is none.
struct OpenedScore {
    std::shared_ptr<SavedPiece> saved;
    std::string error;
    FileIdentity identity;
    std::vector<std::string> unknownMembers;
};

OpenedScore readScoreFile(const std::filesystem::path& path) {
    const ReadResult file = readRegularFile(path, kMaxScoreFileBytes, Links::Follow);
    if (!file.ok()) {
        const std::string fault = file.fault == ReadFault::TooLarge
                                      ? "「" + path.string() + "」は楽譜にしては大きすぎます"
                                      : readFaultText(path, file);
        return {nullptr, fault, {}, {}};
    }
    ScoreRead read = readScoreText(
        std::string_view(reinterpret_cast<const char*>(file.bytes.data()), file.bytes.size()));
    if (!read.saved)
        return {nullptr, "「" + path.string() + "」を開けません：" + read.error, {}, {}};
    return {std::shared_ptr<SavedPiece>(std::move(read.saved)),
            {},
            file.identity,
            std::move(read.unknownMembers)};
}

OpenedScore readMmlFile(const std::filesystem::path& path, int octave) {
    const ReadResult file = readRegularFile(path, kMaxMmlFileBytes, Links::Follow);
    if (!file.ok()) {
        const std::string fault = file.fault == ReadFault::TooLarge
                                      ? "「" + path.string() + "」は MML にしては大きすぎます"
                                      : readFaultText(path, file);
        return {nullptr, fault, {}, {}};
    }
    MmlFileRead read = readMmlFileText(
        std::string_view(reinterpret_cast<const char*>(file.bytes.data()), file.bytes.size()),
        octave);
    if (!read.saved)
        return {nullptr, "「" + path.string() + "」を開けません：" + read.error, {}, {}};
    return {std::shared_ptr<SavedPiece>(std::move(read.saved)), {}, {}, {}};
}

// Whether a chosen file is MML text: by its name, or by the filter chosen for
// a name that says neither.
bool isMmlFile(const QString& file, const QString& filter) {
    if (file.endsWith(".mml", Qt::CaseInsensitive) || file.endsWith(".txt", Qt::CaseInsensitive))
        return true;
    return filter == kMmlOpenFilter && !file.endsWith(".tsz", Qt::CaseInsensitive);
}

}  // namespace

void Form1::createFileActions() {
    createRecoveryClock();
    Command14->setEnabled(true);
    Command18->setEnabled(true);
    connect(Command14, &QPushButton::clicked, this, [this] { Command14_Click(); });
    connect(Command18, &QPushButton::clicked, this, [this] { Command18_Click(); });
    auto shortcut = [this](const char* keys, std::function<void()> action) {
        auto* s = new QShortcut(QKeySequence(QString::fromLatin1(keys)), this);
        s->setContext(Qt::WindowShortcut);
        connect(s, &QShortcut::activated, this, std::move(action));
    };
    shortcut("Ctrl+S", [this] { Command14_Click(); });
    shortcut("Ctrl+Shift+S", [this] { saveUnderNewName(); });
    shortcut("Ctrl+O", [this] { Command18_Click(); });
    // Start-up looks for copies left by a window that did not save.
    QTimer::singleShot(0, this, [this] { tellOfRecoveryCopies(); });
}

void Form1::setFolders(std::filesystem::path recoveryDir, std::filesystem::path documentsDir) {
    recoveryDir_ = std::move(recoveryDir);
    documentsDir_ = std::move(documentsDir);
    recoveryPath_.clear();
}

void Form1::updateCaption() {
    QString caption =
        QStringLiteral("綴 Tsuzuri") + QString::fromStdString(soundNotice(soundStatus_));
    if (!documentPath_.empty() || hasUnsavedChanges())
        caption +=
            QStringLiteral(" — ") + (documentPath_.empty() ? kUntitled : nameOf(documentPath_));
    if (hasUnsavedChanges())
        caption += QStringLiteral(" *");
    setWindowTitle(caption);
}

void Form1::changedOutsideHistory() {
    if (applyingUnrecorded_)
        return;
    ++changesOutsideHistory_;
    countChange();
}

void Form1::countChange() {
    ++changeCount_;
    updateUnsavedMark();
}

void Form1::updateUnsavedMark() {
    updateCaption();
    scheduleRecoveryCopy();
}

bool Form1::hasUnsavedChanges() const {
    return !undoStack_->isClean() || changesOutsideHistory_ != savedChangesOutsideHistory_;
}

void Form1::markSaved() {
    undoStack_->setClean();
    savedChangesOutsideHistory_ = changesOutsideHistory_;
}

// --- Saving

void Form1::Command14_Click() {
    if (documentPath_.empty() || inRecoveryFolder(documentPath_))
        askSavePath(QStringLiteral("保存"), {});
    else
        saveScore(documentPath_, {});
    Picture2->setFocus();
}

void Form1::saveUnderNewName() {
    askSavePath(QStringLiteral("名前を付けて保存"), {});
}

// The save dialog. Saving on the way to another action (closing, loading)
// offers the score file only; otherwise the export formats are offered too,
// and exporting leaves the piece's own file and its unsaved mark alone.
void Form1::askSavePath(const QString& title, std::function<void()> then) {
    auto* dialog = new QFileDialog(this, title);
    dialog->setObjectName("SaveDialog");
    dialog->setAttribute(Qt::WA_DeleteOnClose);
    dialog->setOption(QFileDialog::DontUseNativeDialog);
    dialog->setAcceptMode(QFileDialog::AcceptSave);
    QStringList filters{kScoreFilter};
    if (!then)
        filters << kMidiFilter << kMmlFilter << wavFilter();
    dialog->setNameFilters(filters);
    dialog->setDefaultSuffix("tsz");
    connect(dialog, &QFileDialog::filterSelected, dialog,
            [dialog](const QString& filter) { dialog->setDefaultSuffix(suffixOf(filter)); });
    const std::filesystem::path folder =
        documentPath_.empty() ? documentsDir_ : documentPath_.parent_path();
    dialog->setDirectory(QString::fromStdString(folder.string()));
    dialog->selectFile(documentPath_.empty() ? kUntitled + ".tsz" : nameOf(documentPath_));
    connect(dialog, &QFileDialog::fileSelected, this, [this, dialog, then](const QString& file) {
        switch (kindOf(file, dialog->selectedNameFilter())) {
            case FileKind::Score:
                saveScore(pathOf(file), then);
                break;
            case FileKind::Midi:
                exportTo(pathOf(file), true);
                break;
            case FileKind::Mml:
                exportTo(pathOf(file), false);
                break;
            case FileKind::Wav:
                exportWav(pathOf(file));
                break;
        }
    });
    dialog->open();
}

void Form1::saveScore(const std::filesystem::path& path, std::function<void()> then) {
    writeScore(path, std::move(then),
               path == documentPath_ ? documentIdentity_ : std::optional<FileIdentity>());
}

void Form1::writeScore(const std::filesystem::path& path, std::function<void()> then,
                       std::optional<FileIdentity> expected) {
    if (fileBusy_) {
        showNotice(QStringLiteral("前の読み書きが終わってからもう一度どうぞ"));
        return;
    }
    // The recovery folder is the program's: its copies are pruned there.
    if (inRecoveryFolder(path)) {
        showNotice(
            QStringLiteral("復元用コピーのフォルダには保存できません。別の場所を選んでください"));
        askSavePath(QStringLiteral("保存"), then);
        return;
    }
    fileBusy_ = true;
    // What the file will hold is the piece as it stands at this count.
    const std::uint64_t change = changeCount_;
    auto bytes =
        std::make_shared<std::vector<std::uint8_t>>(bytesOf(writeScoreText(*currentPiece())));
    runInBackground<ScoreSaved>(
        this, [path, bytes, expected] { return saveScoreBytes(path, *bytes, expected); },
        [this, path, change, then](const ScoreSaved& saved) {
            fileBusy_ = false;
            if (saved.outcome == ScoreSaved::Outcome::ChangedOnDisk) {
                askAboutChangedFile(path, then);
                return;
            }
            if (saved.outcome == ScoreSaved::Outcome::Failed) {
                showFailure(path, QString::fromStdString(saved.error));
                return;
            }
            fileWritten(path);
            documentPath_ = path;
            documentIdentity_ = saved.identity;
            // A change made while the file was written is not in it.
            const bool whole = changeCount_ == change;
            if (whole)
                markSaved();
            else
                undoStack_->resetClean();
            updateUnsavedMark();
            if (!hasUnsavedChanges())
                removeRecoveryCopy();
            if (!openedRecoveryCopy_.empty()) {
                recoveryPool_->start([copy = openedRecoveryCopy_] {
                    std::error_code ignored;
                    std::filesystem::remove(copy, ignored);
                });
                openedRecoveryCopy_.clear();
            }
            if (!whole) {
                showNotice(
                    quoted(path) +
                    QStringLiteral("に保存しました。保存の間の変更はまだ保存されていません"));
                return;
            }
            showNotice(quoted(path) + QStringLiteral("に保存しました"));
            if (then)
                then();
        });
}

void Form1::askAboutChangedFile(const std::filesystem::path& path, std::function<void()> then) {
    auto* box = new QMessageBox(
        QMessageBox::Warning, QStringLiteral("綴 Tsuzuri — ファイルの変更"),
        quoted(path) +
            QStringLiteral("は、この窓で開くか保存したあとに、ほかで書き換えられています。"
                           "上書きすると、ほかでの変更は失われます。"),
        QMessageBox::NoButton, this);
    box->setObjectName("ChangedOnDisk");
    box->setAttribute(Qt::WA_DeleteOnClose);
    QPushButton* overwrite = box->addButton(QStringLiteral("上書き(&O)"), QMessageBox::AcceptRole);
    QPushButton* saveAs =
        box->addButton(QStringLiteral("名前を付けて保存(&A)"), QMessageBox::ActionRole);
    QPushButton* cancel = box->addButton(QStringLiteral("キャンセル"), QMessageBox::RejectRole);
    box->setDefaultButton(saveAs);
    box->setEscapeButton(cancel);
    connect(box, &QMessageBox::buttonClicked, this,
            [this, path, then, overwrite, saveAs](QAbstractButton* b) {
                if (b == overwrite)
                    writeScore(path, then, std::nullopt);
                else if (b == saveAs)
                    askSavePath(QStringLiteral("名前を付けて保存"), then);
            });
    box->open();
}

void Form1::exportTo(const std::filesystem::path& path, bool midi) {
    auto bytes = std::make_shared<std::vector<std::uint8_t>>(
        midi ? exportMidi(state().piece, state().tables)
             : bytesOf(exportMml(state().piece, state().tables)));
    runInBackground<std::string>(
        this, [path, bytes] { return writeFileAtomically(path, *bytes, Durability::Sync); },
        [this, path](const std::string& error) {
            if (!error.empty()) {
                showFailure(path, QString::fromStdString(error));
                return;
            }
            fileWritten(path);
            showNotice(quoted(path) + QStringLiteral("に書き出しました"));
        });
}

// --- Loading

void Form1::Command18_Click() {
    if (hasUnsavedChanges())
        askToKeepChanges([this] { askOpenPath(); });
    else
        askOpenPath();
    Picture2->setFocus();
}

void Form1::askOpenPath() {
    auto* dialog = new QFileDialog(this, QStringLiteral("開く"));
    dialog->setObjectName("OpenDialog");
    dialog->setAttribute(Qt::WA_DeleteOnClose);
    dialog->setOption(QFileDialog::DontUseNativeDialog);
    dialog->setAcceptMode(QFileDialog::AcceptOpen);
    dialog->setFileMode(QFileDialog::ExistingFile);
    dialog->setNameFilters({kScoreFilter, kMmlOpenFilter, kAnyFilter});
    const std::filesystem::path folder =
        documentPath_.empty() ? documentsDir_ : documentPath_.parent_path();
    dialog->setDirectory(QString::fromStdString(folder.string()));
    QList<QUrl> places{QUrl::fromLocalFile(QString::fromStdString(documentsDir_.string()))};
    std::error_code ignored;
    if (std::filesystem::is_directory(recoveryDir_, ignored))
        places << QUrl::fromLocalFile(QString::fromStdString(recoveryDir_.string()));
    dialog->setSidebarUrls(places);
    connect(dialog, &QFileDialog::fileSelected, this, [this, dialog](const QString& file) {
        if (isMmlFile(file, dialog->selectedNameFilter()))
            openMmlFile(pathOf(file));
        else
            openScoreFile(pathOf(file));
    });
    dialog->open();
}

void Form1::openScoreFile(const std::filesystem::path& path) {
    if (fileBusy_) {
        showNotice(QStringLiteral("前の読み書きが終わってからもう一度どうぞ"));
        return;
    }
    fileBusy_ = true;
    runInBackground<OpenedScore>(
        this, [path] { return readScoreFile(path); },
        [this, path](const OpenedScore& opened) {
            fileBusy_ = false;
            if (!opened.saved) {
                showNotice(QString::fromStdString(opened.error));
                return;
            }
            openPiece(*opened.saved, path);
            if (documentPath_ == path)
                documentIdentity_ = opened.identity;
            if (!opened.unknownMembers.empty()) {
                QString names;
                for (const std::string& name : opened.unknownMembers)
                    names += QStringLiteral("「%1」").arg(QString::fromStdString(name));
                showFailure(path, quoted(path) + QStringLiteral("の") + names +
                                      QStringLiteral("は、この綴の知らない項目です。"
                                                     "保存すると、その項目はなくなります"));
            }
        });
}

void Form1::openMmlFile(const std::filesystem::path& path) {
    if (fileBusy_) {
        showNotice(QStringLiteral("前の読み書きが終わってからもう一度どうぞ"));
        return;
    }
    fileBusy_ = true;
    runInBackground<OpenedScore>(
        this, [path, octave = state().piece.octave] { return readMmlFile(path, octave); },
        [this, path](const OpenedScore& opened) {
            fileBusy_ = false;
            if (!opened.saved) {
                showNotice(QString::fromStdString(opened.error));
                return;
            }
            openNewPiece(*opened.saved, path);
        });
}

std::unique_ptr<SavedPiece> Form1::currentPiece() const {
    const EditorState& s = state();
    auto saved = std::make_unique<SavedPiece>();
    saved->piece = s.piece;
    for (TrackScore& track : saved->piece.score)
        clearUnusedSlots(track);
    saved->curTrack = std::clamp<int>(s.view.curTrack, 0, kWindowTracks - 1);
    saved->firstMeasure = clampViewStart(s.view.firstMeasure);
    saved->mml = Text1->toPlainText().toStdString();
    return saved;
}

// Shows `keySignature` as the buttons would have built it: cleared, then one
// accidental after another.
void Form1::showKeySignature(int keySignature) {
    EditorState& s = state();
    s.piece.keySignature = 0;
    setflat(0);
    for (int k = 1; k <= std::abs(keySignature); ++k) {
        s.piece.keySignature = static_cast<std::int16_t>(keySignature < 0 ? -k : k);
        if (keySignature < 0)
            setflat(s.piece.keySignature);
        else
            setsharp(s.piece.keySignature);
    }
}

void Form1::openPiece(const SavedPiece& saved, const std::filesystem::path& path) {
    // What stood in the notice line about the piece's former file goes with it.
    if (!documentPath_.empty() && documentPath_ != path)
        fileWritten(documentPath_);
    // The controls take the piece's settings; none of that is a step.
    applyUnrecorded([&] { showPiece(saved); });

    // A recovery copy opened is a piece that was never saved: it keeps its
    // unsaved mark and is saved under a name of the user's, and goes once it
    // is. The folder is known by the file, however its name is spelled.
    const bool recovered = inRecoveryFolder(path);
    documentPath_ = recovered ? std::filesystem::path() : path;
    documentIdentity_.reset();
    openedRecoveryCopy_ = recovered ? path : std::filesystem::path();
    undoStack_->clear();
    markSaved();
    stopRecoveryCopies();
    if (recovered)
        changedOutsideHistory();
    else
        removeRecoveryCopy();
    updateCaption();
    showNotice(quoted(path) + QStringLiteral("を開きました"));
}

void Form1::openNewPiece(const SavedPiece& saved, const std::filesystem::path& from) {
    if (!documentPath_.empty())
        fileWritten(documentPath_);
    applyUnrecorded([&] { showPiece(saved); });
    // A piece made from another file has no file of its own yet: "save" asks
    // for a name, and no file it could replace is remembered.
    documentPath_.clear();
    documentIdentity_.reset();
    openedRecoveryCopy_.clear();
    undoStack_->clear();
    markSaved();
    removeRecoveryCopy();
    changedOutsideHistory();
    updateCaption();
    showNotice(quoted(from) + QStringLiteral("を新しい曲として開きました"));
}

void Form1::showPiece(const SavedPiece& saved) {
    EditorState& s = state();
    const Piece& piece = saved.piece;
    dropSelection(s, Picture2->image4);
    if (s.view.keyEntryMode != 0) {
        s.view.keyEntryMode = 0;
        setBackColor(Command16, kButtonFace);
    }
    for (int t = 0; t < kWindowTracks; ++t)
        s.piece.score[t] = piece.score[t];
    UpDown1->setValue(piece.octave);
    Text3->setText(QString::number(piece.octave));
    showKeySignature(piece.keySignature);
    UpDown3->setValue(piece.trackCount);
    Text6->setText(QString::number(piece.trackCount));
    s.piece.trackCount = piece.trackCount;
    s.piece.meter = piece.meter;
    Combo2->setCurrentIndex(meterEntry(piece.meter).value_or(0));
    showTempo(piece.tempo);
    s.view.firstMeasure = static_cast<std::int16_t>(saved.firstMeasure);
    showTrack(saved.curTrack);
    // The greyed boxes show an unticked track greyed, as at start-up; the
    // piece keeps every tick as the file has it.
    for (int i = 0; i < kWindowTracks; ++i) {
        QCheckBox* box = Check3[static_cast<std::size_t>(i)];
        const Qt::CheckState unticked = box->isTristate() ? Qt::PartiallyChecked : Qt::Unchecked;
        box->setCheckState(piece.ticked[i] ? Qt::Checked : unticked);
        s.piece.ticked[i] = piece.ticked[i];
    }
    writeText1(QString::fromStdString(saved.mml));
    Text2->clear();
    Label13->clear();
    // all♪ plays the opened piece at once; tracks without notes play nothing.
    for (int t = 0; t < kStoredTracks; ++t) {
        if (t < kWindowTracks && trackHasSlots(s.piece, t)) {
            storeTrackBuffer(s, t, compileTrack(s.piece, s.tables, t).chunk);
        } else {
            s.trackBuffer[t].clear();
            s.trackChunkSize[t] = 0;
        }
    }
    Picture2->setFocus();
}

// --- Unsaved changes

void Form1::askToKeepChanges(std::function<void()> then) {
    const QString text = documentPath_.empty() ? QStringLiteral("この曲への変更を保存しますか？")
                                               : quoted(documentPath_.filename()) +
                                                     QStringLiteral("への変更を保存しますか？");
    auto* box = new QMessageBox(QMessageBox::Warning, QStringLiteral("綴 Tsuzuri — 変更の保存"),
                                text, QMessageBox::NoButton, this);
    box->setObjectName("KeepChanges");
    box->setAttribute(Qt::WA_DeleteOnClose);
    QPushButton* save = box->addButton(QStringLiteral("保存(&S)"), QMessageBox::AcceptRole);
    QPushButton* discard =
        box->addButton(QStringLiteral("保存しない(&N)"), QMessageBox::DestructiveRole);
    QPushButton* cancel = box->addButton(QStringLiteral("キャンセル"), QMessageBox::RejectRole);
    box->setDefaultButton(save);
    box->setEscapeButton(cancel);
    connect(box, &QMessageBox::buttonClicked, this,
            [this, save, discard, then](QAbstractButton* b) {
                if (b == save && documentPath_.empty())
                    askSavePath(QStringLiteral("保存"), then);
                else if (b == save)
                    saveScore(documentPath_, then);
                else if (b == discard)
                    then();
            });
    box->open();
}

void Form1::closeEvent(QCloseEvent* event) {
    if (hasUnsavedChanges() && !closing_) {
        event->ignore();
        askToKeepChanges([this] {
            closing_ = true;
            close();
        });
        return;
    }
    // Changes the user chose not to save are still kept as a recovery copy.
    if (hasUnsavedChanges())
        writeRecoveryCopy(true);
    else
        removeRecoveryCopy();
    event->accept();
}

}  // namespace tsuzuri
