#pragma once

#include <QWidget>
#include <array>
#include <cstdint>
#include <filesystem>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "file/recovery_schedule.h"
#include "io/file_identity.h"
#include "midi/sound_engine.h"
#include "state/editor_state.h"
#include "score/glyph_item.h"

class QCheckBox;
class QComboBox;
class QFrame;
class QLabel;
class QLineEdit;
class QPlainTextEdit;
class QPushButton;
class QSlider;
class QThreadPool;
class QUndoStack;
class QTimer;

namespace tsuzuri {

class AudioExport;
class AudioRenderer;
class KeyboardPanel;
class ScoreCanvas;
class UpDown;
struct ShapeItem;
struct Accidental;
struct SavedPiece;

// Key codes of the canvas keys.
inline constexpr int kKeyEscape = 27;
inline constexpr int kKeyLeft = 37;
inline constexpr int kKeyUp = 38;
inline constexpr int kKeyRight = 39;
inline constexpr int kKeyDown = 40;
inline constexpr int kKeyDelete = 46;
inline constexpr int kKeyF5 = 116;
inline constexpr int kKeyF6 = 117;

// The window's client area at its design size, in pixels.
inline constexpr int kDesignWidth = 889;
inline constexpr int kDesignHeight = 416;

// Colours the handlers give buttons.
inline constexpr std::uint32_t kRed = 0x0000FF;           // active toggle, held key (BGR)
inline constexpr std::uint32_t kWhite = 0xFFFFFF;         // chosen palette button
inline constexpr std::uint32_t kButtonFace = 0x8000000F;  // the system's button colour

// What times the recovery copy: the steady clock and a timer of the window's,
// or a clock a test moves by hand.
class RecoveryClock {
public:
    virtual ~RecoveryClock() = default;
    // Milliseconds of a steady clock.
    virtual std::int64_t now() = 0;
    // Calls `wake` once, at `when` or soon after, in place of any call asked
    // for before.
    virtual void wakeAt(std::int64_t when, std::function<void()> wake) = 0;
    virtual void cancel() = 0;
};

// The one window. It owns the editor state and every control; its handlers
// (defined in the folder of their subsystem) read the controls, call the
// logic, write the controls back and redraw.
class Form1 : public QWidget {
    Q_OBJECT

public:
    // When the window makes its text boxes: with its other controls, or right
    // after it is first shown (the program's start: the window goes to the
    // screen without waiting for the fonts, and its first paint has them).
    enum class TextBoxes { WithControls, AfterShow };

    Form1(Sequencer& sequencer, std::filesystem::path dataDir, QWidget* parent = nullptr,
          TextBoxes textBoxes = TextBoxes::WithControls);
    ~Form1() override;

    void setVisible(bool visible) override;

    EditorState& state() { return *state_; }
    const EditorState& state() const { return *state_; }
    const std::filesystem::path& dataDir() const { return dataDir_; }

    // Appends text to the MML text box Text1.
    void appendToText1(const std::string& text);
    // Shows a short notice for the user in the read-out line (refusals,
    // confirmations); it goes away by itself after a few seconds.
    void showNotice(const QString& text);
    // Shows that writing `file` failed, with why: the notice stays until
    // `file` is written again, also behind later short notices.
    void showFailure(const std::filesystem::path& file, const QString& text);
    // `file` was written: a failure shown for it goes.
    void fileWritten(const std::filesystem::path& file);
    // What the sound engine reported last; the caption says when a part is missing.
    void setSoundStatus(SoundStatus status);
    // The caption: the program's name, the sound notice, the piece's file name
    // and a mark for unsaved changes.
    void updateCaption();
    // Where recovery copies go and where the file dialogs start.
    void setFolders(std::filesystem::path recoveryDir, std::filesystem::path documentsDir);
    // What times the recovery copy from now on.
    void setRecoveryClock(std::unique_ptr<RecoveryClock> clock);

    // --- Start-up (ui/form1.cpp)
    void Form_Load();
    void Form_MouseMove(int button, int shift, double x, double y);

    // --- Playback and preview (midi/)
    void Command1_Click();
    void Command7_Click();
    void noteon(std::uint8_t note);
    // Shows a failure to write trk.mid, or takes it away when it was written.
    void showPlaybackResult(const std::string& error);

    // --- Score editing (score/)
    void Picture2_MouseMove(int button, int shift, double x, double y);
    void disp(int index, int x, int y);
    void Image4_MouseDown(int index, int button, int shift, double x, double y);
    void Image4_MouseMove(int index, int button, int shift, double x, double y);
    void Picture2_KeyDown(int keyCode, int shift);
    void Picture1_KeyDown(int keyCode, int shift);
    void del();
    void Command17_Click();

    // --- Key signature (keysig/)
    void Command5_Click();
    void Command6_Click();
    void Command5_MouseDown(int button, int shift, double x, double y);
    void Command6_MouseDown(int button, int shift, double x, double y);
    void Command5_GotFocus();
    void Command6_GotFocus();
    void setflat(int n);
    void setsharp(int n);
    void setn(int x, int y, int element, int picture);
    void reptable(int degree, const std::string& name, int delta);

    // --- Score view and controls (view/)
    void dispn(std::int16_t first);
    void Command3_Click();
    void Command4_Click();
    void Command3_MouseMove(int button, int shift, double x, double y);
    void Command4_MouseMove(int button, int shift, double x, double y);
    void Slider1_MouseMove(int button, int shift, double x, double y);
    void Slider1_GotFocus();
    void progd(std::uint8_t program);
    // Makes `track` current and shows it: its number, the measures in view,
    // its instrument and its length.
    void showTrack(int track);
    // Slider1 shows the length of the current track: its maximum is the
    // track's last measure + 1.
    void showTrackLength();
    void Combo1_Change();
    void Combo1_Click();
    // The meter box: the piece's meter, one step of the history.
    void Combo2_Click();
    void UpDown1_Change();
    void Text3_Change();
    void UpDown3_Change();
    void UpDown4_Change();
    void Check1_Click();
    void Check3_Click(int index);
    // Return in the tempo box or leaving it: a tempo 32..255 becomes the
    // piece's, one step of the history; any other text is refused.
    void Text4_Confirm();
    // Gives the piece `tempo` (held within 32..255) and shows it in Text4.
    // Records no step: the caller that makes it an edit records one.
    void showTempo(int tempo);
    void Command12_Click();
    void Command13_Click();
    void Command12_MouseDown(int button, int shift, double x, double y);
    void Command13_MouseDown(int button, int shift, double x, double y);
    void Command12_GotFocus();
    void Command13_GotFocus();
    void Command12_MouseMove(int button, int shift, double x, double y);
    void Command13_MouseMove(int button, int shift, double x, double y);
    void Command2_Click(int index);
    void Command2_KeyDown(int index, int keyCode, int shift);
    void Command16_Click();
    void Command8_KeyDown(int keyCode, int shift);
    void Command8_KeyUp(int keyCode, int shift);
    // The stem-down glyph store only frames the pressed picture: the button
    // and the position do not matter to it.
    void Image2_MouseDown(int index);
    void Image2_MouseUp(int index);

    // --- Score files (file/)
    void Command14_Click();   // save (Ctrl+S)
    void Command18_Click();   // load (Ctrl+O)
    void saveUnderNewName();  // Ctrl+Shift+S
    // Writes the piece to `path` as a score file, in the background; `then`
    // runs once it is written.
    void saveScore(const std::filesystem::path& path, std::function<void()> then = {});
    // Reads the score file at `path` in the background and opens it, or says
    // why it cannot.
    void openScoreFile(const std::filesystem::path& path);
    // Reads the MML file at `path` in the background and opens it as a new,
    // unsaved piece, one track a line, or says why it cannot.
    void openMmlFile(const std::filesystem::path& path);
    // Whether a save or load is under way.
    bool fileBusy() const { return fileBusy_; }
    // The piece as the score file keeps it.
    std::unique_ptr<SavedPiece> currentPiece() const;
    // Replaces the piece in the window by the one `saved` in `path`: the view,
    // the controls and every compiled track show it as it was saved.
    void openPiece(const SavedPiece& saved, const std::filesystem::path& path);
    // A change of the piece that the history does not keep (the ticks of the
    // track boxes, the MML text): the unsaved mark, the caption and the
    // recovery copy follow it.
    void changedOutsideHistory();
    bool hasUnsavedChanges() const;
    const std::filesystem::path& documentPath() const { return documentPath_; }

    // --- At home on the desktop (ui/form1_desktop.cpp)
    // Opens what the desktop hands over (the command line, a drop on the
    // window) as "load" does, asking first about unsaved changes: one score
    // file or MML file; anything else is refused with a notice.
    void openGivenFiles(const std::vector<std::filesystem::path>& files);
    // Where the window keeps its size and place between runs.
    void setSettingsFile(std::filesystem::path file);
    // Gives the window the size and place it had when it was last closed;
    // without them (the first start, damaged settings) it keeps its design size.
    void restoreWindowPlace();
    // Keeps the window's size and place for the next start; "" or why not.
    std::string keepWindowPlace();

    // --- Audio export (file/form1_audio_export.cpp)
    // What renders the piece for a WAV file; without one there is no export.
    void setAudioRenderer(AudioRenderer* renderer);
    bool audioExportRunning() const;

    // --- Undo and redo (ui/form1_undo.cpp)
    // Runs `edit`, a change of the current track's score; when the score
    // differs afterwards, the change is one step of the history, named `text`,
    // and the answer is true.
    bool editScore(const QString& text, const std::function<void()>& edit);
    // Records a change of a setting of the piece made by the user: the key
    // signature, the octave setting, the number of tracks, the tempo, the
    // meter (its place in the meter box's list).
    enum class Setting { KeySignature, Octave, TrackCount, Tempo, Meter };
    void settingChanged(Setting setting, int before, int after);
    void undo();  // Ctrl+Z
    void redo();  // Ctrl+Y, Ctrl+Shift+Z
    QUndoStack* undoStack() const { return undoStack_; }
    // The memory the history holds, in bytes.
    std::size_t historyBytes() const;
    // Gives the setting `value`, as its control would, without recording it.
    void applySetting(Setting setting, int value);
    // Shows a score step undone or redone: its track current, its measure in
    // the view, the canvas and the controls redrawn.
    void showChangedScore(int track, std::optional<int> measure);
    // Runs `apply`, a change that is no edit of the user's: a step undone or
    // redone, a file opened, start-up. What the handlers do meanwhile makes no
    // step of the history and no unsaved change.
    void applyUnrecorded(const std::function<void()>& apply);

    // --- MML text tools (mml/)
    // Replaces Text1's text with `text`, the program's own (compiled MML).
    // Text typed there since the program last wrote it is not lost: the
    // replacement is then a step of the history ("MMLの置き換え").
    void replaceText1(const QString& text);
    // Swaps Text1's text with `other`: what the step of a replacement does
    // when it is undone or redone, so that neither text is ever dropped.
    void swapText1(QString& other);
    void Command15_Click();
    // Ctrl+Return in Text1: its text replaces the current track's score, as
    // one step of the history, or the notice line says why it cannot.
    void readText1IntoTrack();
    void Image1_MouseDown(int index, int button, int shift, double x, double y);
    void Image1_MouseUp(int index, int button, int shift, double x, double y);
    void ennote(const std::string& note);

    // --- Controls, named as the program has always named them.
    // Top bar
    QLabel* Label8 = nullptr;
    QLineEdit* Text5 = nullptr;
    UpDown* UpDown2 = nullptr;
    QLabel* Label9 = nullptr;
    QLineEdit* Text6 = nullptr;
    UpDown* UpDown3 = nullptr;
    QLabel* Label10 = nullptr;
    QLabel* Label7 = nullptr;
    QLineEdit* Text3 = nullptr;
    UpDown* UpDown1 = nullptr;
    QLabel* Label1 = nullptr;
    QLineEdit* Text4 = nullptr;
    QComboBox* Combo1 = nullptr;
    QPushButton* Command18 = nullptr;
    QPushButton* Command14 = nullptr;
    QLabel* Label14 = nullptr;  // "拍子"
    QComboBox* Combo2 = nullptr;
    // Over a short or long measure: the beats it holds against the meter.
    QLabel* Label15 = nullptr;
    // Score area
    QPushButton* Command5 = nullptr;
    QPushButton* Command6 = nullptr;
    ScoreCanvas* Picture2 = nullptr;
    QPushButton* Command3 = nullptr;
    QPushButton* Command4 = nullptr;
    QPushButton* Command12 = nullptr;
    QPushButton* Command13 = nullptr;
    QSlider* Slider1 = nullptr;
    // Palette and tool rows
    std::array<QPushButton*, kPaletteCount> Command2{};
    QPushButton* Command17 = nullptr;
    QFrame* Frame1 = nullptr;
    QPushButton* Command1 = nullptr;
    QPushButton* Command7 = nullptr;
    QPushButton* Command10 = nullptr;
    QPushButton* Command11 = nullptr;
    std::array<QCheckBox*, kWindowTracks> Check3{};
    // Text area
    QLabel* Label2 = nullptr;
    QLabel* Label3 = nullptr;
    QPlainTextEdit* Text1 = nullptr;
    QPushButton* Command8 = nullptr;
    QPushButton* Command9 = nullptr;
    QLabel* Label4 = nullptr;
    QLabel* Label5 = nullptr;
    QLabel* Label6 = nullptr;
    QPushButton* Command15 = nullptr;
    QCheckBox* Check2 = nullptr;
    QLabel* Label13 = nullptr;
    QLabel* Label12 = nullptr;
    QLineEdit* Text7 = nullptr;
    UpDown* UpDown4 = nullptr;
    QPushButton* Command16 = nullptr;
    QCheckBox* Check1 = nullptr;
    QPlainTextEdit* Text2 = nullptr;
    // Keyboard panel
    KeyboardPanel* Picture1 = nullptr;
    // Where short notices for the user appear (refusals, failures).
    QLabel* Notice = nullptr;

    // Light elements, drawn by their containers: Image4, Image3 and Shape1 by
    // Picture2, Image1 and the guide lines by Picture1, Image2 by the window.
    GlyphItem& Image4(int i);
    GlyphItem& Image3(int i);
    GlyphItem& Image1(int i);
    GlyphItem& Image2(int i);
    ShapeItem& Shape1();

    // Gives a button a background colour named as a BGR value (kRed, kWhite,
    // kButtonFace).
    static void setBackColor(QPushButton* button, std::uint32_t bgr);

protected:
    void closeEvent(QCloseEvent* event) override;
    void paintEvent(QPaintEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;

private:
    void createControls();
    void createTextBoxes();
    void createPianoKeys();
    void connectEvents();
    int image2At(double x, double y) const;
    void createNotice();
    // Puts `text` into the notice line, the middle of a long file name elided
    // so that it fits, the whole text in the line's tooltip.
    void setNoticeText(const QString& text);
    // Parks the cursor glyph above the canvas, out of sight.
    void hideCursorGlyph();
    void addAccidental(const Accidental& accidental, int k, int picture, int delta);
    void createFileActions();
    void createUndo();
    // The caption's unsaved mark and the recovery copy follow whether the piece
    // now has unsaved changes; run after every change.
    void updateUnsavedMark();
    // Counts the piece as it stands now as the saved one.
    void markSaved();
    // Every change of the piece, recorded in the history or not, undo and
    // redo too: the count moves, the caption and the recovery copy follow.
    void countChange();
    // Saves to `path`; with `expected`, only while the file there is still
    // the one this window last read or wrote, otherwise it asks first.
    void writeScore(const std::filesystem::path& path, std::function<void()> then,
                    std::optional<FileIdentity> expected);
    // Another program changed the piece's file: overwrite it, save under
    // another name or leave it.
    void askAboutChangedFile(const std::filesystem::path& path, std::function<void()> then);
    // Whether `path` lies in the recovery folder, however its name is spelled.
    bool inRecoveryFolder(const std::filesystem::path& path) const;
    // Writes Text1 as the program's own text.
    void writeText1(const QString& text);
    // Makes the replacement of Text1's text `typed` one step of the history.
    void recordText1Replaced(QString typed);
    void askToKeepChanges(std::function<void()> then);
    void askSavePath(const QString& title, std::function<void()> then);
    void exportTo(const std::filesystem::path& path, bool midi);
    void askOpenPath();
    // Replaces the piece in the window by a new one read from `from`: nothing
    // to undo, not saved anywhere yet.
    void openNewPiece(const SavedPiece& saved, const std::filesystem::path& from);
    void connectText1Reading();
    void showKeySignature(int keySignature);
    // Gives the record, the controls and every compiled track the piece `saved`.
    void showPiece(const SavedPiece& saved);
    void acceptFileDrops();
    // The save dialog's WAV filter; when the piece cannot be rendered it says why.
    QString wavFilter() const;
    void exportWav(const std::filesystem::path& path);
    void createRecoveryClock();
    // The recovery copy is due after a change, by the schedule.
    void scheduleRecoveryCopy();
    void stopRecoveryCopies();
    void recoveryCopyDue();
    void writeRecoveryCopy(bool wait);
    void removeRecoveryCopy();
    void tellOfRecoveryCopies();

    std::unique_ptr<EditorState> state_;
    Sequencer& sequencer_;
    std::filesystem::path dataDir_;
    Table<GlyphItem, 20> image2_;
    int pressedImage2_ = -1;
    // Ends a short notice; the failures still standing, latest last.
    QTimer* noticeTimer_ = nullptr;
    std::vector<std::pair<std::filesystem::path, QString>> failures_;
    SoundStatus soundStatus_ = SoundStatus::Loading;
    // The piece's file, and that file as this window last read or wrote it.
    // The piece has unsaved changes while the history is away from its clean
    // state or changes outside it were made since the save.
    std::filesystem::path documentPath_;
    std::optional<FileIdentity> documentIdentity_;
    // Changes of the piece of any kind, counted.
    std::uint64_t changeCount_ = 0;
    // Changes the history does not keep, counted; the count last saved.
    std::uint64_t changesOutsideHistory_ = 0;
    std::uint64_t savedChangesOutsideHistory_ = 0;
    QUndoStack* undoStack_ = nullptr;
    bool applyingUnrecorded_ = false;  // inside applyUnrecorded
    bool closing_ = false;
    bool fileBusy_ = false;  // a save or load runs; a second one waits for it
    std::filesystem::path recoveryDir_;
    std::filesystem::path documentsDir_;
    std::filesystem::path recoveryPath_;  // this window's recovery copy
    // A recovery copy opened into this window: it goes once the piece is saved.
    std::filesystem::path openedRecoveryCopy_;
    std::unique_ptr<RecoveryClock> recoveryClock_;
    RecoverySchedule recoverySchedule_;
    std::uint64_t copiedChange_ = 0;  // the change count the last copy holds
    // A copy is being written; one more is due once it is done. On a disk
    // that stalls, the copies wait as one, not as a queue of pieces.
    bool recoveryWriting_ = false;
    bool recoveryBehind_ = false;
    QThreadPool* recoveryPool_ = nullptr;
    std::filesystem::path settingsFile_;
    AudioRenderer* audioRenderer_ = nullptr;
    AudioExport* audioExport_ = nullptr;
    // What the program last wrote into Text1, and whether the user has typed
    // there since.
    QString text1Written_;
    bool text1Typed_ = false;
};

}  // namespace tsuzuri
