// Where laid items go on the canvas: rows for the marks and rests, x offsets
// for everything, so that a read measure looks placed by hand.
#include <algorithm>
#include <cmath>
#include <optional>

#include "music/marks.h"
#include "score/canvas_geometry.h"
#include "score/layout.h"
#include "score/layout_bars.h"

namespace tsuzuri {

namespace {

// Rows, at octave setting 4 the treble staff's middle line (B4) and the bass
// staff's (D3): rests drawn there take their customary places.
constexpr int kTrebleMiddleRow = 27;
constexpr int kBassMiddleRow = 15;
// Notes from middle C up read in the treble staff.
constexpr int kMiddleCRow = 21;
// V marks stand below the staff of their notes: between the staves, or below
// the bass staff.
constexpr int kTrebleVolumeRow = 21;
constexpr int kBassVolumeRow = 10;
// An arc over two notes stands this many rows above the higher; a tuplet's
// arc with its figure clears its members' heads, or their stems up.
constexpr int kArcRise = 2;
constexpr int kTupletRise = 6;
constexpr int kTupletRiseOverStems = 11;

// Horizontal room, in pixels: the first item's left edge, where the room of
// the bar's last note ends, short of the bar line, the width a note or rest
// keeps for itself, and what each mark takes before the note it belongs to.
constexpr int kFirstX = 6;
constexpr int kBarEndX = 190;
constexpr int kNoteWidth = 12;
constexpr int kAccidentalWidth = 11;
constexpr int kTupletWidth = 2;
constexpr int kVolumeWidth = 20;
constexpr int kArcWidth = 16;
// An arc's picture is 32 pixels wide; its middle is 16 from its left edge and
// a notehead's centre 5 from the note's. It joins heads up to 40 pixels apart;
// farther, it starts right of the first head, clear of a dot.
constexpr int kArcMiddle = 16;
constexpr int kHeadCentre = 5;
constexpr int kArcReach = 40;
constexpr int kArcStart = 8;
// Spacing by length: a sixteenth note's room is the unit.
constexpr double kSixteenthTicks = 8;
constexpr double kSpacePerDoubling = 0.7;
constexpr double kShortestSpace = 0.7;

int markWidth(LaidKind kind) {
    switch (kind) {
        case LaidKind::Accidental:
            return kAccidentalWidth;
        case LaidKind::Tuplet:
            return kTupletWidth;
        case LaidKind::Volume:
            return kVolumeWidth;
        case LaidKind::Arc:
            return kArcWidth;
        case LaidKind::Timed:
            break;
    }
    return 0;
}

int clampRow(int row) {
    return std::clamp(row, kLowestReachedRow, kHighestReachedRow);
}

bool isNote(const LaidItem& item) {
    return item.kind == LaidKind::Timed && item.note;
}

// Every item of the bars in play order.
std::vector<LaidItem*> playOrder(std::vector<LaidBar>& bars) {
    std::vector<LaidItem*> order;
    for (LaidBar& bar : bars) {
        for (LaidItem& item : bar.items)
            order.push_back(&item);
    }
    return order;
}

// For each item, the nearest note before it and after it in play order; -1 for none.
struct Neighbours {
    std::vector<int> before;
    std::vector<int> after;
};
Neighbours noteNeighbours(const std::vector<LaidItem*>& order) {
    const int n = static_cast<int>(order.size());
    Neighbours out{std::vector<int>(order.size(), -1), std::vector<int>(order.size(), -1)};
    int last = -1;
    for (int i = 0; i < n; ++i) {
        out.before[static_cast<std::size_t>(i)] = last;
        if (isNote(*order[static_cast<std::size_t>(i)]))
            last = i;
    }
    last = -1;
    for (int i = n - 1; i >= 0; --i) {
        out.after[static_cast<std::size_t>(i)] = last;
        if (isNote(*order[static_cast<std::size_t>(i)]))
            last = i;
    }
    return out;
}

// Whether the music near item i reads in the treble staff: its nearest note,
// looking back first, or ahead first for a mark that acts on what follows.
bool inTreble(const std::vector<LaidItem*>& order, const Neighbours& near, std::size_t i,
              bool ahead) {
    const int first = ahead ? near.after[i] : near.before[i];
    const int note = first >= 0 ? first : ahead ? near.before[i] : near.after[i];
    return note < 0 || order[static_cast<std::size_t>(note)]->row >= kMiddleCRow;
}

void giveRows(std::vector<LaidBar>& bars) {
    const std::vector<LaidItem*> order = playOrder(bars);
    const Neighbours near = noteNeighbours(order);
    auto rowOf = [&](int i) { return order[static_cast<std::size_t>(i)]->row; };
    for (std::size_t i = 0; i < order.size(); ++i) {
        LaidItem& item = *order[i];
        const bool treble = inTreble(order, near, i, item.kind == LaidKind::Volume);
        if (item.kind == LaidKind::Timed && !item.note)
            item.row = static_cast<std::int16_t>(treble ? kTrebleMiddleRow : kBassMiddleRow);
        else if (item.kind == LaidKind::Volume)
            item.row = static_cast<std::int16_t>(treble ? kTrebleVolumeRow : kBassVolumeRow);
        else if (item.kind == LaidKind::Arc && near.before[i] >= 0 && near.after[i] >= 0)
            item.row = static_cast<std::int16_t>(
                clampRow(std::max(rowOf(near.before[i]), rowOf(near.after[i])) + kArcRise));
        else if (item.kind == LaidKind::Arc)
            item.row = static_cast<std::int16_t>(treble ? kTrebleMiddleRow : kBassMiddleRow);
    }
    // A tuplet arc over its members, which have their rows now.
    for (LaidBar& bar : bars) {
        for (std::size_t i = 0; i < bar.items.size(); ++i) {
            LaidItem& arc = bar.items[i];
            if (arc.kind != LaidKind::Tuplet)
                continue;
            int row = 0, left = tupletCount(arc.index);
            for (std::size_t j = i + 1; j < bar.items.size() && left > 0; ++j) {
                const LaidItem& member = bar.items[j];
                if (member.kind != LaidKind::Timed)
                    continue;
                --left;
                const bool stemUp = member.note && isStemmedIndex(member.index) &&
                                    stemBand(rowSnappedY(member.row)) == 1;
                row = std::max(row, member.row + (stemUp ? kTupletRiseOverStems : kTupletRise));
            }
            arc.row = static_cast<std::int16_t>(clampRow(row));
        }
    }
}

// A note or rest and the marks before it in its bar.
struct Column {
    std::size_t first = 0;   // its first item
    std::size_t anchor = 0;  // its note or rest; == items.size() for marks after the last
    int lead = 0;            // what its marks take before the anchor
    double space = 0;        // its share of the bar's free room
};

// The room a note or rest of `ticks` gets, as engravers space notes: a
// sixteenth 1, each longer length doubling it 0.7 more, short ones at least 0.7.
double spaceOf(double ticks) {
    return std::max(kShortestSpace, 1.0 + kSpacePerDoubling * std::log2(ticks / kSixteenthTicks));
}

std::vector<Column> columnsOf(const LaidBar& bar) {
    std::vector<Column> columns;
    Column c;
    for (std::size_t i = 0; i < bar.items.size(); ++i) {
        const LaidItem& item = bar.items[i];
        if (item.kind != LaidKind::Timed) {
            c.lead += markWidth(item.kind);
            continue;
        }
        c.anchor = i;
        columns.push_back(c);
        c = Column{i + 1, 0, 0, 0};
    }
    c.anchor = bar.items.size();
    if (c.first < bar.items.size())
        columns.push_back(c);
    return columns;
}

// The anchors' x: each column keeps its marks' room and a note's width, and
// the rest of the bar is shared by the notes' spaces, a short bar's missing
// time counted as space after its last note; when even the widths do not
// fit, they are squeezed. Returns the scale of the marks' widths.
double placeAnchors(const LaidBar& bar, std::vector<Column>& columns, ExactTime barTime,
                    std::vector<double>& x) {
    double fixed = 0, spaces = 0;
    for (Column& c : columns) {
        if (c.anchor == bar.items.size())
            continue;
        c.space = spaceOf(static_cast<double>(bar.items[c.anchor].length) / kExactPerTick);
        fixed += c.lead + kNoteWidth;
        spaces += c.space;
    }
    if (bar.time < barTime)
        spaces += spaceOf(static_cast<double>(barTime - bar.time) / kExactPerTick);
    const double room = kBarEndX - kFirstX;
    const double unit = spaces > 0 ? std::max(0.0, (room - fixed) / spaces) : 0;
    const double scale = fixed > room ? room / fixed : 1.0;
    x.assign(columns.size(), 0);
    double at = kFirstX;
    for (std::size_t k = 0; k < columns.size(); ++k) {
        at += columns[k].lead * scale;
        x[k] = at;
        at += kNoteWidth * scale + unit * columns[k].space;
    }
    return scale;
}

void placeBar(LaidBar& bar, ExactTime barTime) {
    std::vector<Column> columns = columnsOf(bar);
    std::vector<double> anchors;
    const double scale = placeAnchors(bar, columns, barTime, anchors);
    std::optional<double> previous;
    for (std::size_t k = 0; k < columns.size(); ++k) {
        const Column& c = columns[k];
        const bool trailing = c.anchor == bar.items.size();
        // Marks after the last note or rest follow it; the others stand before
        // their anchor, each as far left of the next as it is wide.
        double at = !trailing  ? anchors[k] - c.lead * scale
                    : previous ? *previous + kNoteWidth * scale
                               : kFirstX;
        for (std::size_t i = c.first; i < c.anchor; ++i) {
            bar.items[i].x = static_cast<std::int16_t>(std::lround(at));
            at += markWidth(bar.items[i].kind) * scale;
        }
        if (!trailing) {
            bar.items[c.anchor].x = static_cast<std::int16_t>(std::lround(anchors[k]));
            previous = anchors[k];
        }
    }
    for (std::size_t i = 1; i < bar.items.size(); ++i)
        bar.items[i].x = std::max<std::int16_t>(bar.items[i].x,
                                                static_cast<std::int16_t>(bar.items[i - 1].x + 1));
}

// An arc between two notes spans from the head of the first: centred between
// the heads when they are close enough for it to reach both, starting at the
// first when they are farther apart (a tie over a bar line reaches back or
// forward across it); always between its neighbours in its bar.
void placeArcs(std::vector<LaidBar>& bars) {
    struct Placed {
        LaidItem* item;
        int bar;
        std::size_t slot;
    };
    std::vector<Placed> order;
    for (std::size_t b = 0; b < bars.size(); ++b) {
        for (std::size_t s = 0; s < bars[b].items.size(); ++s)
            order.push_back({&bars[b].items[s], static_cast<int>(b), s});
    }
    auto absolute = [](const Placed& p) { return kColumnWidth * p.bar + p.item->x; };
    int before = -1;
    std::vector<std::size_t> waiting;  // arcs after the last note, before the next
    for (std::size_t i = 0; i < order.size(); ++i) {
        const LaidItem& item = *order[i].item;
        if (item.kind == LaidKind::Arc && before >= 0)
            waiting.push_back(i);
        if (item.kind == LaidKind::Timed && !item.note)
            waiting.clear();
        if (!isNote(item))
            continue;
        for (const std::size_t a : waiting) {
            const Placed& arc = order[a];
            const int first = absolute(order[static_cast<std::size_t>(before)]);
            const int distance = absolute(order[i]) - first;
            const int left = distance <= kArcReach ? first + distance / 2 + kHeadCentre - kArcMiddle
                                                   : first + kArcStart;
            const std::vector<LaidItem>& items = bars[static_cast<std::size_t>(arc.bar)].items;
            int x = left - kColumnWidth * arc.bar;
            if (arc.slot > 0)
                x = std::max(x, items[arc.slot - 1].x + 1);
            if (arc.slot + 1 < items.size())
                x = std::min(x, items[arc.slot + 1].x - 1);
            arc.item->x = static_cast<std::int16_t>(x);
        }
        waiting.clear();
        before = static_cast<int>(i);
    }
}

}  // namespace

void placeLaidBars(std::vector<LaidBar>& bars, ExactTime barTime) {
    giveRows(bars);
    for (LaidBar& bar : bars)
        placeBar(bar, barTime);
    placeArcs(bars);
}

}  // namespace tsuzuri
