#pragma once

#include <gtest/gtest.h>

#include <QApplication>
#include <QPushButton>
#include <memory>

#include "support/recording_sequencer.h"
#include "support/temp_dir.h"
#include "ui/form1.h"

namespace tsuzuri::test {

// The background colour a button is drawn with, as the handlers name colours
// (0xBBGGRR, or the system's button colour).
inline std::uint32_t shownBackColor(const QPushButton* button) {
    const QColor c = button->palette().color(QPalette::Button);
    if (c == QApplication::palette().color(QPalette::Button))
        return kButtonFace;
    return static_cast<std::uint32_t>(c.blue() << 16 | c.green() << 8 | c.red());
}

// A window on the offscreen platform with a recording sequencer and its own
// data directory, shown at its design size.
class FormTest : public ::testing::Test {
protected:
    void SetUp() override {
        form = std::make_unique<Form1>(sequencer, dir.path());
        form->show();
        QApplication::processEvents();
    }
    void TearDown() override { form.reset(); }

    EditorState& state() { return form->state(); }

    TempDir dir{"tsuzuri form"};
    RecordingSequencer sequencer;
    std::unique_ptr<Form1> form;
};

}  // namespace tsuzuri::test
