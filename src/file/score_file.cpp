#include "file/score_file.h"

#include <nlohmann/json.hpp>

#include <algorithm>
#include <array>
#include <cstdint>
#include <optional>
#include <vector>

#include "music/tempo.h"
#include "score/canvas_geometry.h"
#include "score/score_ops.h"
#include "state/tables.h"

namespace tsuzuri {

namespace {

using nlohmann::json;

constexpr int kNoteFields = 4;  // x offset, glyph top, glyph code, row

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

// --- Reading. The text is read as a stream of JSON events (the library's
// SAX interface), so that no document tree of tens of thousands of values is
// built: every value is checked where it arrives and stored straight into the
// piece. After the first fault nothing more is stored; the format name and
// version are still looked for, since a foreign or newer file must say so
// rather than name a value it happens to hold.

using Int = std::int64_t;

enum class Frame { Root, Tracks, Track, Measures, Measure, Notes, Note, Skip };

// Which members of an object were seen, by bit: the root's, a track's and a
// measure's.
enum Member : unsigned {
    kSeenFormat = 1,
    kSeenVersion = 2,
    kSeenKeySignature = 4,
    kSeenOctave = 8,
    kSeenTrackCount = 16,
    kSeenCurrentTrack = 32,
    kSeenFirstMeasure = 64,
    kSeenMml = 128,
    kSeenTracks = 256,
    kSeenProgram = 1,
    kSeenLastMeasure = 2,
    kSeenTicked = 4,
    kSeenMeasures = 8,
    kSeenMeasureIndex = 1,
    kSeenNotes = 2,
};

struct Level {
    Frame frame;
    std::string key;    // the member whose value comes next (objects)
    int index = 0;      // elements so far (arrays)
    unsigned seen = 0;  // members seen (objects)
};

std::string range(Int lo, Int hi) {
    return std::to_string(lo) + "〜" + std::to_string(hi);
}

std::string trackName(int t) {
    return "トラック" + std::to_string(t + 1) + "の";
}

constexpr std::size_t kMaxDepth = 64;

class ScoreReader final : public nlohmann::json_sax<json> {
public:
    ScoreReader() : saved_(std::make_unique<SavedPiece>()) {
        for (int t = 0; t < kWindowTracks; ++t) {
            saved_->piece.score[t].trackProgram = kStartProgram;
            saved_->piece.score[t].lastMeasure = kStartLastMeasure;
        }
        // A file without a meter was saved before pieces had one: its
        // measures take the time of what they hold, as they always did.
        saved_->piece.meter = kFreeMeter;
    }

    ScoreRead result() {
        ScoreRead read;
        if (!parseError_.empty())
            read.error = parseError_;
        else if (!rootSeen_)
            read.error = "綴の楽譜ではありません（JSONの中身が楽譜の形ではありません）";
        else if (format_ != kScoreFormatName)
            read.error = "綴の楽譜ではありません（「format」が \"" + std::string(kScoreFormatName) +
                         "\" ではありません）";
        else if (version_ < 1)
            read.error = "楽譜の版（「version」）が読めません";
        else if (version_ > kScoreFormatVersion)
            read.error = "新しい版（第" + versionText_ + "版）の楽譜です。この綴が読めるのは第" +
                         std::to_string(kScoreFormatVersion) + "版までです";
        else if (!error_.empty())
            read.error = error_;
        else
            read.saved = std::move(saved_);
        read.unknownMembers = std::move(unknown_);
        return read;
    }

    // --- Scalars
    bool null() override { return scalar(Value{}); }
    bool boolean(bool v) override { return scalar(Value{Value::Boolean, v ? 1 : 0}); }
    bool number_integer(number_integer_t v) override { return scalar(Value{Value::Integer, v}); }
    bool number_unsigned(number_unsigned_t v) override {
        if (v <= static_cast<std::uint64_t>(INT64_MAX))
            return scalar(Value{Value::Integer, static_cast<Int>(v)});
        // Beyond every bound: compared as the largest integer, named as written.
        Value value{Value::Integer, INT64_MAX};
        value.written = std::to_string(v);
        return scalar(value);
    }
    bool number_float(number_float_t, const string_t&) override {
        return scalar(Value{Value::Floating});
    }
    bool string(string_t& v) override {
        Value value{Value::Text};
        value.text = &v;
        return scalar(value);
    }
    bool binary(binary_t&) override { return scalar(Value{}); }

    // --- Containers
    bool key(string_t& k) override {
        stack_.back().key = k;
        return true;
    }
    bool start_object(std::size_t) override { return open(true); }
    bool start_array(std::size_t) override { return open(false); }
    bool end_object() override { return close(); }
    bool end_array() override { return close(); }

    bool parse_error(std::size_t position, const std::string&,
                     const nlohmann::detail::exception&) override {
        parseError_ = "JSONとして読めません（" + std::to_string(position) +
                      "バイト目。途中で切れているか、壊れています）";
        return false;
    }

private:
    struct Value {
        enum Kind { Other, Boolean, Integer, Floating, Text };
        Value(Kind k = Other, Int n = 0) : kind(k), number(n) {}

        Kind kind;
        Int number;
        std::string* text = nullptr;
        std::string written;  // the integer as written, when `number` could not hold it

        std::string numberText() const {
            return written.empty() ? std::to_string(number) : written;
        }
    };

    // A member of a later program's: skipped, and named for the user.
    void unknownMember(const std::string& name) {
        constexpr std::size_t kNamed = 5;
        if (unknown_.size() < kNamed &&
            std::find(unknown_.begin(), unknown_.end(), name) == unknown_.end())
            unknown_.push_back(name);
    }

    bool fail(std::string message) {
        if (error_.empty())
            error_ = std::move(message);
        return true;  // go on: the format and version may still follow
    }
    bool storing() const { return error_.empty(); }

    // An integer within lo..hi, or the fault named after `what`, a function
    // that makes the name only when a message needs it.
    template <typename Name>
    std::optional<Int> integer(const Value& v, Int lo, Int hi, const Name& what) {
        if (v.kind != Value::Integer) {
            fail(what() + "が整数ではありません");
            return std::nullopt;
        }
        if (v.number < lo || v.number > hi) {
            fail(what() + " " + v.numberText() + " が" + range(lo, hi) + "の外です");
            return std::nullopt;
        }
        return v.number;
    }

    template <typename T, typename Name>
    void setInteger(T& field, const Value& v, Int lo, Int hi, const Name& what) {
        if (const auto n = integer(v, lo, hi, what))
            field = static_cast<T>(*n);
    }

    bool scalar(const Value& v) {
        if (stack_.empty()) {
            rootSeen_ = false;
            return false;  // a lone value is no score
        }
        Level& level = stack_.back();
        switch (level.frame) {
            case Frame::Root:
                rootValue(level, v);
                break;
            case Frame::Track:
                if (storing())
                    trackValue(level, v);
                break;
            case Frame::Measure:
                if (storing())
                    measureValue(level, v);
                break;
            case Frame::Note:
                if (storing())
                    noteValue(level, v);
                break;
            case Frame::Tracks:
            case Frame::Measures:
            case Frame::Notes:
                if (storing())
                    fail(containerName(level.frame) + "の中身が正しくありません");
                break;
            case Frame::Skip:
                break;
        }
        if (level.frame == Frame::Note || level.frame == Frame::Tracks ||
            level.frame == Frame::Measures || level.frame == Frame::Notes)
            ++level.index;
        return true;
    }

    void rootValue(Level& level, const Value& v) {
        const std::string& k = level.key;
        const auto what = [&k] { return "「" + k + "」"; };
        if (k == "format") {
            level.seen |= kSeenFormat;
            format_ = v.kind == Value::Text ? *v.text : std::string();
        } else if (k == "version") {
            level.seen |= kSeenVersion;
            version_ = v.kind == Value::Integer ? v.number : 0;
            versionText_ = v.numberText();
        } else if (!storing()) {
            return;
        } else if (k == "keySignature") {
            level.seen |= kSeenKeySignature;
            setInteger(saved_->piece.keySignature, v, -7, 7, what);
        } else if (k == "octave") {
            level.seen |= kSeenOctave;
            setInteger(saved_->piece.octave, v, 0, 8, what);
        } else if (k == "tempo") {
            setInteger(saved_->piece.tempo, v, kMinTempo, kMaxTempo, what);
        } else if (k == "trackCount") {
            level.seen |= kSeenTrackCount;
            setInteger(saved_->piece.trackCount, v, 0, kWindowTracks, what);
        } else if (k == "currentTrack") {
            level.seen |= kSeenCurrentTrack;
            setInteger(saved_->curTrack, v, 0, kWindowTracks - 1, what);
        } else if (k == "firstMeasure") {
            level.seen |= kSeenFirstMeasure;
            setInteger(saved_->firstMeasure, v, 0, kLastFirstMeasure, what);
        } else if (k == "mml") {
            level.seen |= kSeenMml;
            if (v.kind != Value::Text)
                fail("「mml」が文字列ではありません");
            else if (v.text->size() > kMaxScoreTextBytes)
                fail("「mml」の文字列が長すぎます");
            else
                saved_->mml = std::move(*v.text);
        } else if (k == "meter") {
            setMeter(v);
        } else if (k == "document") {
            if (v.kind != Value::Text || v.text->size() > kMaxDocumentPathBytes)
                fail("「document」が長すぎるか、文字列ではありません");
            else
                saved_->documentPath = std::move(*v.text);
        } else if (k == "tracks") {
            fail("「tracks」が配列ではありません");
        } else {
            unknownMember(k);
        }
    }

    void setMeter(const Value& v) {
        const std::optional<Meter> meter =
            v.kind == Value::Text ? meterNamed(*v.text) : std::nullopt;
        if (!meter) {
            std::string names;
            for (const std::string_view name : kMeterNames)
                names += (names.empty() ? "" : "、") + std::string(name);
            fail("「meter」が拍子（" + names + "）のどれでもありません");
            return;
        }
        saved_->piece.meter = *meter;
    }

    int track() const { return stack_[1].index; }

    void trackValue(Level& level, const Value& v) {
        TrackScore& t = saved_->piece.score[track()];
        const auto what = [&] { return trackName(track()) + "「" + level.key + "」"; };
        if (level.key == "program") {
            level.seen |= kSeenProgram;
            setInteger(t.trackProgram, v, 0, 127, what);
        } else if (level.key == "lastMeasure") {
            level.seen |= kSeenLastMeasure;
            setInteger(t.lastMeasure, v, 0, kMeasureCount - 1, what);
        } else if (level.key == "ticked") {
            level.seen |= kSeenTicked;
            if (v.kind != Value::Boolean)
                fail(what() + "が true か false ではありません");
            else
                saved_->piece.ticked[track()] = v.number != 0;
        } else if (level.key == "measures") {
            fail(what() + "が配列ではありません");
        } else {
            unknownMember(level.key);
        }
    }

    void measureValue(Level& level, const Value& v) {
        const auto what = [&] { return trackName(track()) + "小節の「" + level.key + "」"; };
        if (level.key == "measure") {
            level.seen |= kSeenMeasureIndex;
            if (const auto m = integer(v, 0, kMeasureCount - 1, what))
                measureIndex_ = static_cast<int>(*m);
        } else if (level.key == "notes") {
            fail(what() + "が配列ではありません");
        } else {
            unknownMember(level.key);
        }
    }

    std::string noteName() const { return noteNameAt(stack_[5].index); }

    void noteValue(Level& level, const Value& v) {
        static const char* const names[kNoteFields] = {"x", "top", "音長", "高さ"};
        if (level.index >= kNoteFields) {
            fail(noteName() + "形が [x, top, code, row] ではありません");
            return;
        }
        const Int lo = level.index == 2 ? -kLastPaletteIndex : level.index == 3 ? 0 : INT16_MIN;
        const Int hi = level.index == 2   ? kLastPaletteIndex
                       : level.index == 3 ? kRowCount - 1
                                          : INT16_MAX;
        if (const auto n = integer(v, lo, hi, [&] { return noteName() + names[level.index]; }))
            note_[static_cast<std::size_t>(level.index)] = static_cast<std::int16_t>(*n);
    }

    static bool isRootMember(const std::string& key) {
        for (const char* known : {"format", "version", "document", "keySignature", "octave",
                                  "tempo", "trackCount", "currentTrack", "firstMeasure", "mml"}) {
            if (key == known)
                return true;
        }
        return false;
    }

    static std::string containerName(Frame frame) {
        return frame == Frame::Tracks     ? "「tracks」"
               : frame == Frame::Measures ? "「measures」"
                                          : "「notes」";
    }

    // The frame a new object or array opens, given where it stands.
    Frame childFrame(bool object) {
        if (stack_.empty())
            return object ? Frame::Root : Frame::Skip;
        Level& level = stack_.back();
        if (level.frame == Frame::Skip || (level.frame != Frame::Root && !storing()))
            return Frame::Skip;
        switch (level.frame) {
            case Frame::Root:
                if (level.key != "tracks") {
                    if (!isRootMember(level.key))
                        unknownMember(level.key);
                    return Frame::Skip;
                }
                level.seen |= kSeenTracks;
                if (object || !storing()) {
                    if (storing())
                        fail("「tracks」が配列ではありません");
                    return Frame::Skip;
                }
                return Frame::Tracks;
            case Frame::Tracks:
                if (level.index >= kWindowTracks) {
                    fail("トラックが" + std::to_string(kWindowTracks) + "本より多くあります（" +
                         std::to_string(kWindowTracks) + "本まで）");
                    return Frame::Skip;
                }
                return expect(object, true, "「tracks」の中身", Frame::Track);
            case Frame::Track:
                if (level.key != "measures") {
                    if (level.key != "program" && level.key != "lastMeasure" &&
                        level.key != "ticked")
                        unknownMember(level.key);
                    return Frame::Skip;
                }
                level.seen |= kSeenMeasures;
                return expect(object, false, trackName(track()) + "「measures」", Frame::Measures);
            case Frame::Measures:
                measure_ = Measure{};
                measureIndex_ = -1;
                return expect(object, true, trackName(track()) + "小節", Frame::Measure);
            case Frame::Measure:
                if (level.key != "notes") {
                    if (level.key != "measure")
                        unknownMember(level.key);
                    return Frame::Skip;
                }
                level.seen |= kSeenNotes;
                measure_ = Measure{};
                return expect(object, false, measureName() + "の「notes」", Frame::Notes);
            case Frame::Notes:
                if (level.index >= kMaxNotesPerMeasure) {
                    fail(measureName() + "の音符が" + std::to_string(kMaxNotesPerMeasure) +
                         "個より多くあります（" + std::to_string(kMaxNotesPerMeasure) + "個まで）");
                    return Frame::Skip;
                }
                note_.fill(0);
                return expect(object, false, noteNameAt(level.index), Frame::Note);
            case Frame::Note:
            case Frame::Skip:
                break;
        }
        fail(noteNameAt(stack_[5].index) + "形が [x, top, code, row] ではありません");
        return Frame::Skip;
    }

    // The measure being read, by its number once that has been read.
    std::string measureName() const {
        return trackName(track()) +
               (measureIndex_ >= 0 ? "第" + std::to_string(measureIndex_ + 1) + "小節" : "小節");
    }

    std::string noteNameAt(int slot) const {
        return measureName() + "の" + std::to_string(slot + 1) + "番目の音符の";
    }

    Frame expect(bool object, bool wanted, const std::string& what, Frame frame) {
        if (object == wanted)
            return frame;
        fail(what + (wanted ? "がオブジェクトではありません" : "が配列ではありません"));
        return Frame::Skip;
    }

    bool open(bool object) {
        if (stack_.size() >= kMaxDepth) {
            parseError_ = "JSONの入れ子が深すぎます";
            return false;
        }
        const Frame frame = childFrame(object);
        if (stack_.empty())
            rootSeen_ = frame == Frame::Root;
        stack_.push_back({frame, {}, 0, 0});
        return true;
    }

    bool close() {
        const Level level = std::move(stack_.back());
        stack_.pop_back();
        if (!stack_.empty() &&
            (stack_.back().frame == Frame::Tracks || stack_.back().frame == Frame::Measures ||
             stack_.back().frame == Frame::Notes))
            ++stack_.back().index;
        if (level.frame == Frame::Skip || !storing())
            return true;
        switch (level.frame) {
            case Frame::Root:
                requireAll(level.seen,
                           kSeenKeySignature | kSeenOctave | kSeenTrackCount | kSeenCurrentTrack |
                               kSeenFirstMeasure | kSeenMml | kSeenTracks,
                           {"keySignature", "octave", "trackCount", "currentTrack", "firstMeasure",
                            "mml", "tracks"},
                           {kSeenKeySignature, kSeenOctave, kSeenTrackCount, kSeenCurrentTrack,
                            kSeenFirstMeasure, kSeenMml, kSeenTracks},
                           "");
                break;
            case Frame::Track:
                requireAll(level.seen,
                           kSeenProgram | kSeenLastMeasure | kSeenTicked | kSeenMeasures,
                           {"program", "lastMeasure", "ticked", "measures"},
                           {kSeenProgram, kSeenLastMeasure, kSeenTicked, kSeenMeasures},
                           trackName(stack_.back().index - 1));
                break;
            case Frame::Measure:
                closeMeasure(level);
                break;
            case Frame::Note:
                if (level.index != kNoteFields)
                    fail(noteNameAt(stack_.back().index - 1) +
                         "形が [x, top, code, row] ではありません");
                else
                    writeSlot(measure_, stack_.back().index - 1,
                              {note_[0], note_[1], note_[2], note_[3]});
                break;
            case Frame::Notes:
                measure_.noteCount = static_cast<std::int16_t>(level.index);
                break;
            default:
                break;
        }
        return true;
    }

    void closeMeasure(const Level& level) {
        const std::string where = trackName(track()) + "小節の";
        if (!(level.seen & kSeenMeasureIndex)) {
            fail(where + "「measure」がありません");
            return;
        }
        if (!(level.seen & kSeenNotes)) {
            fail(where + "「notes」がありません");
            return;
        }
        Measure& target = saved_->piece.score[track()].measures[measureIndex_];
        if (target.noteCount != 0) {
            fail(trackName(track()) + "第" + std::to_string(measureIndex_ + 1) +
                 "小節が二度あります");
            return;
        }
        target = measure_;
    }

    void requireAll(unsigned seen, unsigned wanted, std::initializer_list<const char*> names,
                    std::initializer_list<unsigned> bits, const std::string& where) {
        if ((seen & wanted) == wanted)
            return;
        auto name = names.begin();
        for (unsigned bit : bits) {
            if (!(seen & bit)) {
                fail(where + "「" + *name + "」がありません");
                return;
            }
            ++name;
        }
    }

    std::unique_ptr<SavedPiece> saved_;
    std::vector<Level> stack_;
    bool rootSeen_ = false;
    std::string format_;
    Int version_ = 0;
    std::string versionText_;
    std::vector<std::string> unknown_;
    std::string error_;
    std::string parseError_;
    Measure measure_;
    int measureIndex_ = -1;
    std::array<std::int16_t, kNoteFields> note_{};
};

// The name a piece's meter is written under; a piece only ever holds a meter
// of the list.
std::string_view meterName(Meter meter) {
    return meterNameAt(meterEntry(meter).value_or(kMeterCount - 1));
}

// The MML text as far as a reader takes it, cut before a character that would
// pass the bound, so that every file written reads back.
std::string_view readableMml(const std::string& mml) {
    if (mml.size() <= kMaxScoreTextBytes)
        return mml;
    std::size_t end = kMaxScoreTextBytes;
    while (end > 0 && (static_cast<unsigned char>(mml[end]) & 0xC0) == 0x80)
        --end;
    return std::string_view(mml).substr(0, end);
}

}  // namespace

std::string writeScoreText(const SavedPiece& saved) {
    const Piece& piece = saved.piece;
    json head = {{"format", kScoreFormatName},         {"version", kScoreFormatVersion},
                 {"keySignature", piece.keySignature}, {"octave", piece.octave},
                 {"trackCount", piece.trackCount},     {"currentTrack", saved.curTrack},
                 {"firstMeasure", saved.firstMeasure}, {"mml", readableMml(saved.mml)},
                 {"meter", meterName(piece.meter)}};
    // A piece at the standard tempo is written without it, as files were
    // before the tempo could be set, and reads back at it. The meter is
    // always written: a file without one opens in the free meter.
    if (piece.tempo != kStandardTempo)
        head["tempo"] = piece.tempo;
    // The head's members one per line, in this order; the tracks follow.
    std::string out = "{\n";
    for (const char* key : {"format", "version", "keySignature", "octave", "tempo", "trackCount",
                            "currentTrack", "firstMeasure", "mml", "meter"}) {
        if (head.contains(key))
            out += "  " + compact(json(key)) + ": " + compact(head.at(key)) + ",\n";
    }
    if (!saved.documentPath.empty() && saved.documentPath.size() <= kMaxDocumentPathBytes)
        out += "  \"document\": " + compact(json(saved.documentPath)) + ",\n";
    out += "  \"tracks\": [\n";
    for (int t = 0; t < kWindowTracks; ++t) {
        writeTrack(out, piece.score[t], piece.ticked[t]);
        out += t + 1 < kWindowTracks ? ",\n" : "\n";
    }
    out += "  ]\n}\n";
    return out;
}

ScoreRead readScoreText(std::string_view text) {
    if (text.find_first_not_of(" \t\r\n") == std::string_view::npos)
        return {nullptr, "空のファイルです", {}};
    ScoreReader reader;
    try {
        json::sax_parse(text.begin(), text.end(), &reader);
    } catch (const json::exception&) {
        return {nullptr, "JSONとして読めません", {}};
    }
    return reader.result();
}

void clearUnusedSlots(TrackScore& track) {
    if (!track.measures.allocated())
        return;
    for (Measure& measure : track.measures) {
        for (int slot = measure.noteCount; slot < kSlotCount; ++slot) {
            measure.noteAttr[slot].fill(0);
            measure.noteRow[slot] = 0;
        }
    }
}

}  // namespace tsuzuri
