#pragma once

#include <memory>

#include "state/tables.h"

namespace tsuzuri {

// One started record for a whole fuzzing run: making one per input would cost
// more than the input itself. Targets restore what they change.
inline EditorState& fuzzState() {
    static const auto state = [] {
        auto s = std::make_unique<EditorState>();
        startUp(*s, 4);
        return s;
    }();
    return *state;
}

}  // namespace tsuzuri
