// How read MML is laid into measures, and what is refused and why.
#include <gtest/gtest.h>

#include <string>

#include "keysig/key_signature.h"
#include "mml/track_text.h"
#include "score/canvas_geometry.h"
#include "score/layout.h"
#include "state/tables.h"
#include "support/score_builder.h"

namespace tsuzuri {
namespace {

// A measure's slots in a short form: notes by their row's natural name and
// their length, "r8" for rests, "#", "b", "n" for the accidentals, "~" for the
// plain arc, "~3" and "~5" for the tuplet arcs, "V5" for a V mark; measures
// apart by " | ".
std::string describe(const TrackScore& track, const StaffRows& rows) {
    std::string out;
    for (int m = 0; m <= track.lastMeasure; ++m) {
        if (m > 0)
            out += " |";
        const Measure& measure = track.measures[m];
        for (int s = 0; s < measure.noteCount; ++s) {
            const int index = std::abs(measure.noteAttr[s][kAttrCode]);
            out += " ";
            if (isNoteIndex(index)) {
                char name[kPitchNameRoom];
                out += std::string(name, formatPitchName(rows[measure.noteRow[s]].natural, name)) +
                       std::string(noteLengthText(index));
            } else if (isRestIndex(index)) {
                out += "r" + std::string(noteLengthText(index - kFirstRestIndex));
            } else if (isAccidentalIndex(index)) {
                out += "#bn"[index - kSharpIndex];
            } else if (isArcIndex(index)) {
                out += index == kArcIndex ? "~" : index == kTripletArcIndex ? "~3" : "~5";
            } else {
                out += "V" + std::to_string(volumeOfIndex(index));
            }
        }
    }
    return out.empty() ? out : out.substr(1);
}

struct Case {
    const char* text;
    int keySignature;
    const char* laid;
};

// Each rule of the layout once: bar lines split notes into tied palette
// lengths, rests without ties; a piece of one tick and a tuplet group stay
// whole and push the next measure on; accidentals only where the row would
// sound another sign; a tie carries its sign over the bar line, a slur not.
TEST(Layout, LaysEachRuleAsAMusicianWritesIt) {
    const Case cases[] = {
        {"C1 D2 E1", 0, "O4C1 | O4D2 O4E2 ~ | O4E2"},
        {"C2. C2.", 0, "O4C2. O4C4 ~ | O4C2"},
        {"C4. C1", 0, "O4C4. O4C2 ~ O4C8 ~ | O4C4."},
        {"R4. R1", 0, "r4. r2 r8 | r4."},
        {"C2. C8. C32 C64. C4 D4", 0, "O4C2. O4C8. O4C32 O4C64. O4C4 | O4D4"},
        {"C2. C8. C32. C64. D4", 0, "O4C2. O4C8. O4C32. O4C64. | O4D4"},
        {"C2. C6 D6 E6 F4", 0, "O4C2. ~3 O4C4 O4D4 O4E4 | O4F4"},
        {"C12 D#12 E12 F2.", 0, "~3 O4C8 # O4D8 O4E8 O4F2."},
        {"C#4 C#4 C4 C#4 C#1", 0, "# O4C4 O4C4 n O4C4 # O4C4 | # O4C1"},
        {"F#4 F4 C#4 C4", 2, "O4F4 n O4F4 O4C4 n O4C4"},
        {"A#4 B-4 >C-4 <E#4", 0, "# O4A4 b O4B4 b O5C4 # O4E4"},
        {"F#1 & F#4 F#4", 0, "# O4F1 ~ | O4F4 # O4F4"},
        {"F#1 & F4", 0, "# O4F1 ~ | n O4F4"},
        {"B-1 & B4", -1, "O4B1 ~ | n O4B4"},
        {"V10 C4 & D4 V0 r4", 0, "V10 O4C4 ~ O4D4 V0 r4"},
        {"C1 V3", 0, "O4C1 V3"},
        {"o5c4 > c4 << c4 l16 c c.", 0, "O5C4 O6C4 O4C4 O4C16 O4C16."},
        {"", 0, ""},
    };
    for (const Case& c : cases) {
        auto s = test::newState();
        applyKeySignatureRows(*s, c.keySignature, 4);
        const StaffRows rows = staffRowsOf(s->tables);
        const TrackTextRead read = readTrackText(c.text, rows, 4, kFourFourBarTicks);
        ASSERT_FALSE(read.error) << c.text << ": " << trackTextErrorText(*read.error);
        EXPECT_EQ(describe(*read.track, rows), c.laid) << c.text;
    }
}

// Under 3/4 a bar holds 96 ticks.
TEST(Layout, BarsFollowTheMeterGiven) {
    auto s = test::newState();
    const StaffRows rows = staffRowsOf(s->tables);
    const TrackTextRead read = readTrackText("C2 C2 C2", rows, 4, 96);
    ASSERT_FALSE(read.error);
    EXPECT_EQ(describe(*read.track, rows), "O4C2 O4C4 ~ | O4C4 O4C2");
    // A bar given no time still ends: each note then stands whole in a bar of its own.
    const TrackTextRead none = readTrackText("C2 C2", rows, 4, 0);
    ASSERT_FALSE(none.error);
    EXPECT_EQ(describe(*none.track, rows), "O4C2 | O4C2");
}

std::string repeated(const std::string& text, int times) {
    std::string out;
    for (int i = 0; i < times; ++i)
        out += text;
    return out;
}

// Every fault of the dialect and every limit of the staff, with where it is.
TEST(Layout, SaysWhatIsWrongAndWhere) {
    const std::pair<std::string, std::string> cases[] = {
        {"C4 X", "1行4列：「X」は MML として読めません"},
        {"C4\n  ドレミ", "2行3列：「ド」は MML として読めません"},
        {"C4\xE3\x80\x80"
         "C##",
         "1行6列：「#」は MML として読めません"},
        {"C7", "1行2列：長さ「7」は使えません（1, 2, 4, 8, 16, 32, 64、3連符 3〜96、5連符 5〜80）"},
        {"C4..", "1行4列：付点は一つまでです"},
        {"L4. C.", "1行6列：付点は一つまでです"},
        {"C12.", "1行2列：連符の長さ「12」に付点は付けられません"},
        {"O9C", "1行1列：「O9」でオクターブが0〜8を外れます"},
        {"O8>C", "1行3列：「>」でオクターブが0〜8を外れます"},
        {"O V1", "1行1列：「O」の後に数がありません"},
        {"L C", "1行1列：「L」の後に数がありません"},
        {"V16", "1行1列：「V16」：音量は V0〜V15 です"},
        {"T20 C", "1行1列：「T20」：テンポは T32〜T255 です"},
        {"R4 T120", "1行4列：「T120」は最初の音符より前に書いてください"},
        {"& C4", "1行1列：「&」の前後には音符が要ります"},
        {"C4 &", "1行4列：「&」の前後には音符が要ります"},
        {"C4 & R4", "1行4列：「&」の前後には音符が要ります"},
        {"C12 D12 E12 F12 G12", "1行13列：「F12」からの3連符が同じ長さの3つで揃っていません"},
        {"C20 D20 E20 F20 G10", "1行1列：「C20」からの5連符が同じ長さの5つで揃っていません"},
        {"C4 O1C4",
         "1行6列：O1C はこのオクターブ設定では譜面に書けません（オクターブを3にすると書けます）"},
        {"O8C",
         "1行3列：O8C "
         "はこのオクターブ設定では譜面に書けません（どのオクターブ設定でも書けません）"},
        {"C1 L64 " + repeated("C", 21), "第2小節：音符と記号が20個を超えます（1行28列）"},
        {"L1 " + repeated("C", 202), "第202小節：曲が第201小節を超えます（1行205列）"},
    };
    auto s = test::newState();
    for (const auto& [text, message] : cases) {
        const TrackTextRead read =
            readTrackText(text, staffRowsOf(s->tables), 4, kFourFourBarTicks);
        ASSERT_TRUE(read.error) << text;
        EXPECT_FALSE(read.track);
        EXPECT_EQ(trackTextErrorText(*read.error), message) << text;
    }
}

}  // namespace
}  // namespace tsuzuri
