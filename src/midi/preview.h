#pragma once

#include <array>
#include <cstdint>
#include <filesystem>
#include <string>
#include <vector>

#include "midi/sequencer.h"
#include "state/editor_state.h"

namespace tsuzuri {

inline constexpr const char* kPreviewFileName = "c.mid";
inline constexpr std::size_t kPreviewProgramOffset = 24;
inline constexpr std::size_t kPreviewKeyOffset = 27;

// The one-note file the preview patches: one track on channel 0 with a program
// change (its data byte at offset 24), a note-on (its key at offset 27), an
// all-notes-off a quarter note later and the end of the track. The same bytes
// ship as the file c.mid beside the program.
inline constexpr std::array<std::uint8_t, 37> kPreviewTemplate = {
    'M',  'T',  'h',  'd',  0x00, 0x00, 0x00, 0x06,  // header chunk, 6 bytes of data
    0x00, 0x00,                                      // format 0: one track
    0x00, 0x01,                                      // one track chunk
    0x00, 0x20,                                      // 32 ticks per quarter note
    'M',  'T',  'r',  'k',  0x00, 0x00, 0x00, 0x0F,  // track chunk, 15 bytes of events
    0x00, 0xC0, 105,                                 // program change (program patched)
    0x00, 0x90, 60,   0x40,                          // note-on (key patched), velocity 64
    0x20, 0xB0, 0x7B, 0x00,                          // a quarter later: all notes off
    0x00, 0xFF, 0x2F, 0x00,                          // end of track
};

// True when `bytes` has the layout the preview patches: at least as long as
// the template, with "MThd", "MTrk", a program change at offset 23 and a
// note-on at offset 26.
bool isPreviewFile(const std::vector<std::uint8_t>& bytes);

// A c.mid far longer than any template is damaged: it is never read whole.
inline constexpr std::size_t kMaxPreviewFileBytes = 64u << 10;

// The one-note preview (noteon): sounds `note` with the current track's
// program. c.mid in `dir` is released, patched in place at offsets 24 and 27
// and played. A c.mid that is missing, damaged, too long, no regular file or a
// second name of another file is replaced by the template with the two bytes
// set. When c.mid can be neither patched nor replaced nothing is played and
// the answer is the Japanese notice that says why; otherwise it is "".
std::string previewNote(const EditorState& s, Sequencer& sequencer,
                        const std::filesystem::path& dir, std::uint8_t note);

}  // namespace tsuzuri
