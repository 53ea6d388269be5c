#include <gtest/gtest.h>

#include <random>
#include <regex>
#include <string>

#include "midi/track_compiler.h"
#include "mml/mml_reader.h"
#include "mml/optimizer.h"
#include "state/tables.h"
#include "support/score_builder.h"

namespace tsuzuri {
namespace {

std::string optimized(std::string_view text, bool doubleLength = false) {
    return optimizeMml(text, doubleLength).text;
}

TEST(Optimizer, EmptyText) {
    const OptimizedMml r = optimizeMml("", false);
    EXPECT_EQ(r.text, "");
    EXPECT_EQ(r.characters, 0u);
    EXPECT_EQ(lengthCaption(r.characters), " 0文字");
}

TEST(Optimizer, QuarterNotesLoseTheirLength) {
    const OptimizedMml r = optimizeMml("O4C4 O4D4 O4E8", false);
    EXPECT_EQ(r.text, "CDE8");
    EXPECT_EQ(lengthCaption(r.characters), " 4文字");
}

TEST(Optimizer, DefaultLengthAndRelativeOctaves) {
    EXPECT_EQ(optimized("O4C8 O4D8 O5E8 O4C4"), "L8CD>E<C4");
    EXPECT_EQ(optimized("O4C O2D"), "CO2D");
    EXPECT_EQ(optimized("O4C8. O4D8. O4E4"), "L8.CDE4");
    EXPECT_EQ(optimized("O4C16. O4D16. O4E8. O4F8. O4G8."), "L16.CDE8.F8.G8.");
    EXPECT_EQ(optimized("O4C8 O4D8 O4E4 O4F4"),
              "C8D8EF");  // 2 against 2: the quarter stays default
    EXPECT_EQ(optimized("O4C2 O4D8 O4E2 O4F8"), "L8C2DE2F");  // equal counts: shorter length wins
}

TEST(Optimizer, CaseAndWhiteSpace) {
    EXPECT_EQ(optimized("o5c8 o5d8"), "L8>CD");
    const OptimizedMml r = optimizeMml("O4C4　O4D4\nO4E4\r\n", false);
    EXPECT_EQ(r.text, "C　D\nE\r\n");
    EXPECT_EQ(r.characters, 7u);
    // Only ASCII letters are uppercased; digits after other letters are no lengths.
    EXPECT_EQ(optimized("ｃ4 ä4"), "ｃ4ä4");
}

TEST(Optimizer, OWithoutDigitIsCopied) {
    EXPECT_EQ(optimized("O5C8 O"), "L8>CO");
    EXPECT_EQ(optimized("O4C8 OO5D8"), "L8CO>D");
    // The running octave stays at 1: "OC" is no "<".
    EXPECT_EQ(optimized("O1C4 OC4"), "O1COC");
    EXPECT_EQ(optimized("O"), "O");
    EXPECT_EQ(optimized("OO"), "OO");
    EXPECT_EQ(optimized("O漢O3C"), "O漢<C");
}

TEST(Optimizer, TextThatIsNoMml) {
    EXPECT_EQ(optimized("T120 O4C4"), "T120C");
    EXPECT_EQ(optimized("!C4 $D4 %E4"), "!C$D%E");
    const OptimizedMml r = optimizeMml("ドレミ", false);
    EXPECT_EQ(r.text, "ドレミ");
    EXPECT_EQ(r.characters, 3u);
}

// Commands with numbers, "&", tuplet lengths, notes without a length and
// relative octaves in the text: nothing is lost, nothing is counted twice.
TEST(Optimizer, TextsWithEveryCommandKeepTheirSound) {
    EXPECT_EQ(optimized("T90 V12 O4C8 O4D8 O4E8"), "L8T90V12CDE");
    EXPECT_EQ(optimized("T120 O4C4"), "T120C");
    EXPECT_EQ(optimized("O4C4 & O4C8 O4D12 O4E12 O4F12 r20"), "C&C8D12E12F12R20");
    EXPECT_EQ(optimized("L8 C D E4 L16 F G"), "L16C8D8E4FG");
    EXPECT_EQ(optimized("L12 C D E"), "C12D12E12");
    EXPECT_EQ(optimized("O4C8 > C8 O6C8 O4C8"), "L8C>C>CO4C");
    EXPECT_EQ(optimized("O4C8 O4C12", true), "CC12");
}

TEST(Optimizer, DoubleLength) {
    EXPECT_EQ(optimized("O4C8 O4D8 O4E4", true), "CDE2");
    // Twice a whole note, written or in force, is two whole notes tied.
    EXPECT_EQ(optimized("O4C1 O4D4", true), "L1C&CD2");
    EXPECT_EQ(optimized("L1 C R", true), "L1C&CRR");
}

// Nothing of one text's run stays for the next.
TEST(Optimizer, EachTextStandsAlone) {
    const std::string text = "O4C8 O4D8 O5E8 O4C4 O3B16. r4 O6A#2";
    const std::string first = optimized(text);
    EXPECT_EQ(first, "L16.C8D8>E8<C4<BR4O6A#2");  // "16." saves 3 as the eighths do
    optimized("O2C1 O7B64 O7B64 O7B64", true);
    EXPECT_EQ(optimized(text), first);
}

TEST(Optimizer, CharactersAreCodePoints) {
    EXPECT_EQ(countCharacters(""), 0u);
    EXPECT_EQ(countCharacters("L8CD"), 4u);
    EXPECT_EQ(countCharacters("ド\n　"), 3u);
    EXPECT_EQ(countCharacters("\xF0\x9F\x8E\xB5"), 1u);  // one character outside the BMP
    EXPECT_EQ(lengthCaption(57), " 57文字");
}

// A random score of one track, compiled to the MML text the editor writes.
std::string randomScoreMml(EditorState& s, std::mt19937& rng) {
    auto pick = [&rng](int lo, int hi) { return std::uniform_int_distribution<int>(lo, hi)(rng); };
    init(s);
    nt_init(s, pick(0, 8));
    // Key signatures rename rows with "#" or "-".
    for (int i = pick(0, 6); i > 0; --i)
        s.tables.rowNames[pick(0, 95)] += pick(0, 1) ? "#" : "-";
    s.piece.score[0].lastMeasure = static_cast<std::int16_t>(pick(0, 12));
    for (int m = 0; m <= s.piece.score[0].lastMeasure; ++m) {
        for (int n = pick(0, 8); n > 0; --n) {
            const int length = pick(0, 27);
            test::appendSlot(s, 0, m, pick(0, 95), pick(0, 1) ? length : -length);
        }
    }
    return compileTrack(s.piece, s.tables, 0).mml;
}

// Random MML in the editor's form with every octave 0..9.
std::string randomMml(std::mt19937& rng) {
    auto pick = [&rng](int lo, int hi) { return std::uniform_int_distribution<int>(lo, hi)(rng); };
    const char* lengths[] = {"64", "64.", "32", "32.", "16", "16.", "8",
                             "8.", "4",   "4.", "2",   "2.", "1",   "1."};
    std::string text;
    for (int n = pick(0, 60); n > 0; --n) {
        if (pick(0, 5) == 0) {
            text += "r";
        } else {
            text += "O" + std::to_string(pick(0, 9)) + static_cast<char>('A' + pick(0, 6));
            const int accidental = pick(0, 4);
            if (accidental == 0)
                text += "#";
            if (accidental == 1)
                text += "-";
        }
        text += lengths[pick(0, 13)];
        text += " ";
    }
    return text;
}

// Random MML with every token the editor and composers write: notes with a
// sign or none, with one of the fourteen lengths, a tuplet length or none,
// rests, octave commands, "<" and ">", "L", "T", "V" and "&". Beside it, the
// text a player hears under "倍速": every note and rest with its length
// written out, each of the fourteen doubled (a whole note doubled as two
// whole notes, tied), tuplet lengths as they are.
struct RandomMml {
    std::string text;
    std::string doubled;
};

RandomMml randomMmlWithCommands(std::mt19937& rng) {
    auto pick = [&rng](int lo, int hi) { return std::uniform_int_distribution<int>(lo, hi)(rng); };
    const char* lengths[] = {"64", "64.", "32", "32.", "16", "16.", "8",  "8.",  "4",
                             "4.", "2",   "2.", "1",   "1.", "3",   "6",  "12",  "24",
                             "48", "96",  "5",  "10",  "20", "40",  "80", "12.", ""};
    auto length = [&] { return std::string(lengths[pick(0, 26)]); };
    std::string inForce = "4";
    // A note or rest with its written length, and as "倍速" plays it.
    // `typed` is its letter and sign as typed, `head` as a player reads them.
    auto noteOrRest = [&](RandomMml& out, const std::string& typed, const std::string& head,
                          const std::string& written) {
        out.text += typed + written;
        const std::string sounding = written.empty() ? inForce : written;
        int entry = 0;
        while (entry < 14 && lengths[entry] != sounding)
            ++entry;
        if (entry == 14)
            out.doubled += head + sounding;
        else if (entry + 2 < 14)
            out.doubled += head + lengths[entry + 2];
        else
            out.doubled += head + sounding + (head == "R" ? "" : "&") + head + sounding;
    };
    RandomMml out;
    bool afterNote = false;
    for (int n = pick(0, 60); n > 0; --n) {
        std::string token;
        const int kind = pick(0, 19);
        if (kind < 9) {
            if (pick(0, 2) == 0)
                token = "O" + std::to_string(pick(1, 7));
            out.text += token;
            out.doubled += token;
            std::string head(1, "CDEFGAB"[pick(0, 6)]);
            const int sign = pick(0, 5);
            head += sign == 0 ? "#" : sign == 1 ? "+" : sign == 2 ? "-" : "";
            noteOrRest(out, head, head, length());
            token.clear();
        } else if (kind < 11) {
            noteOrRest(out, pick(0, 1) ? "r" : "R", "R", length());
        } else if (kind < 13) {
            token = pick(0, 1) ? ">" : "<";
        } else if (kind == 13) {
            inForce = lengths[pick(0, 25)];
            out.text += "L" + inForce;
        } else if (kind == 14) {
            token = "T" + std::to_string(pick(32, 255));
        } else if (kind == 15) {
            token = "V" + std::to_string(pick(0, 15));
        } else if (kind < 18 && afterNote) {
            token = "&";
        }
        afterNote = kind < 9;
        token += pick(0, 2) ? " " : "";
        out.text += token;
        out.doubled += token;
    }
    return out;
}

// The output sounds as its input, and under "倍速" as its input twice as slow
// (tuplets aside), whole notes included.
TEST(Optimizer, RandomTextsWithEveryCommandKeepTheirSound) {
    std::mt19937 rng(20240612);
    for (int i = 0; i < 3000; ++i) {
        const RandomMml mml = randomMmlWithCommands(rng);
        const std::string out = optimized(mml.text);
        ASSERT_EQ(test::hearMml(out), test::hearMml(mml.text)) << mml.text << "\n=> " << out;
        ASSERT_LE(out.size(), mml.text.size() + 8) << mml.text << "\n=> " << out;
        const std::string twice = optimized(mml.text, true);
        ASSERT_EQ(test::hearMml(twice), test::hearMml(mml.doubled))
            << mml.text << "\n=> " << twice << "\nwanted " << mml.doubled;
    }
}

// The optimizer as it was before only the lengths of notes counted: every
// run of digits lettered by replacing the lengths over the whole text (with
// four octave commands guarded), and only octave commands made relative.
std::string replaceAll(std::string text, const std::string& from, const std::string& to) {
    std::string out;
    std::size_t start = 0;
    for (std::size_t hit; (hit = text.find(from, start)) != std::string::npos;
         start = hit + from.size())
        out += text.substr(start, hit - start) + to;
    return out + text.substr(start);
}

std::string formerOptimizer(std::string text, bool doubleLength) {
    std::erase(text, ' ');
    for (char& c : text)
        c = (c >= 'a' && c <= 'z') ? static_cast<char>(c - 'a' + 'A') : c;
    const char* guards[][2] = {{"O4", "!"}, {"O8", "\x01"}, {"O2", "$"}, {"O1", "%"}};
    for (const auto& g : guards)
        text = replaceAll(text, g[0], g[1]);
    for (int n : {1, 0, 3, 2, 5, 4, 7, 6, 9, 8, 11, 10, 13, 12}) {
        const char letter = static_cast<char>('a' + n + (doubleLength ? 2 : 0));
        text = replaceAll(text, std::string(noteLengthText(n)), std::string(1, letter));
    }
    for (const auto& g : guards)
        text = replaceAll(text, g[1], g[0]);
    int counts[14] = {};
    for (const char c : text) {
        if (c >= 'a' && c <= 'n')
            counts[c - 'a'] += 1 + (c - 'a') % 2 + ((c - 'a') < 6 ? 1 : 0);
    }
    int best = 0;
    for (int n = 1; n < 14; ++n)
        best = counts[n] > counts[best] ? n : best;
    const bool declared = counts[best] > counts[8];
    std::erase(text, static_cast<char>('a' + (declared ? best : 8)));
    if (declared)
        text = "L" + std::string(noteLengthText(best)) + text;
    std::string out;
    int octave = 4;
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text[i] != 'O' || i + 1 == text.size() || text[i + 1] < '0' || text[i + 1] > '9') {
            out += text[i];
            continue;
        }
        const int d = text[++i] - '0';
        out += d == octave + 1   ? ">"
               : d == octave - 1 ? "<"
               : d == octave     ? ""
                                 : text.substr(i - 1, 2);
        octave = d;
    }
    std::string back;
    for (const char c : out)
        back += c >= 'a' && c <= 'n' ? std::string(noteLengthText(c - 'a')) : std::string(1, c);
    return back;
}

// The text with its whole notes and rests made half ones: "倍速" of a whole
// note, which used to leave a stray letter, is now two whole notes tied.
std::string withoutWholeNotes(const std::string& text) {
    static const std::regex whole("([A-Gr#-])1(\\.?) ");
    return std::regex_replace(text, whole, "$012$2 ");
}

// Notes and rests with the fourteen lengths, octave commands and spaces:
// exactly the text the optimizer gave before.
TEST(Optimizer, PlainTextsAreOptimizedAsBefore) {
    std::mt19937 rng(611);
    auto s = test::newState();
    for (int i = 0; i < 2000; ++i) {
        const std::string text = i % 2 ? randomScoreMml(*s, rng) : randomMml(rng);
        ASSERT_EQ(optimized(text), formerOptimizer(text, false)) << text;
        const std::string shorter = withoutWholeNotes(text);
        ASSERT_EQ(optimized(shorter, true), formerOptimizer(shorter, true)) << shorter;
    }
    EXPECT_EQ(withoutWholeNotes("O4C1 r1. O1C16 O4C#1 "), "O4C2 r2. O1C16 O4C#2 ");
}

TEST(Optimizer, OutputSoundsLikeItsInput) {
    std::mt19937 rng(20240611);
    auto s = test::newState();
    for (int i = 0; i < 400; ++i) {
        const std::string text = i % 2 ? randomScoreMml(*s, rng) : randomMml(rng);
        std::string upper = text;
        for (char& c : upper)
            c = (c >= 'a' && c <= 'z') ? static_cast<char>(c - 'a' + 'A') : c;
        const std::string out = optimized(text);
        ASSERT_EQ(test::hearMml(out), test::hearMml(upper)) << text << "\n=> " << out;
    }
}

}  // namespace
}  // namespace tsuzuri
