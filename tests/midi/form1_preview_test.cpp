#include <gtest/gtest.h>

#include "midi/preview.h"
#include "support/recording_sequencer.h"
#include "support/temp_dir.h"
#include "ui/form1.h"

namespace tsuzuri {
namespace {

TEST(Form1Preview, NoteonSoundsTheKeyWithTheCurrentTracksProgramFromTheDataDirectory) {
    test::TempDir dir("tsuzuri window");
    test::RecordingSequencer sequencer;
    Form1 window(sequencer, dir.path());
    window.state().view.curTrack = 1;
    window.state().piece.score[1].trackProgram = 74;
    window.noteon(64);
    std::vector<std::uint8_t> expected(kPreviewTemplate.begin(), kPreviewTemplate.end());
    expected[kPreviewProgramOffset] = 74;
    expected[kPreviewKeyOffset] = 64;
    EXPECT_EQ(test::readBytes(dir.path() / "c.mid"), expected);
    const std::string path = (dir.path() / "c.mid").string();
    EXPECT_EQ(sequencer.commands,
              (std::vector<std::string>{releaseCommand(path), playCommand(path)}));
}

// The caption names the missing part while sound is unavailable, keeps the
// piece's name and mark, and loses the notice once a retry brought sound back.
TEST(Form1Sound, TheCaptionSaysWhichPartOfTheSoundIsMissingUntilItIsBack) {
    test::TempDir dir("tsuzuri window");
    test::RecordingSequencer sequencer;
    Form1 window(sequencer, dir.path());
    window.setSoundStatus(SoundStatus::Loading);
    EXPECT_EQ(window.windowTitle(), QStringLiteral("綴 Tsuzuri"));
    window.setSoundStatus(SoundStatus::NoSoundFont);
    const QString noFont = window.windowTitle();
    window.setSoundStatus(SoundStatus::NoAudioDevice);
    const QString noDevice = window.windowTitle();
    EXPECT_TRUE(noFont.startsWith(QStringLiteral("綴 Tsuzuri（音声出力なし：")));
    EXPECT_TRUE(noFont.contains(QStringLiteral("SoundFont")));
    EXPECT_TRUE(noDevice.startsWith(QStringLiteral("綴 Tsuzuri（音声出力なし：")));
    EXPECT_TRUE(noDevice.contains(QStringLiteral("装置")));
    EXPECT_FALSE(noDevice.contains(QStringLiteral("SoundFont")));

    window.state().piece.score[0].measures[0].noteCount = 0;
    window.changedOutsideHistory();
    EXPECT_TRUE(window.windowTitle().startsWith(noDevice)) << window.windowTitle().toStdString();
    EXPECT_TRUE(window.windowTitle().endsWith(QStringLiteral(" *")));
    window.setSoundStatus(SoundStatus::Ready);
    EXPECT_EQ(window.windowTitle(), QStringLiteral("綴 Tsuzuri — 無題 *"));
}

}  // namespace
}  // namespace tsuzuri
