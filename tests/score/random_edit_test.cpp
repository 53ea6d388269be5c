// Random mouse and key events through the real widgets of the whole window,
// with the record's invariants and the current track's compiled chunk checked
// after each one.
#include "midi/track_compiler.h"
#include "score/canvas_geometry.h"
#include "score/random_events.h"
#include "score/score_ops.h"
#include "support/track_walk.h"

namespace tsuzuri {
namespace {

constexpr int kEvents = 100000;

class RandomEditTest : public test::RandomEvents {
protected:
    // The first broken invariant, or "".
    std::string fault() {
        const EditorState& s = state();
        if (s.view.curTrack < 0 || s.view.curTrack >= kStoredTracks)
            return "curTrack " + std::to_string(s.view.curTrack);
        const int t = s.view.curTrack;
        for (int m = 0; m < kMeasureCount; ++m) {
            const int n = s.piece.score[t].measures[m].noteCount;
            if (n < 0 || n > kMaxNotesPerMeasure)
                return "noteCount " + std::to_string(n) + " in measure " + std::to_string(m);
            sawFullMeasure = sawFullMeasure || n == kMaxNotesPerMeasure;
            for (int slot = 0; slot < n; ++slot) {
                const int row = s.piece.score[t].measures[m].noteRow[slot];
                if (row < 0 || row >= kNamedRows)
                    return "row " + std::to_string(row) + " in measure " + std::to_string(m);
            }
        }
        for (int u = 0; u < kStoredTracks; ++u) {
            if (s.piece.score[u].lastMeasure < 0 || s.piece.score[u].lastMeasure >= kMeasureCount)
                return "lastMeasure " + std::to_string(s.piece.score[u].lastMeasure);
        }
        if (s.pointer.mouseY > kMouseYCap)
            return "mouseY " + std::to_string(s.pointer.mouseY);
        if (s.view.selGlyph < 0 || s.view.selGlyph > kViewMeasures * kGlyphsPerMeasure)
            return "selGlyph " + std::to_string(s.view.selGlyph);
        if (s.view.firstMeasure < 0 || s.view.firstMeasure > kLastFirstMeasure)
            return "firstMeasure " + std::to_string(s.view.firstMeasure);
        if (s.piece.keySignature < -7 || s.piece.keySignature > 7)
            return "keySignature " + std::to_string(s.piece.keySignature);
        if (s.view.entryMeasure < 0 || s.view.entryMeasure >= kMeasureCount)
            return "entryMeasure " + std::to_string(s.view.entryMeasure);
        return test::trackChunkFault(compileTrack(s.piece, s.tables, t).chunk, trackChannel(t));
    }

    bool sawFullMeasure = false;
};

TEST_F(RandomEditTest, AHundredThousandEventsKeepTheScoreValid) {
    ASSERT_FALSE(background.empty());
    int placed = 0;
    for (int i = 0; i < kEvents; ++i) {
        const int track = state().view.curTrack;
        const int before = notesOfTrack(track);
        std::ostringstream what;
        randomEvent(what);
        ASSERT_EQ(what.str().find("FOCUS LOST"), std::string::npos) << "event " << i;
        ASSERT_EQ(fault(), "") << "after event " << i << ": " << what.str();
        if (state().view.curTrack == track && notesOfTrack(track) > before)
            ++placed;
    }
    for (int t = 0; t < kStoredTracks; ++t) {
        for (int m = 0; m < kMeasureCount; ++m)
            ASSERT_LE(state().piece.score[t].measures[m].noteCount, kMaxNotesPerMeasure);
    }
    // The run must have placed many notes and met full measures.
    EXPECT_GT(placed, 500);
    EXPECT_TRUE(sawFullMeasure);
    EXPECT_GT(enteredByKeys, 20);
}

}  // namespace
}  // namespace tsuzuri
