#include "mml/length_letters.h"

#include <initializer_list>

#include "state/table.h"

namespace tsuzuri {

namespace {

bool isLengthCharacter(char c) {
    return (c >= '0' && c <= '9') || c == '.';
}

// The digit of an octave command that is also a one-digit length: "O4", "O8",
// "O2" and "O1" keep it.
bool isGuardedOctaveDigit(std::string_view text, std::size_t i) {
    const char c = text[i];
    return i > 0 && text[i - 1] == 'O' && (c == '4' || c == '8' || c == '2' || c == '1');
}

// Every occurrence of `length` in `run`, searched from the start and not
// overlapping, replaced by `letter`, in place.
void replaceInRun(std::string& run, std::string_view length, char letter) {
    std::size_t w = 0;
    for (std::size_t r = 0; r < run.size();) {
        if (run.compare(r, length.size(), length) == 0) {
            run[w++] = letter;
            r += length.size();
        } else {
            run[w++] = run[r++];
        }
    }
    run.resize(w);
}

// The length entry a run of digits and dots is as a whole, or -1.
int wholeLength(std::string_view run) {
    for (int n = 0; n < kNoteLengthCount; ++n) {
        const std::string_view length = noteLengthText(n);
        if (length.size() != run.size())
            continue;
        std::size_t i = 0;  // lengths are a few characters: no library compare
        while (i < run.size() && run[i] == length[i])
            ++i;
        if (i == run.size())
            return n;
    }
    return -1;
}

// Replaces the lengths inside a run of digits and dots. Dotted before plain and
// every two-digit length before the one-digit lengths it contains, so "16." is
// not taken for "1" and "6.". A run that is one whole length, as almost every
// run is, contains no length searched before its own and becomes its letter.
void appendLetteredRun(std::string& out, std::string_view run, int shift, std::string& scratch) {
    const int whole = wholeLength(run);
    if (whole >= 0) {
        out += lengthLetter(whole + shift);
        return;
    }
    if (run.size() == 1) {  // an octave digit, or a digit or dot that is no length
        out += run;
        return;
    }
    scratch.assign(run);
    for (int i = 0; i < kNoteLengthCount / 2; ++i) {
        for (const int n : {2 * i + 1, 2 * i})
            replaceInRun(scratch, noteLengthText(n), lengthLetter(n + shift));
    }
    out += scratch;
}

}  // namespace

char lengthLetter(int index) {
    if (index < 0 || index >= kNoteLengthCount + 2)
        indexFault(index, kNoteLengthCount + 2);
    return static_cast<char>('a' + index);
}

std::string enletter(std::string_view text, bool doubleLength) {
    // A length consists of digits and dots only and its letter is neither, so
    // replacing the lengths one after another over the whole text gives the same
    // as doing so inside every run of digits and dots on its own. A guarded
    // octave digit ends a run. One pass over the text, so the cost is linear.
    const int shift = doubleLength ? 2 : 0;
    std::string out;
    out.reserve(text.size());
    std::string scratch;
    std::size_t runStart = 0;
    for (std::size_t i = 0; i <= text.size(); ++i) {
        if (i < text.size() && isLengthCharacter(text[i]) && !isGuardedOctaveDigit(text, i))
            continue;
        if (i > runStart)
            appendLetteredRun(out, text.substr(runStart, i - runStart), shift, scratch);
        if (i < text.size())
            out += text[i];
        runStart = i + 1;
    }
    return out;
}

std::string deletter(std::string_view text) {
    std::string out;
    out.reserve(text.size() * 2);
    for (const char c : text) {
        if (c >= 'a' && c < 'a' + kNoteLengthCount)
            out.append(noteLengthText(c - 'a'));
        else
            out += c;
    }
    return out;
}

}  // namespace tsuzuri
