#include "mml/read_mml.h"

#include <array>

#include "music/tempo.h"
#include "state/tables.h"

namespace tsuzuri {

namespace {

constexpr int kStartOctave = 4;
constexpr int kHighestOctave = 8;
constexpr int kLoudest = 15;
// Digits beyond this many say nothing more about a number: it is out of range.
constexpr int kNumberCap = 100000;

// The semitone of each letter A..G above C, and its step C = 0 ... B = 6.
constexpr std::array<int, 7> kSemitoneOf = {9, 11, 0, 2, 4, 5, 7};
constexpr std::array<int, 7> kStepOf = {5, 6, 0, 1, 2, 3, 4};

// Length numbers in the dialect by their written length index (plain lengths
// only): 64 is index 0, 32 index 2 ... 1 index 12; a triplet member's number
// is 3/2 of its written one, a quintuplet member's 5/4.
struct LengthNumber {
    int number;
    std::int8_t lengthIndex;
    std::int8_t tuplet;
};
constexpr std::array<LengthNumber, 18> kLengthNumbers = {{
    {1, 12, 0},
    {2, 10, 0},
    {4, 8, 0},
    {8, 6, 0},
    {16, 4, 0},
    {32, 2, 0},
    {64, 0, 0},
    {3, 10, 3},
    {6, 8, 3},
    {12, 6, 3},
    {24, 4, 3},
    {48, 2, 3},
    {96, 0, 3},
    {5, 8, 5},
    {10, 6, 5},
    {20, 4, 5},
    {40, 2, 5},
    {80, 0, 5},
}};

// A member of a group of 3 lasts 2/3 of its written ticks, of 5 4/5.
ExactTime soundingLength(int lengthIndex, int tuplet) {
    const ExactTime perTick = tuplet == 3 ? 10 : tuplet == 5 ? 12 : kExactPerTick;
    return perTick * noteLengthTicks(lengthIndex);
}

char upper(char c) {
    return c >= 'a' && c <= 'z' ? static_cast<char>(c - 'a' + 'A') : c;
}

bool isDigit(char c) {
    return c >= '0' && c <= '9';
}

// The bytes of the UTF-8 character that starts with byte c.
std::size_t characterBytes(unsigned char c) {
    if (c < 0x80)
        return 1;
    if ((c & 0xE0) == 0xC0)
        return 2;
    if ((c & 0xF0) == 0xE0)
        return 3;
    if ((c & 0xF8) == 0xF0)
        return 4;
    return 1;
}

constexpr std::string_view kFullWidthSpace = "\xE3\x80\x80";

class Reader {
public:
    explicit Reader(std::string_view text) : text_(text) {}

    MmlReading run() {
        while (!out_.error && pos_ < text_.size()) {
            if (skipSpace())
                continue;
            const TextPlace at = place_;
            const std::size_t start = pos_;
            const char c = upper(text_[pos_]);
            advance();
            command(c, at, start);
        }
        if (!out_.error)
            finish();
        out_.music.end = time_;
        out_.music.tempo = out_.tempo.value_or(kStandardTempo);
        return std::move(out_);
    }

private:
    struct Written {
        std::int8_t lengthIndex = 8;  // the quarter note
        std::int8_t tuplet = 0;
    };
    struct Number {
        int value = -1;  // -1: no digits
        std::string_view digits;
        TextPlace at;
    };

    void command(char c, const TextPlace& at, std::size_t start) {
        if (c >= 'A' && c <= 'G')
            note(c, at, start);
        else if (c == 'R')
            rest(at, start);
        else if (c == 'O')
            octaveCommand(at, start);
        else if (c == '<' || c == '>')
            octaveStep(c, at, start);
        else if (c == 'L')
            defaultLength(at);
        else if (c == 'T')
            tempoCommand(at, start);
        else if (c == 'V')
            volumeCommand(at, start);
        else if (c == '&')
            link(at);
        else
            fail(MmlFault::Unreadable, at,
                 text_.substr(start, characterBytes(static_cast<unsigned char>(text_[start]))));
    }

    // Moves over one byte, keeping the place of the next: a line break starts
    // a line, and only the first byte of a character counts as a column.
    void advance() {
        const char c = text_[pos_++];
        if (c == '\n') {
            ++place_.line;
            place_.column = 1;
        } else if ((static_cast<unsigned char>(c) & 0xC0) != 0x80) {
            ++place_.column;
        }
    }

    bool skipSpace() {
        const char c = text_[pos_];
        if (c == ' ' || c == '\t' || c == '\n' || c == '\r') {
            advance();
            return true;
        }
        if (text_.substr(pos_, kFullWidthSpace.size()) == kFullWidthSpace) {
            for (std::size_t i = 0; i < kFullWidthSpace.size(); ++i)
                advance();
            return true;
        }
        return false;
    }

    bool next(char c) const { return pos_ < text_.size() && upper(text_[pos_]) == c; }

    Number number() {
        Number n;
        n.at = place_;
        const std::size_t start = pos_;
        while (pos_ < text_.size() && isDigit(text_[pos_])) {
            if (n.value < kNumberCap)
                n.value = (n.value < 0 ? 0 : 10 * n.value) + (text_[pos_] - '0');
            advance();
        }
        n.digits = text_.substr(start, pos_ - start);
        return n;
    }

    void fail(MmlFault fault, const TextPlace& at, std::string_view token, int tuplet = 0) {
        if (!out_.error)
            out_.error = MmlError{fault, at, std::string(token), tuplet};
    }

    // A length after a note, a rest or L: digits of the dialect's lengths or
    // `fallback`, then one dot on a plain length.
    std::optional<Written> length(const Written& fallback) {
        const Number n = number();
        Written w = fallback;
        if (n.value >= 0) {
            const std::optional<MmlLength> l = mmlLength(n.value);
            if (!l) {
                fail(MmlFault::BadLength, n.at, n.digits);
                return std::nullopt;
            }
            w = {l->lengthIndex, l->tuplet};
        }
        if (next('.')) {
            const TextPlace dot = place_;
            advance();
            if (w.tuplet != 0) {
                fail(MmlFault::DottedTuplet, n.value >= 0 ? n.at : dot,
                     n.value >= 0 ? n.digits : std::string_view("."));
                return std::nullopt;
            }
            if (w.lengthIndex % 2 != 0) {
                fail(MmlFault::DoubleDot, dot, ".");
                return std::nullopt;
            }
            ++w.lengthIndex;
            if (next('.')) {
                fail(MmlFault::DoubleDot, place_, ".");
                return std::nullopt;
            }
        }
        return w;
    }

    void note(char letter, const TextPlace& at, std::size_t start) {
        int sign = 0;
        if (next('#') || next('+') || next('-')) {
            sign = text_[pos_] == '-' ? -1 : 1;
            advance();
        }
        const std::optional<Written> w = length(default_);
        if (!w)
            return;
        const auto l = static_cast<std::size_t>(letter - 'A');
        MusicEvent e = timedEvent(EventKind::Note, *w);
        e.pitch.key = static_cast<std::uint8_t>(12 * (octave_ + 1) + kSemitoneOf[l] + sign);
        e.pitch.octave = static_cast<std::int8_t>(octave_);
        e.pitch.letter = static_cast<std::int8_t>(kStepOf[l]);
        e.pitch.sign = static_cast<std::int8_t>(sign);
        e.velocity = velocity_;
        timed(e, at, text_.substr(start, pos_ - start));
    }

    void rest(const TextPlace& at, std::size_t start) {
        const std::optional<Written> w = length(default_);
        if (!w)
            return;
        MusicEvent e = timedEvent(EventKind::Rest, *w);
        e.paletteIndex = static_cast<std::int8_t>(kFirstRestIndex + w->lengthIndex);
        timed(e, at, text_.substr(start, pos_ - start));
    }

    MusicEvent timedEvent(EventKind kind, const Written& w) const {
        MusicEvent e;
        e.kind = kind;
        e.lengthIndex = w.lengthIndex;
        e.tuplet = w.tuplet;
        e.paletteIndex = w.lengthIndex;
        e.start = time_;
        e.length = soundingLength(w.lengthIndex, w.tuplet);
        return e;
    }

    // A note or rest joins the open tuplet group, or opens one with its arc,
    // and ends a pending link.
    void timed(MusicEvent& e, const TextPlace& at, std::string_view token) {
        tempoClosed_ = true;
        if (groupLeft_ > 0) {
            if (e.tuplet != group_.tuplet || e.lengthIndex != group_.lengthIndex) {
                fail(MmlFault::BrokenTuplet, groupAt_, groupToken_, group_.tuplet);
                return;
            }
            --groupLeft_;
        } else if (e.tuplet != 0) {
            group_ = {e.lengthIndex, e.tuplet};
            groupLeft_ = e.tuplet - 1;
            groupAt_ = at;
            groupToken_ = token;
            MusicEvent arc;
            arc.kind = EventKind::Mark;
            arc.start = time_;
            arc.paletteIndex =
                static_cast<std::int8_t>(e.tuplet == 3 ? kTripletArcIndex : kQuintupletArcIndex);
            push(arc, at);
        }
        if (linkPending_) {
            if (e.kind != EventKind::Note) {
                fail(MmlFault::LooseLink, linkAt_, "&");
                return;
            }
            out_.music.events[linkEvent_].tie = e.pitch.key == lastKey_;
            linkPending_ = false;
        }
        push(e, at);
        afterNote_ = e.kind == EventKind::Note;
        lastKey_ = e.pitch.key;
        time_ += e.length;
    }

    void push(const MusicEvent& e, const TextPlace& at) {
        out_.music.events.push_back(e);
        out_.places.push_back(at);
    }

    void octaveCommand(const TextPlace& at, std::size_t start) {
        const Number n = number();
        const std::string_view token = text_.substr(start, pos_ - start);
        if (n.value < 0)
            fail(MmlFault::MissingNumber, at, token);
        else if (n.value > kHighestOctave)
            fail(MmlFault::OctaveRange, at, token);
        else
            octave_ = n.value;
    }

    void octaveStep(char c, const TextPlace& at, std::size_t start) {
        const int octave = octave_ + (c == '>' ? 1 : -1);
        if (octave < 0 || octave > kHighestOctave)
            fail(MmlFault::OctaveRange, at, text_.substr(start, 1));
        else
            octave_ = octave;
    }

    void defaultLength(const TextPlace& at) {
        if (pos_ >= text_.size() || !isDigit(text_[pos_])) {
            fail(MmlFault::MissingNumber, at, "L");
            return;
        }
        if (const std::optional<Written> w = length(Written{}))
            default_ = *w;
    }

    void tempoCommand(const TextPlace& at, std::size_t start) {
        const Number n = number();
        const std::string_view token = text_.substr(start, pos_ - start);
        if (n.value < 0)
            fail(MmlFault::MissingNumber, at, token);
        else if (tempoClosed_)
            fail(MmlFault::TempoAfterNote, at, token);
        else if (!isTempo(n.value))
            fail(MmlFault::TempoRange, at, token);
        else
            out_.tempo = n.value;
    }

    void volumeCommand(const TextPlace& at, std::size_t start) {
        const Number n = number();
        const std::string_view token = text_.substr(start, pos_ - start);
        if (n.value < 0) {
            fail(MmlFault::MissingNumber, at, token);
        } else if (n.value > kLoudest) {
            fail(MmlFault::VolumeRange, at, token);
        } else {
            MusicEvent e;
            e.kind = EventKind::Volume;
            e.start = time_;
            e.volume = static_cast<std::int8_t>(n.value);
            e.paletteIndex = static_cast<std::int8_t>(kFirstVolumeIndex + n.value);
            velocity_ = volumeVelocity(n.value);
            push(e, at);
        }
    }

    // "&" joins the note before it to the next one; a second "&" between the
    // same two notes says nothing more.
    void link(const TextPlace& at) {
        if (!afterNote_) {
            fail(MmlFault::LooseLink, at, "&");
            return;
        }
        if (linkPending_)
            return;
        MusicEvent e;
        e.kind = EventKind::Link;
        e.start = time_;
        e.paletteIndex = kArcIndex;
        linkPending_ = true;
        linkEvent_ = out_.music.events.size();
        linkAt_ = at;
        push(e, at);
    }

    void finish() {
        if (groupLeft_ > 0)
            fail(MmlFault::BrokenTuplet, groupAt_, groupToken_, group_.tuplet);
        else if (linkPending_)
            fail(MmlFault::LooseLink, linkAt_, "&");
    }

    std::string_view text_;
    std::size_t pos_ = 0;
    TextPlace place_;
    MmlReading out_;
    ExactTime time_ = 0;
    int octave_ = kStartOctave;
    Written default_;
    std::uint8_t velocity_ = kStartVelocity;
    bool tempoClosed_ = false;  // a note or rest came: no T any more
    bool afterNote_ = false;    // the last note or rest was a note
    std::uint8_t lastKey_ = 0;
    bool linkPending_ = false;
    std::size_t linkEvent_ = 0;
    TextPlace linkAt_;
    Written group_;
    int groupLeft_ = 0;  // members the open tuplet group still needs
    TextPlace groupAt_;
    std::string_view groupToken_;
};

}  // namespace

std::optional<MmlLength> mmlLength(int n) {
    for (const LengthNumber& l : kLengthNumbers) {
        if (l.number == n)
            return MmlLength{l.lengthIndex, l.tuplet};
    }
    return std::nullopt;
}

MmlReading readMml(std::string_view text) {
    return Reader(text).run();
}

std::string placeText(const TextPlace& place) {
    return std::to_string(place.line) + "行" + std::to_string(place.column) + "列";
}

std::string mmlFaultText(const MmlError& error) {
    const std::string token = "「" + error.token + "」";
    switch (error.fault) {
        case MmlFault::Unreadable:
            return token + "は MML として読めません";
        case MmlFault::MissingNumber:
            return token + "の後に数がありません";
        case MmlFault::BadLength:
            return "長さ" + token +
                   "は使えません（1, 2, 4, 8, 16, 32, 64、3連符 3〜96、5連符 5〜80）";
        case MmlFault::DoubleDot:
            return "付点は一つまでです";
        case MmlFault::DottedTuplet:
            return "連符の長さ" + token + "に付点は付けられません";
        case MmlFault::OctaveRange:
            return token + "でオクターブが0〜8を外れます";
        case MmlFault::VolumeRange:
            return token + "：音量は V0〜V15 です";
        case MmlFault::TempoRange:
            return token + "：テンポは T32〜T255 です";
        case MmlFault::TempoAfterNote:
            return token + "は最初の音符より前に書いてください";
        case MmlFault::LooseLink:
            return "「&」の前後には音符が要ります";
        case MmlFault::BrokenTuplet:
            return token + "からの" + std::to_string(error.tuplet) + "連符が同じ長さの" +
                   std::to_string(error.tuplet) + "つで揃っていません";
    }
    return {};
}

}  // namespace tsuzuri
