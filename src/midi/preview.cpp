#include "midi/preview.h"

#include <algorithm>
#include <fstream>
#include <iterator>

#include "file/safe_file.h"
#include "midi/midi_file.h"

namespace tsuzuri {

namespace {

bool hasTag(const std::vector<std::uint8_t>& bytes, std::size_t at, const char* tag) {
    return std::equal(tag, tag + 4, bytes.begin() + static_cast<std::ptrdiff_t>(at));
}

// Reads as many bytes as the template has, or fewer when the file is shorter.
std::vector<std::uint8_t> readPreviewHead(const std::filesystem::path& path) {
    std::ifstream in(path, std::ios::binary);
    std::vector<std::uint8_t> head(kPreviewTemplate.size());
    in.read(reinterpret_cast<char*>(head.data()), static_cast<std::streamsize>(head.size()));
    head.resize(static_cast<std::size_t>(std::max<std::streamsize>(in.gcount(), 0)));
    return head;
}

// Patching a file without the layout would leave a file that plays nothing
// (or a 28-byte file of zeros when it is missing), so it is replaced first.
void repairPreviewFile(const std::filesystem::path& path) {
    if (isPreviewFile(readPreviewHead(path)))
        return;
    writeFileAtomically(path, {kPreviewTemplate.begin(), kPreviewTemplate.end()});
}

void patchPreviewFile(const std::filesystem::path& path, std::uint8_t program, std::uint8_t note) {
    std::fstream file(path, std::ios::binary | std::ios::in | std::ios::out);
    if (!file)
        return;
    file.seekp(static_cast<std::streamoff>(kPreviewProgramOffset));
    file.put(static_cast<char>(program));
    file.seekp(static_cast<std::streamoff>(kPreviewKeyOffset));
    file.put(static_cast<char>(note));
}

}  // namespace

bool isPreviewFile(const std::vector<std::uint8_t>& bytes) {
    return bytes.size() >= kPreviewTemplate.size() && hasTag(bytes, 0, "MThd") &&
           hasTag(bytes, 14, "MTrk") && (bytes[kPreviewProgramOffset - 1] & 0xF0) == 0xC0 &&
           (bytes[kPreviewKeyOffset - 1] & 0xF0) == 0x90;
}

void previewNote(EditorState& s, Sequencer& sequencer, const std::filesystem::path& dir,
                 std::uint8_t note) {
    s.midiPath = (dir / kPreviewFileName).string();
    sequencer.sendCommand(releaseCommand(s.midiPath));
    repairPreviewFile(s.midiPath);
    patchPreviewFile(s.midiPath, s.score[s.curTrack].trackProgram, note);
    sequencer.sendCommand(playCommand(s.midiPath));
}

}  // namespace tsuzuri
