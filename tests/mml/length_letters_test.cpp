#include <gtest/gtest.h>

#include <random>
#include <regex>
#include <string>

#include "mml/length_letters.h"
#include "support/score_builder.h"

namespace tsuzuri {
namespace {

TEST(LengthLetters, TextsAgreeWithTheLengthTable) {
    auto s = test::newState();
    for (int n = 0; n < kNoteLengthCount; ++n)
        EXPECT_EQ(noteLengthText(n), s->tables.lengthNames[n]) << n;
}

TEST(LengthLetters, OctaveCommandsKeepTheirDigit) {
    EXPECT_EQ(enletter("O4CGO8E", false), "O4CGO8E");
    EXPECT_EQ(enletter("O1C1O2D2O8E8O4F4", false), "O1CmO2DkO8EgO4Fi");
}

TEST(LengthLetters, RoundTrip) {
    EXPECT_EQ(enletter("O4C8.D16R4", false), "O4ChDeRi");
    EXPECT_EQ(deletter("O4ChDeRi"), "O4C8.D16R4");
    EXPECT_EQ(enletter("O4F#8", false), "O4F#g");
    const char* all = "C64C64.C32C32.C16C16.C8C8.C4C4.C2C2.C1C1.";
    EXPECT_EQ(enletter(all, false), "CaCbCcCdCeCfCgChCiCjCkClCmCn");
    EXPECT_EQ(deletter(enletter(all, false)), all);
}

TEST(LengthLetters, DoubleLengthTakesTheLetterOfTheNextLongerLength) {
    EXPECT_EQ(enletter("O5A8", true), "O5Ai");
    EXPECT_EQ(deletter("O5Ai"), "O5A4");
    EXPECT_EQ(deletter(enletter("C16.D64", true)), "C8.D32");
    // Twice a whole note is two whole notes of its kind, tied; rests in a row.
    EXPECT_EQ(deletter(enletter("C1D-1.R1R1.", true)), "C1&C1D-1.&D-1.R1R1R1.R1.");
}

TEST(LengthLetters, NumbersThatAreNoLengthStay) {
    // Only a length right after a note or rest is one.
    EXPECT_EQ(enletter("T120V12L8O4", false), "T120V12L8O4");
    // Tuplet lengths and other numbers after a note stay digits.
    EXPECT_EQ(enletter("C12D5.E164.R96", true), "C12D5.E164.R96");
    EXPECT_EQ(enletter("C+8D-16.R4.", false), "C+gD-fRj");
}

TEST(LengthLetters, TypedPunctuationIsNoOctaveCommand) {
    EXPECT_EQ(enletter("!C4$D8%E2", false), "!Ci$Dg%Ek");
    EXPECT_EQ(deletter(enletter("!C4$D8%E2", false)), "!C4$D8%E2");
}

TEST(LengthLetters, OtherCharactersPassThrough) {
    EXPECT_EQ(enletter("ド4　レC8\n", false), "ド4　レCg\n");
    EXPECT_EQ(deletter("abc xyz"), "6464.32 xyz");
}

// The lengths found by a regular expression instead of a scan: a note letter
// with one sign, or R, then digits and one dot.
std::string enletterByPattern(const std::string& text, bool doubleLength) {
    static const std::regex note("(R|[A-G][#+-]?)([0-9]+\\.?)");
    std::string out;
    auto from = text.cbegin();
    for (std::sregex_iterator it(text.begin(), text.end(), note), end; it != end; ++it) {
        const std::smatch& m = *it;
        out.append(from, m[0].first);
        out += m[1].str();
        const int entry = lengthEntry(m[2].str());
        const bool doubledWhole = doubleLength && entry >= 12;
        if (entry < 0)
            out += m[2].str();
        else if (doubledWhole)
            out += std::string(1, lengthLetter(entry)) + (m[1] == "R" ? "" : "&") + m[1].str() +
                   lengthLetter(entry);
        else
            out += lengthLetter(entry + (doubleLength ? 2 : 0));
        from = m[0].second;
    }
    return out.append(from, text.cend());
}

TEST(LengthLetters, SameAsFindingTheLengthsByPattern) {
    const std::string alphabet = "O0123456789...OOCDRTVL#+-&<>!%";
    std::mt19937 rng(61);
    std::uniform_int_distribution<std::size_t> pickChar(0, alphabet.size());
    for (int i = 0; i < 3000; ++i) {
        std::string text;
        for (int n = std::uniform_int_distribution<int>(0, 24)(rng); n > 0; --n) {
            const std::size_t c = pickChar(rng);
            text += c == alphabet.size() ? std::string("ド") : std::string(1, alphabet[c]);
        }
        for (const bool doubleLength : {false, true})
            ASSERT_EQ(enletter(text, doubleLength), enletterByPattern(text, doubleLength))
                << text << " " << doubleLength;
        ASSERT_EQ(deletter(enletter(text, false)), text);
    }
}

}  // namespace
}  // namespace tsuzuri
