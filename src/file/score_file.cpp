#include "file/score_file.h"

#include <nlohmann/json.hpp>

#include <cstdint>
#include <optional>

#include "score/score_ops.h"
#include "state/tables.h"

namespace tsuzuri {

namespace {

using nlohmann::json;

constexpr int kNoteFields = 4;  // x offset, glyph top, glyph code, row
constexpr int kLastPaletteIndex = 50;
constexpr int kLastFirstShown = kMeasureCount - 4;

// Compact JSON of one value, with any broken text replaced rather than thrown.
std::string compact(const json& value) {
    return value.dump(-1, ' ', false, json::error_handler_t::replace);
}

json measureJson(int m, const Measure& measure) {
    json notes = json::array();
    for (int slot = 0; slot < measure.noteCount; ++slot) {
        const SlotData d = readSlot(measure, slot);
        notes.push_back(json::array({d.x, d.top, d.code, d.row}));
    }
    return {{"measure", m}, {"notes", std::move(notes)}};
}

// One track: its settings on the first line, then one line per measure that
// holds notes, so that the file reads measure by measure.
void writeTrack(std::string& out, const TrackScore& track, bool ticked) {
    const json head = {
        {"program", track.trackProgram}, {"lastMeasure", track.lastMeasure}, {"ticked", ticked}};
    std::string text = compact(head);
    text.pop_back();  // the closing brace: the measures follow inside the object
    out += "    " + text + ", \"measures\": [";
    const char* separator = "\n";
    for (int m = 0; m < kMeasureCount; ++m) {
        if (track.measures[m].noteCount == 0)
            continue;
        out += separator;
        out += "      " + compact(measureJson(m, track.measures[m]));
        separator = ",\n";
    }
    out += "]}";
}

// --- Reading: every value is checked where it is taken, and the first fault
// found is the message.

class Reader {
public:
    const std::string& error() const { return error_; }
    bool failed() const { return !error_.empty(); }

    bool fail(std::string message) {
        if (error_.empty())
            error_ = std::move(message);
        return false;
    }

    const json* member(const json& object, const char* key, const std::string& where) {
        const auto it = object.find(key);
        if (it == object.end()) {
            fail(where + "「" + key + "」がありません");
            return nullptr;
        }
        return &*it;
    }

    // An integer member within lo..hi.
    std::optional<int> integer(const json& object, const char* key, int lo, int hi,
                               const std::string& where) {
        const json* value = member(object, key, where);
        if (value == nullptr)
            return std::nullopt;
        return integerValue(*value, lo, hi, where + "「" + key + "」");
    }

    std::optional<int> integerValue(const json& value, int lo, int hi, const std::string& what) {
        if (!value.is_number_integer()) {
            fail(what + "が整数ではありません");
            return std::nullopt;
        }
        const bool huge = value.is_number_unsigned() &&
                          value.get<std::uint64_t>() > static_cast<std::uint64_t>(INT64_MAX);
        const std::int64_t n = huge ? INT64_MAX : value.get<std::int64_t>();
        if (n < lo || n > hi) {
            fail(what + " " + compact(value) + " が" + range(lo, hi) + "の外です");
            return std::nullopt;
        }
        return static_cast<int>(n);
    }

    std::optional<bool> boolean(const json& object, const char* key, const std::string& where) {
        const json* value = member(object, key, where);
        if (value == nullptr)
            return std::nullopt;
        if (!value->is_boolean()) {
            fail(where + "「" + key + "」が true か false ではありません");
            return std::nullopt;
        }
        return value->get<bool>();
    }

private:
    static std::string range(int lo, int hi) {
        return std::to_string(lo) + "〜" + std::to_string(hi);
    }
    std::string error_;
};

std::string trackName(int t) {
    return "トラック" + std::to_string(t + 1) + "の";
}

std::string noteName(int t, int m, int slot) {
    return trackName(t) + "第" + std::to_string(m + 1) + "小節の" + std::to_string(slot + 1) +
           "番目の音符の";
}

bool readNote(Reader& in, const json& note, int t, int m, int slot, Measure& measure) {
    const std::string where = noteName(t, m, slot);
    if (!note.is_array() || note.size() != kNoteFields)
        return in.fail(where + "形が [x, top, code, row] ではありません");
    constexpr int lo = INT16_MIN;
    constexpr int hi = INT16_MAX;
    const auto x = in.integerValue(note[0], lo, hi, where + "x");
    const auto top = in.integerValue(note[1], lo, hi, where + "top");
    const auto code =
        in.integerValue(note[2], -kLastPaletteIndex, kLastPaletteIndex, where + "音長");
    const auto row = in.integerValue(note[3], 0, kRowCount - 1, where + "高さ");
    if (!x || !top || !code || !row)
        return false;
    writeSlot(measure, slot,
              {static_cast<std::int16_t>(*x), static_cast<std::int16_t>(*top),
               static_cast<std::int16_t>(*code), static_cast<std::int16_t>(*row)});
    return true;
}

bool readMeasure(Reader& in, const json& entry, int t, TrackScore& track) {
    const std::string where = trackName(t) + "小節の";
    if (!entry.is_object())
        return in.fail(where + "形が正しくありません");
    const auto m = in.integer(entry, "measure", 0, kMeasureCount - 1, where);
    const json* notes = in.member(entry, "notes", where);
    if (!m || notes == nullptr)
        return false;
    const std::string measureName = trackName(t) + "第" + std::to_string(*m + 1) + "小節";
    Measure& measure = track.measures[*m];
    if (measure.noteCount != 0)
        return in.fail(measureName + "が二度あります");
    if (!notes->is_array())
        return in.fail(measureName + "の「notes」が配列ではありません");
    if (notes->size() > static_cast<std::size_t>(kMaxNotesPerMeasure))
        return in.fail(measureName + "の音符が" + std::to_string(notes->size()) + "個あります（" +
                       std::to_string(kMaxNotesPerMeasure) + "個まで）");
    for (std::size_t slot = 0; slot < notes->size(); ++slot) {
        if (!readNote(in, (*notes)[slot], t, *m, static_cast<int>(slot), measure))
            return false;
    }
    measure.noteCount = static_cast<std::int16_t>(notes->size());
    return true;
}

bool readTrack(Reader& in, const json& entry, int t, Piece& piece) {
    const std::string where = trackName(t);
    if (!entry.is_object())
        return in.fail(where + "形が正しくありません");
    TrackScore& track = piece.tracks[t];
    const auto program = in.integer(entry, "program", 0, 127, where);
    const auto last = in.integer(entry, "lastMeasure", 0, kMeasureCount - 1, where);
    const auto ticked = in.boolean(entry, "ticked", where);
    const json* measures = in.member(entry, "measures", where);
    if (!program || !last || !ticked || measures == nullptr)
        return false;
    if (!measures->is_array())
        return in.fail(where + "「measures」が配列ではありません");
    track.trackProgram = static_cast<std::uint8_t>(*program);
    track.lastMeasure = static_cast<std::int16_t>(*last);
    piece.ticked[static_cast<std::size_t>(t)] = *ticked;
    for (const json& measure : *measures) {
        if (!readMeasure(in, measure, t, track))
            return false;
    }
    return true;
}

// The format name and version, checked before anything else is looked at.
bool readFormat(Reader& in, const json& root) {
    if (!root.is_object())
        return in.fail("綴の楽譜ではありません（JSONの中身が楽譜の形ではありません）");
    const auto format = root.find("format");
    if (format == root.end() || !format->is_string() || *format != kScoreFormatName)
        return in.fail("綴の楽譜ではありません（「format」が \"" + std::string(kScoreFormatName) +
                       "\" ではありません）");
    const auto version = root.find("version");
    if (version == root.end() || !version->is_number_integer() || version->get<double>() < 1)
        return in.fail("楽譜の版（「version」）が読めません");
    if (version->get<double>() > kScoreFormatVersion)
        return in.fail("新しい版（第" + compact(*version) + "版）の楽譜です。この綴が読めるのは第" +
                       std::to_string(kScoreFormatVersion) + "版までです");
    return true;
}

void readSettings(Reader& in, const json& root, Piece& piece) {
    const std::string where;
    const auto key = in.integer(root, "keySignature", -7, 7, where);
    const auto octave = in.integer(root, "octave", 0, 8, where);
    const auto count = in.integer(root, "trackCount", 0, kWindowTracks, where);
    const auto track = in.integer(root, "currentTrack", 0, kWindowTracks - 1, where);
    const auto first = in.integer(root, "firstMeasure", 0, kLastFirstShown, where);
    const json* mml = in.member(root, "mml", where);
    if (!key || !octave || !count || !track || !first || mml == nullptr)
        return;
    if (!mml->is_string()) {
        in.fail("「mml」が文字列ではありません");
        return;
    }
    piece.mml = mml->get<std::string>();
    if (piece.mml.size() > kMaxScoreTextBytes) {
        in.fail("「mml」の文字列が長すぎます");
        return;
    }
    piece.keySignature = *key;
    piece.octave = *octave;
    piece.trackCount = *count;
    piece.curTrack = *track;
    piece.firstMeasure = *first;
}

void readTracks(Reader& in, const json& root, Piece& piece) {
    const json* tracks = in.member(root, "tracks", "");
    if (tracks == nullptr)
        return;
    if (!tracks->is_array()) {
        in.fail("「tracks」が配列ではありません");
        return;
    }
    if (tracks->size() > static_cast<std::size_t>(kWindowTracks)) {
        in.fail("トラックが" + std::to_string(tracks->size()) + "本あります（" +
                std::to_string(kWindowTracks) + "本まで）");
        return;
    }
    for (std::size_t t = 0; t < tracks->size() && !in.failed(); ++t)
        readTrack(in, (*tracks)[t], static_cast<int>(t), piece);
}

std::unique_ptr<Piece> emptyPiece() {
    auto piece = std::make_unique<Piece>();
    for (TrackScore& track : piece->tracks) {
        track.trackProgram = kStartProgram;
        track.lastMeasure = kStartLastMeasure;
    }
    return piece;
}

}  // namespace

std::string writeScoreText(const Piece& piece) {
    const json head = {{"format", kScoreFormatName},         {"version", kScoreFormatVersion},
                       {"keySignature", piece.keySignature}, {"octave", piece.octave},
                       {"trackCount", piece.trackCount},     {"currentTrack", piece.curTrack},
                       {"firstMeasure", piece.firstMeasure}, {"mml", piece.mml}};
    // The head's members one per line, in the order above; the tracks follow.
    std::string out = "{\n";
    for (const char* key : {"format", "version", "keySignature", "octave", "trackCount",
                            "currentTrack", "firstMeasure", "mml"}) {
        out += "  " + compact(json(key)) + ": " + compact(head.at(key)) + ",\n";
    }
    out += "  \"tracks\": [\n";
    for (int t = 0; t < kWindowTracks; ++t) {
        writeTrack(out, piece.tracks[t], piece.ticked[static_cast<std::size_t>(t)]);
        out += t + 1 < kWindowTracks ? ",\n" : "\n";
    }
    out += "  ]\n}\n";
    return out;
}

ScoreRead readScoreText(std::string_view text) {
    ScoreRead result;
    if (text.find_first_not_of(" \t\r\n") == std::string_view::npos) {
        result.error = "空のファイルです";
        return result;
    }
    json root;
    try {
        root = json::parse(text.begin(), text.end());
    } catch (const json::exception& e) {
        const auto* parse = dynamic_cast<const json::parse_error*>(&e);
        result.error = parse != nullptr ? "JSONとして読めません（" + std::to_string(parse->byte) +
                                              "バイト目。途中で切れているか、壊れています）"
                                        : "JSONとして読めません";
        return result;
    }
    Reader in;
    std::unique_ptr<Piece> piece = emptyPiece();
    if (readFormat(in, root)) {
        readSettings(in, root, *piece);
        if (!in.failed())
            readTracks(in, root, *piece);
    }
    if (in.failed()) {
        result.error = in.error();
        return result;
    }
    result.piece = std::move(piece);
    return result;
}

void clearUnusedSlots(TrackScore& track) {
    for (Measure& measure : track.measures) {
        for (int slot = measure.noteCount; slot < kSlotCount; ++slot) {
            measure.noteAttr[slot].fill(0);
            measure.noteRow[slot] = 0;
        }
    }
}

}  // namespace tsuzuri
