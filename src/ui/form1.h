#pragma once

#include <QWidget>
#include <array>
#include <filesystem>
#include <memory>

#include "midi/sequencer.h"
#include "state/editor_state.h"

class QCheckBox;
class QLabel;
class QPlainTextEdit;
class QPushButton;

namespace tsuzuri {

// The one window. It owns the editor state and every control; its handlers
// (defined in the folder of their subsystem) read the controls, call the
// logic, write the controls back and redraw.
class Form1 : public QWidget {
    Q_OBJECT

public:
    Form1(Sequencer& sequencer, std::filesystem::path dataDir, QWidget* parent = nullptr);
    ~Form1() override;

    EditorState& state() { return *state_; }
    const std::filesystem::path& dataDir() const { return dataDir_; }

    // Start-up
    void Form_Load();

    // Playback
    void Command1_Click();
    void Command7_Click();

    // Controls, named as the program has always named them.
    QPlainTextEdit* Text1 = nullptr;
    QPushButton* Command1 = nullptr;
    QPushButton* Command7 = nullptr;
    std::array<QCheckBox*, kWindowTracks> Check3{};
    QLabel* Label6 = nullptr;

private:
    void createControls();
    void connectEvents();
    void showFailure(const std::string& message);

    std::unique_ptr<EditorState> state_;
    Sequencer& sequencer_;
    std::filesystem::path dataDir_;
};

}  // namespace tsuzuri
