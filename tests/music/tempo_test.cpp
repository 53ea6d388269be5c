#include <gtest/gtest.h>

#include "music/tempo.h"

namespace tsuzuri {
namespace {

TEST(Tempo, OnlyWholeNumbersFrom32To255AreTempos) {
    EXPECT_EQ(parseTempo("90"), 90);
    EXPECT_EQ(parseTempo(" 32 "), 32);
    EXPECT_EQ(parseTempo("255"), 255);
    EXPECT_EQ(parseTempo("0120"), 120);
    for (const char* refused :
         {"", " ", "31", "256", "-90", "90.5", "9 0", "90x", "１２０", "99999999999999999999"}) {
        EXPECT_EQ(parseTempo(refused), std::nullopt) << refused;
    }
}

TEST(Tempo, QuarterNoteMicrosecondsAreRounded) {
    EXPECT_EQ(microsecondsPerQuarter(120), 500'000u);
    EXPECT_EQ(microsecondsPerQuarter(90), 666'667u);
    EXPECT_EQ(microsecondsPerQuarter(32), 1'875'000u);
    EXPECT_EQ(microsecondsPerQuarter(255), 235'294u);
}

}  // namespace
}  // namespace tsuzuri
