#include <gtest/gtest.h>

#include <random>
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
    // Whole notes have no longer length: their letters stay.
    EXPECT_EQ(deletter(enletter("C1D1.", true)), "CoDp");
}

TEST(LengthLetters, DigitsThatAreNoLengthAreConvertedToo) {
    EXPECT_EQ(enletter("T120", false), "Tmk0");
    EXPECT_EQ(deletter("Tmk0"), "T120");
    // Search order, not reading order, decides: "64." is found inside "164.".
    EXPECT_EQ(enletter("C164.", false), "Cmb");
}

TEST(LengthLetters, TypedPunctuationIsNoOctaveCommand) {
    EXPECT_EQ(enletter("!C4$D8%E2", false), "!Ci$Dg%Ek");
    EXPECT_EQ(deletter(enletter("!C4$D8%E2", false)), "!C4$D8%E2");
}

TEST(LengthLetters, OtherCharactersPassThrough) {
    EXPECT_EQ(enletter("ド4　レ8\n", false), "ドi　レg\n");
    EXPECT_EQ(deletter("abc xyz"), "6464.32 xyz");
}

// The conversion done the plain way: stand-ins for the guarded octave
// commands, then one replace-all over the whole text per length, in order.
std::string replaceAll(std::string text, const std::string& from, const std::string& to) {
    std::string out;
    std::size_t start = 0;
    for (std::size_t hit; (hit = text.find(from, start)) != std::string::npos;
         start = hit + from.size())
        out += text.substr(start, hit - start) + to;
    return out + text.substr(start);
}

std::string enletterByReplaceAll(std::string text, bool doubleLength) {
    const char* guards[][2] = {{"O4", "\xEE\x80\x80"},
                               {"O8", "\xEE\x80\x81"},
                               {"O2", "\xEE\x80\x82"},
                               {"O1", "\xEE\x80\x83"}};
    for (const auto& g : guards)
        text = replaceAll(text, g[0], g[1]);
    for (int i = 0; i < 7; ++i) {
        for (const int n : {2 * i + 1, 2 * i}) {
            const char letter = static_cast<char>('a' + n + (doubleLength ? 2 : 0));
            text = replaceAll(text, std::string(noteLengthText(n)), std::string(1, letter));
        }
    }
    for (const auto& g : guards)
        text = replaceAll(text, g[1], g[0]);
    return text;
}

TEST(LengthLetters, SameAsReplacingOverTheWholeText) {
    const std::string alphabet = "O0123456789...OOOCDR#!%";
    std::mt19937 rng(61);
    std::uniform_int_distribution<std::size_t> pickChar(0, alphabet.size());
    for (int i = 0; i < 3000; ++i) {
        std::string text;
        for (int n = std::uniform_int_distribution<int>(0, 24)(rng); n > 0; --n) {
            const std::size_t c = pickChar(rng);
            text += c == alphabet.size() ? std::string("ド") : std::string(1, alphabet[c]);
        }
        for (const bool doubleLength : {false, true})
            ASSERT_EQ(enletter(text, doubleLength), enletterByReplaceAll(text, doubleLength))
                << text << " " << doubleLength;
    }
}

}  // namespace
}  // namespace tsuzuri
