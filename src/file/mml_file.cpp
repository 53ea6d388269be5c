#include "file/mml_file.h"

#include <vector>

#include "keysig/key_signature.h"
#include "mml/track_text.h"
#include "score/layout.h"

namespace tsuzuri {

namespace {

constexpr std::string_view kByteOrderMark = "\xEF\xBB\xBF";

struct Line {
    int number = 0;  // from 1
    std::string_view text;
};

// The lines that hold anything, a carriage return before the line break
// dropped, with their numbers in the file.
std::vector<Line> nonEmptyLines(std::string_view text) {
    std::vector<Line> lines;
    int number = 1;
    while (!text.empty()) {
        const std::size_t end = text.find('\n');
        std::string_view line = text.substr(0, end);
        if (!line.empty() && line.back() == '\r')
            line.remove_suffix(1);
        if (!line.empty())
            lines.push_back({number, line});
        if (end == std::string_view::npos)
            break;
        text.remove_prefix(end + 1);
        ++number;
    }
    return lines;
}

// The key signatures a file's piece may take, the plainest first.
constexpr int kKeyOrder[] = {0, 1, -1, 2, -2, 3, -3, 4, -4, 5, -5, 6, -6, 7, -7};

struct ReadLine {
    int number = 0;
    MmlReading reading;
};

int slotCount(const TrackScore& track) {
    int slots = 0;
    for (int m = 0; m <= track.lastMeasure; ++m)
        slots += track.measures[m].noteCount;
    return slots;
}

// Every line laid into a staff under one key signature, or the first error.
struct KeyTry {
    std::vector<std::unique_ptr<TrackScore>> tracks;
    int slots = 0;
    std::optional<TrackTextError> error;
};

KeyTry layOutLines(const std::vector<ReadLine>& lines, int keySignature, int octave, int bar) {
    auto tables = std::make_unique<NoteTables>();
    nt_init(*tables, octave);
    applyKeySignatureRows(*tables, keySignature, octave);
    const StaffRows rows = staffRowsOf(*tables);
    KeyTry out;
    for (const ReadLine& line : lines) {
        TrackTextRead read = layOutReading(line.reading, rows, octave, bar);
        if (read.error) {
            read.error->place.line = line.number;
            out.error = read.error;
            return out;
        }
        out.slots += slotCount(*read.track);
        out.tracks.push_back(std::move(read.track));
    }
    return out;
}

}  // namespace

// Lines are read once; the layout is tried under every key signature, and
// the piece takes the one whose staff needs the fewest accidental marks.
MmlFileRead readMmlFileText(std::string_view text, int octave) {
    if (text.substr(0, kByteOrderMark.size()) == kByteOrderMark)
        text.remove_prefix(kByteOrderMark.size());
    const std::vector<Line> found = nonEmptyLines(text);
    if (found.empty())
        return {nullptr, "MML の行がありません"};
    if (found.size() > static_cast<std::size_t>(kWindowTracks)) {
        return {nullptr, std::to_string(found[kWindowTracks].number) + "行目が" +
                             std::to_string(kWindowTracks + 1) +
                             "番目のトラックになります（トラックは" +
                             std::to_string(kWindowTracks) + "まで）"};
    }
    std::vector<ReadLine> lines;
    for (const Line& line : found) {
        lines.push_back({line.number, readMml(line.text)});
        if (const auto& error = lines.back().reading.error) {
            return {nullptr, trackTextErrorText(
                                 {{line.number, error->place.column}, -1, mmlFaultText(*error)})};
        }
    }
    auto saved = std::make_unique<SavedPiece>();
    Piece& piece = saved->piece;
    std::optional<KeyTry> best;
    std::optional<TrackTextError> plainError;
    for (const int key : kKeyOrder) {
        KeyTry tried = layOutLines(lines, key, octave, readingBarTicks(piece));
        if (tried.error && !plainError)
            plainError = tried.error;
        if (!tried.error && (!best || tried.slots < best->slots)) {
            best = std::move(tried);
            piece.keySignature = static_cast<std::int16_t>(key);
        }
    }
    if (!best)
        return {nullptr, trackTextErrorText(*plainError)};
    piece.octave = static_cast<std::int16_t>(octave);
    piece.trackCount = static_cast<std::int16_t>(lines.size());
    std::optional<int> tempo;
    for (std::size_t t = 0; t < lines.size(); ++t) {
        if (!tempo)
            tempo = lines[t].reading.tempo;
        best->tracks[t]->trackProgram = kStartProgram;
        piece.score[static_cast<int>(t)] = std::move(*best->tracks[t]);
        piece.ticked[static_cast<int>(t)] = true;
    }
    for (int t = static_cast<int>(lines.size()); t < kStoredTracks; ++t) {
        piece.score[t].trackProgram = kStartProgram;
        piece.score[t].lastMeasure = kStartLastMeasure;
    }
    piece.tempo = static_cast<std::int16_t>(tempo.value_or(kStandardTempo));
    saved->mml = std::string(found.front().text);
    return {std::move(saved), {}};
}

}  // namespace tsuzuri
