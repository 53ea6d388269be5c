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
    window.state().curTrack = 1;
    window.state().score[1].trackProgram = 74;
    window.noteon(64);
    std::vector<std::uint8_t> expected(kPreviewTemplate.begin(), kPreviewTemplate.end());
    expected[kPreviewProgramOffset] = 74;
    expected[kPreviewKeyOffset] = 64;
    EXPECT_EQ(test::readBytes(dir.path() / "c.mid"), expected);
    const std::string path = (dir.path() / "c.mid").string();
    EXPECT_EQ(sequencer.commands,
              (std::vector<std::string>{releaseCommand(path), playCommand(path)}));
}

}  // namespace
}  // namespace tsuzuri
