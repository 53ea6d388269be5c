#include "score/layout.h"

#include <algorithm>
#include <array>
#include <cstdlib>

#include "music/marks.h"
#include "score/canvas_geometry.h"
#include "score/layout_bars.h"
#include "score/score_ops.h"
#include "state/tables.h"

namespace tsuzuri {

namespace {

constexpr int kStepsPerOctave = 7;
constexpr int kBaseOctaveSetting = 3;  // the setting at which octave o starts at row 7 * (o + 3)
constexpr int kOctaveSettings = 9;     // 0..8

bool reached(int row) {
    return row >= kLowestReachedRow && row <= kHighestReachedRow;
}

// Whether a note has a reached row under `setting` whose name is its own:
// at the ends of the settings the row names stop at octave digits 0 and 7.
bool shownUnder(const SpelledPitch& p, int setting) {
    const int row = rowForNote(p.octave, p.letter, setting);
    return reached(row) && rowOctave(row, setting) - 1 == p.octave;
}

// The octave setting nearest to `current` that shows every note; -1 when none does.
int settingShowingAll(const TrackInterpretation& music, int current) {
    for (int distance = 1; distance < kOctaveSettings; ++distance) {
        for (const int setting : {current - distance, current + distance}) {
            if (setting < 0 || setting >= kOctaveSettings)
                continue;
            const bool all =
                std::all_of(music.events.begin(), music.events.end(), [&](const MusicEvent& e) {
                    return e.kind != EventKind::Note || shownUnder(e.pitch, setting);
                });
            if (all)
                return setting;
        }
    }
    return -1;
}

// The row of every note: that of its letter and octave under the setting, a
// reached row named as the note is named.
std::optional<LayoutError> findRows(const TrackInterpretation& music, const StaffRows& rows,
                                    int setting, std::vector<std::int16_t>& out) {
    out.assign(music.events.size(), 0);
    for (std::size_t i = 0; i < music.events.size(); ++i) {
        const MusicEvent& e = music.events[i];
        if (e.kind != EventKind::Note)
            continue;
        const int row = rowForNote(e.pitch.octave, e.pitch.letter, setting);
        if (!reached(row) || rows[row].natural.octave != e.pitch.octave ||
            rows[row].natural.letter != e.pitch.letter) {
            return LayoutError{LayoutFault::RowOutOfReach, static_cast<int>(i), 0,
                               settingShowingAll(music, setting)};
        }
        out[i] = static_cast<std::int16_t>(row);
    }
    return std::nullopt;
}

// The palette lengths of a piece of `ticks` ticks (at least 2), longest
// first, never leaving the one tick that no length expresses.
std::vector<int> palettePieces(int ticks) {
    std::vector<int> pieces;
    while (ticks > 0) {
        for (int index = kNoteLengths - 1; index >= 0; --index) {
            const int length = noteLengthTicks(index);
            if (length <= ticks && ticks - length != 1) {
                pieces.push_back(index);
                ticks -= length;
                break;
            }
        }
    }
    return pieces;
}

// Puts the music's items into bars in play order.
class BarFiller {
public:
    BarFiller(const TrackInterpretation& music, const std::vector<std::int16_t>& rows,
              ExactTime bar)
        : music_(music), rows_(rows), bar_(bar) {}

    std::optional<LayoutError> run(std::vector<LaidBar>& bars) {
        bars_ = &bars;
        bars.emplace_back();
        int groupLeft = 0;
        for (std::size_t i = 0; i < music_.events.size() && !error_; ++i) {
            const MusicEvent& e = music_.events[i];
            const int event = static_cast<int>(i);
            switch (e.kind) {
                case EventKind::Volume:
                    pending_.push_back(mark(LaidKind::Volume, e.paletteIndex, event));
                    break;
                case EventKind::Link:
                    pending_.push_back(mark(LaidKind::Arc, kArcIndex, event));
                    break;
                case EventKind::Mark:  // a tuplet arc: its group goes whole where it starts
                    if (startItem(event))
                        bar().items.push_back(mark(LaidKind::Tuplet, e.paletteIndex, event));
                    groupLeft = tupletCount(e.paletteIndex);
                    break;
                case EventKind::Note:
                case EventKind::Rest:
                    if (groupLeft > 0) {
                        --groupLeft;
                        flushPending();
                        place(e, event, e.lengthIndex, e.length);
                    } else if (startItem(event)) {
                        placeSplit(e, event);
                    }
                    break;
            }
        }
        bar().between = std::move(pending_);
        return error_;
    }

private:
    LaidBar& bar() { return bars_->back(); }

    static LaidItem mark(LaidKind kind, int index, int event) {
        LaidItem item;
        item.kind = kind;
        item.index = static_cast<std::int8_t>(index);
        item.event = event;
        return item;
    }

    void flushPending() {
        bar().items.insert(bar().items.end(), pending_.begin(), pending_.end());
        pending_.clear();
    }

    // Before the next note or rest: a full bar hands the marks since its last
    // item to the bar line and a new bar begins.
    bool startItem(int event) {
        if (position_ < bar_) {
            flushPending();
            return true;
        }
        bar().between = std::move(pending_);
        pending_.clear();
        const int measure = static_cast<int>(bars_->size());
        if (!measureInScore(measure)) {
            error_ = LayoutError{LayoutFault::PastLastMeasure, event, measure, -1};
            return false;
        }
        bars_->emplace_back();
        position_ = 0;
        return true;
    }

    void place(const MusicEvent& e, int event, int lengthIndex, ExactTime length) {
        LaidItem item;
        item.kind = LaidKind::Timed;
        item.note = e.kind == EventKind::Note;
        item.index =
            static_cast<std::int8_t>(item.note ? lengthIndex : kFirstRestIndex + lengthIndex);
        item.sign = e.pitch.sign;
        item.row = rows_[static_cast<std::size_t>(event)];
        item.length = length;
        item.event = event;
        bar().items.push_back(item);
        position_ += length;
        bar().time = position_;
    }

    // A note or rest that crosses the bar line goes on in the next bars as
    // pieces of palette lengths, the pieces of a note tied; one that would
    // leave a piece of a single tick stays whole.
    void placeSplit(const MusicEvent& e, int event) {
        std::vector<ExactTime> pieces{std::min(e.length, bar_ - position_)};
        ExactTime left = e.length - pieces.front();
        while (left > 0) {
            pieces.push_back(std::min(left, bar_));
            left -= pieces.back();
        }
        if (pieces.size() == 1 || pieces.front() == kExactPerTick ||
            pieces.back() == kExactPerTick) {
            place(e, event, e.lengthIndex, e.length);
            return;
        }
        const bool note = e.kind == EventKind::Note;
        for (std::size_t k = 0; k < pieces.size(); ++k) {
            if (k > 0) {
                if (note)
                    pending_.push_back(mark(LaidKind::Arc, kArcIndex, event));
                if (!startItem(event))
                    return;
            }
            const std::vector<int> lengths =
                palettePieces(static_cast<int>(pieces[k] / kExactPerTick));
            for (std::size_t j = 0; j < lengths.size(); ++j) {
                if (j > 0 && note)
                    bar().items.push_back(mark(LaidKind::Arc, kArcIndex, event));
                place(e, event, lengths[j], exactTicks(noteLengthTicks(lengths[j])));
            }
        }
    }

    const TrackInterpretation& music_;
    const std::vector<std::int16_t>& rows_;
    const ExactTime bar_;
    std::vector<LaidBar>* bars_ = nullptr;
    std::vector<LaidItem> pending_;  // marks since the last note or rest
    ExactTime position_ = 0;         // where the next item starts in the bar
    std::optional<LayoutError> error_;
};

// Puts a sharp, flat or natural right before each note whose row would sound
// another sign at its place: the key signature's, the last mark's on the row
// in its bar, or across a bar line the sign a tie carries to its own row.
class Accidentals {
public:
    explicit Accidentals(const StaffRows& rows) : rows_(rows) {}

    void run(std::vector<LaidBar>& bars) {
        for (std::size_t m = 0; m < bars.size(); ++m) {
            marks_.fill(kNone);
            std::vector<LaidItem> items;
            items.reserve(bars[m].items.size());
            for (const LaidItem& item : bars[m].items)
                visit(item, static_cast<int>(m), items);
            bars[m].items = std::move(items);
            for (const LaidItem& item : bars[m].between)
                arcAfterNote_ =
                    arcAfterNote_ || (item.kind == LaidKind::Arc && lastNote_.measure >= 0);
        }
    }

private:
    static constexpr std::int8_t kNone = 2;
    struct Note {
        int measure = -1;  // -1: a rest since, or no note yet
        int row = 0;
        int sign = 0;
    };

    void visit(const LaidItem& item, int m, std::vector<LaidItem>& items) {
        if (item.kind == LaidKind::Arc && lastNote_.measure >= 0)
            arcAfterNote_ = true;
        if (item.kind == LaidKind::Timed && !item.note) {
            lastNote_ = {};
            arcAfterNote_ = false;
        }
        if (item.kind == LaidKind::Timed && item.note) {
            const int sign = signWithoutMark(item, m);
            if (sign != item.sign) {
                LaidItem accidental = item;
                accidental.kind = LaidKind::Accidental;
                accidental.index = static_cast<std::int8_t>(accidentalMarkFor(item.sign));
                items.push_back(accidental);
                marks_[item.row] = item.sign;
            }
            lastNote_ = {m, item.row, item.sign};
            arcAfterNote_ = false;
        }
        items.push_back(item);
    }

    int signWithoutMark(const LaidItem& note, int m) const {
        const std::int8_t mark = marks_[note.row];
        if (arcAfterNote_ && lastNote_.measure < m && lastNote_.row == note.row && mark == kNone)
            return lastNote_.sign;
        return mark == kNone ? rows_[note.row].keySign : mark;
    }

    const StaffRows& rows_;
    Table<std::int8_t, kRowCount> marks_;  // the sign of the last mark on each row in the bar
    Note lastNote_;
    bool arcAfterNote_ = false;  // an arc stands after the last note, no rest since
};

// Splits the marks at each bar line between the bars on either side, in
// play order: up to the last arc in the bar before, the others in the bar
// after, as far as each has room; the marks after the music's end stay in
// its last bar when they fit.
std::optional<LayoutError> settleBetween(std::vector<LaidBar>& bars) {
    constexpr std::size_t kRoom = kMaxNotesPerMeasure;
    for (std::size_t m = 0; m < bars.size(); ++m) {
        std::vector<LaidItem> between = std::move(bars[m].between);
        bars[m].between.clear();
        if (between.empty())
            continue;
        const std::size_t roomHere = kRoom - std::min(kRoom, bars[m].items.size());
        if (m + 1 == bars.size() && between.size() <= roomHere) {
            bars[m].items.insert(bars[m].items.end(), between.begin(), between.end());
            break;
        }
        if (m + 1 == bars.size()) {
            if (!measureInScore(static_cast<int>(bars.size())))
                return LayoutError{LayoutFault::PastLastMeasure, between.front().event,
                                   static_cast<int>(bars.size()), -1};
            bars.emplace_back();
        }
        std::vector<LaidItem>& here = bars[m].items;
        std::vector<LaidItem>& next = bars[m + 1].items;
        const std::size_t roomNext = kRoom - std::min(kRoom, next.size());
        std::size_t before = 0;
        for (std::size_t i = 0; i < between.size(); ++i) {
            if (between[i].kind == LaidKind::Arc)
                before = i + 1;
        }
        const std::size_t fewest = between.size() - std::min(roomNext, between.size());
        before = std::clamp(before, fewest, std::max(fewest, std::min(roomHere, between.size())));
        here.insert(here.end(), between.begin(), between.begin() + static_cast<long>(before));
        next.insert(next.begin(), between.begin() + static_cast<long>(before), between.end());
    }
    for (std::size_t m = 0; m < bars.size(); ++m) {
        if (bars[m].items.size() > kRoom)
            return LayoutError{LayoutFault::MeasureFull, bars[m].items[kRoom].event,
                               static_cast<int>(m), -1};
    }
    return std::nullopt;
}

void storeBars(const std::vector<LaidBar>& bars, TrackScore& track) {
    track.measures.fill(Measure{});
    int last = 0;
    for (std::size_t m = 0; m < bars.size(); ++m) {
        if (bars[m].items.empty())
            continue;
        Measure& measure = track.measures[static_cast<int>(m)];
        for (const LaidItem& item : bars[m].items) {
            const PlacedGlyph glyph = placedGlyph(item.index, item.row);
            insertSlot(measure, measure.noteCount,
                       {item.x, static_cast<std::int16_t>(glyph.top),
                        static_cast<std::int16_t>(glyph.code), item.row});
        }
        last = static_cast<int>(m);
    }
    track.lastMeasure = static_cast<std::int16_t>(last);
}

}  // namespace

int rowForNote(int octave, int letter, int octaveSetting) {
    return kStepsPerOctave * (octave + kBaseOctaveSetting - octaveSetting) + letter;
}

std::optional<LayoutError> layoutTrack(const TrackInterpretation& music, const StaffRows& rows,
                                       int octaveSetting, int barTicks, TrackScore& track) {
    std::vector<std::int16_t> noteRows;
    if (auto error = findRows(music, rows, octaveSetting, noteRows))
        return error;
    // A bar of no time would never fill: every bar holds at least one tick.
    const ExactTime bar = exactTicks(std::max(barTicks, 1));
    std::vector<LaidBar> bars;
    if (auto error = BarFiller(music, noteRows, bar).run(bars))
        return error;
    Accidentals(rows).run(bars);
    if (auto error = settleBetween(bars))
        return error;
    placeLaidBars(bars, bar);
    storeBars(bars, track);
    return std::nullopt;
}

}  // namespace tsuzuri
