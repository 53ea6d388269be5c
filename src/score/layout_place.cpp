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

// Horizontal room, in pixels: the first item's left edge, the rightmost left
// edge of the last note or rest, the width a note or rest keeps for itself,
// and what each mark takes before the note it belongs to.
constexpr int kFirstX = 6;
constexpr int kLastNoteX = 168;
constexpr int kNoteWidth = 14;
constexpr int kAccidentalWidth = 11;
constexpr int kTupletWidth = 2;
constexpr int kVolumeWidth = 20;
constexpr int kArcWidth = 16;
// An arc's picture is 32 pixels wide; its middle is 16 from its left edge and
// a notehead's centre 5 from the note's.
constexpr int kArcMiddle = 16;
constexpr int kHeadCentre = 5;

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
// looking back first.
bool inTreble(const std::vector<LaidItem*>& order, const Neighbours& near, std::size_t i) {
    const int note = near.before[i] >= 0 ? near.before[i] : near.after[i];
    return note < 0 || order[static_cast<std::size_t>(note)]->row >= kMiddleCRow;
}

void giveRows(std::vector<LaidBar>& bars) {
    const std::vector<LaidItem*> order = playOrder(bars);
    const Neighbours near = noteNeighbours(order);
    auto rowOf = [&](int i) { return order[static_cast<std::size_t>(i)]->row; };
    for (std::size_t i = 0; i < order.size(); ++i) {
        LaidItem& item = *order[i];
        const bool treble = inTreble(order, near, i);
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
            int highest = 0, left = tupletCount(arc.index);
            bool stemUp = false;
            for (std::size_t j = i + 1; j < bar.items.size() && left > 0; ++j) {
                const LaidItem& member = bar.items[j];
                if (member.kind != LaidKind::Timed)
                    continue;
                --left;
                highest = std::max<int>(highest, member.row);
                stemUp = stemUp || (member.note && isStemmedIndex(member.index) &&
                                    stemBand(rowSnappedY(member.row)) == 1);
            }
            arc.row = static_cast<std::int16_t>(
                clampRow(highest + (stemUp ? kTupletRiseOverStems : kTupletRise)));
        }
    }
}

// A note or rest and the marks before it in its bar.
struct Column {
    std::size_t first = 0;   // its first item
    std::size_t anchor = 0;  // its note or rest; == items.size() for marks after the last
    int lead = 0;            // what its marks take before the anchor
    double ideal = 0;        // where its time puts the anchor
};

std::vector<Column> columnsOf(const LaidBar& bar, ExactTime barTime) {
    const double time = static_cast<double>(std::max(barTime, bar.time));
    std::vector<Column> columns;
    Column c;
    for (std::size_t i = 0; i < bar.items.size(); ++i) {
        const LaidItem& item = bar.items[i];
        if (item.kind != LaidKind::Timed) {
            c.lead += markWidth(item.kind);
            continue;
        }
        c.anchor = i;
        c.ideal =
            kFirstX + c.lead + (kLastNoteX - kFirstX) * static_cast<double>(item.start) / time;
        columns.push_back(c);
        c = Column{i + 1, 0, 0, 0};
    }
    c.anchor = bar.items.size();
    if (c.first < bar.items.size())
        columns.push_back(c);
    return columns;
}

// The anchors' x: at their time where there is room, pushed right to keep
// each column's room, spread evenly over the bar when time would run them
// past its end, squeezed when even that does not fit. Returns the scale of
// the marks' widths.
double placeAnchors(std::vector<Column>& columns, std::vector<double>& x) {
    const std::size_t n = columns.size();
    x.assign(n, 0);
    std::vector<double> packed(n, 0);
    for (std::size_t k = 0; k < n; ++k) {
        const double room =
            k == 0 ? kFirstX + columns[0].lead : packed[k - 1] + kNoteWidth + columns[k].lead;
        packed[k] = room;
        x[k] = k == 0 ? std::max(columns[0].ideal, room)
                      : std::max(columns[k].ideal, x[k - 1] + kNoteWidth + columns[k].lead);
    }
    if (n == 0 || x[n - 1] <= kLastNoteX)
        return 1.0;
    if (packed[n - 1] <= kLastNoteX) {
        const double spare = kLastNoteX - packed[n - 1];
        for (std::size_t k = 0; k < n; ++k)
            x[k] = packed[k] +
                   (n > 1 ? spare * static_cast<double>(k) / static_cast<double>(n - 1) : 0);
        return 1.0;
    }
    const double scale = (kLastNoteX - kFirstX) / (packed[n - 1] - kFirstX);
    for (std::size_t k = 0; k < n; ++k)
        x[k] = kFirstX + (packed[k] - kFirstX) * scale;
    return scale;
}

void placeBar(LaidBar& bar, ExactTime barTime) {
    std::vector<Column> columns = columnsOf(bar, barTime);
    std::vector<double> anchors;
    const double scale = placeAnchors(columns, anchors);
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

// An arc between two notes is centred between their heads, wherever they
// stand (a tie over the bar line reaches back or forward across it), and
// kept between its neighbours in its bar.
void centreArcs(std::vector<LaidBar>& bars) {
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
            const int middle =
                (absolute(order[static_cast<std::size_t>(before)]) + absolute(order[i])) / 2 +
                kHeadCentre;
            const std::vector<LaidItem>& items = bars[static_cast<std::size_t>(arc.bar)].items;
            int x = middle - kArcMiddle - kColumnWidth * arc.bar;
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
    centreArcs(bars);
}

}  // namespace tsuzuri
