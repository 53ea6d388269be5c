#pragma once

#include <fluidsynth.h>

#include <cstdint>
#include <vector>

#include "midi/fluid_sequencer.h"

namespace tsuzuri {

// What the engine's synthesizers share, live and offline, so that a rendered
// file sounds as it plays.

// The settings every synthesizer of the engine is made with; null when the
// library cannot make settings. The caller deletes them.
fluid_settings_t* newEngineSettings(const FluidSequencerOptions& options);

// Gives a new synthesizer the engine's channel layout, before its SoundFont.
void makeChannelsMelodic(fluid_synth_t* synth);
// Leaves every channel without an instrument, on bank 0, once the SoundFont
// is there: nothing is loaded until a file selects it.
void selectNoInstruments(fluid_synth_t* synth);

// Renders `midi` on a synthesizer of its own, made with `options`.
RenderOutcome renderOffline(const FluidSequencerOptions& options,
                            const std::vector<std::uint8_t>& midi, const BlockSink& sink);

}  // namespace tsuzuri
