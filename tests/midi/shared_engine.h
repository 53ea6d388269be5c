#pragma once

#include <gtest/gtest.h>

#include "midi/fluid_sequencer.h"

namespace tsuzuri::test {

// One engine without a driver, rendered by the tests, for a whole suite:
// loading the SoundFont is the slow part.
class SharedEngine : public ::testing::Test {
protected:
    static void SetUpTestSuite() {
        engine_ = new FluidSequencer(FluidSequencerOptions{.drivers = {}});
        ASSERT_TRUE(engine_->waitUntilLoaded());
    }
    static void TearDownTestSuite() {
        delete engine_;
        engine_ = nullptr;
    }

    static inline FluidSequencer* engine_ = nullptr;
};

}  // namespace tsuzuri::test
