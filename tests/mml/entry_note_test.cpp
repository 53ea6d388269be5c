#include <gtest/gtest.h>

#include "mml/entry_note.h"

namespace tsuzuri {
namespace {

int lengthOf(std::string_view text) {
    const auto note = parseEntryNote(text);
    return note ? note->lengthIndex : -2;
}

TEST(EntryNote, LengthIndex) {
    EXPECT_EQ(lengthOf("O4C64"), 0);
    EXPECT_EQ(lengthOf("O4C8"), 6);
    EXPECT_EQ(lengthOf("O4C8."), 7);
    EXPECT_EQ(lengthOf("O4C2"), 10);
    EXPECT_EQ(lengthOf("O4C1."), 13);
    EXPECT_EQ(lengthOf("O4C#16"), 4);
    EXPECT_EQ(lengthOf("O4D-8."), 7);
    EXPECT_EQ(lengthOf("O4C"), -1);
    EXPECT_EQ(lengthOf("O4C#"), -1);
    EXPECT_EQ(lengthOf("O4C3"), -1);
    EXPECT_EQ(lengthOf("O4C.8"), -1);  // the dot is taken to be the last character
}

TEST(EntryNote, PitchAndFlags) {
    const auto c = parseEntryNote("O4C8");
    ASSERT_TRUE(c);
    EXPECT_EQ(c->octave, 4);
    EXPECT_EQ(entryPitch(*c), 60);
    EXPECT_EQ(c->letter, 0);
    EXPECT_EQ(c->step, 28);
    EXPECT_EQ(c->accidental, 0);
    EXPECT_FALSE(c->dotted);

    const auto sharp = parseEntryNote("O4C#8.");
    ASSERT_TRUE(sharp);
    EXPECT_EQ(sharp->accidental, 1);
    EXPECT_TRUE(sharp->dotted);
    EXPECT_EQ(sharp->step, 28);  // the accidental is no part of the step
    EXPECT_EQ(entryPitch(*sharp), 61);

    const auto b = parseEntryNote("O1B4");
    ASSERT_TRUE(b);
    EXPECT_EQ(b->letter, 6);
    EXPECT_EQ(b->step, 13);
    EXPECT_EQ(entryPitch(*b), 35);
    const auto a = parseEntryNote("O5A2");
    ASSERT_TRUE(a);
    EXPECT_EQ(a->step, 40);
    EXPECT_EQ(entryPitch(*parseEntryNote("O4D-8")), 61);

    // "-" wins over "#"; the length digits then start after one accidental.
    const auto both = parseEntryNote("O4C#-8");
    ASSERT_TRUE(both);
    EXPECT_EQ(both->accidental, -1);
    EXPECT_EQ(both->lengthIndex, -1);
}

TEST(EntryNote, NoNoteText) {
    EXPECT_FALSE(parseEntryNote(""));
    EXPECT_FALSE(parseEntryNote("O"));
    EXPECT_FALSE(parseEntryNote("O4"));
    EXPECT_FALSE(parseEntryNote("o4C8"));
    EXPECT_FALSE(parseEntryNote("C4"));
    EXPECT_FALSE(parseEntryNote("OXC8"));
    EXPECT_FALSE(parseEntryNote("O4H8"));
    EXPECT_FALSE(parseEntryNote("O4c8"));
}

}  // namespace
}  // namespace tsuzuri
