#include "midi/preview.h"

#include <algorithm>

#include "io/safe_file.h"
#include "midi/midi_file.h"

namespace tsuzuri {

namespace {

bool hasTag(const std::vector<std::uint8_t>& bytes, std::size_t at, const char* tag) {
    return std::equal(tag, tag + 4, bytes.begin() + static_cast<std::ptrdiff_t>(at));
}

// Patching a file without the layout would leave a file that plays nothing,
// so such a file, or one that cannot be patched safely, is replaced.
std::string writePreviewFile(const std::filesystem::path& path, std::uint8_t program,
                             std::uint8_t note) {
    const ReadResult head = readFileHead(path, kPreviewTemplate.size(), kMaxPreviewFileBytes);
    if (head.ok() && isPreviewFile(head.bytes) &&
        overwriteBytes(path, {{kPreviewProgramOffset, program}, {kPreviewKeyOffset, note}},
                       kMaxPreviewFileBytes)
            .empty())
        return {};
    std::vector<std::uint8_t> bytes(kPreviewTemplate.begin(), kPreviewTemplate.end());
    bytes[kPreviewProgramOffset] = program;
    bytes[kPreviewKeyOffset] = note;
    return writeFileAtomically(path, bytes);
}

}  // namespace

bool isPreviewFile(const std::vector<std::uint8_t>& bytes) {
    return bytes.size() >= kPreviewTemplate.size() && hasTag(bytes, 0, "MThd") &&
           hasTag(bytes, 14, "MTrk") && (bytes[kPreviewProgramOffset - 1] & 0xF0) == 0xC0 &&
           (bytes[kPreviewKeyOffset - 1] & 0xF0) == 0x90;
}

std::string previewNote(const EditorState& s, Sequencer& sequencer,
                        const std::filesystem::path& dir, std::uint8_t note) {
    const std::string path = (dir / kPreviewFileName).string();
    sequencer.sendCommand(releaseCommand(path));
    const std::uint8_t program = s.piece.score[s.view.curTrack].trackProgram;
    const std::string error = writePreviewFile(path, program, note);
    if (!error.empty())
        return error + "：試聴の音は鳴りません";
    sequencer.sendCommand(playCommand(path));
    return {};
}

}  // namespace tsuzuri
