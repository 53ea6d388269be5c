#include "mml/length_letters.h"

#include "state/table.h"

namespace tsuzuri {

namespace {

bool isDigit(char c) {
    return c >= '0' && c <= '9';
}

}  // namespace

char lengthLetter(int index) {
    if (index < 0 || index >= kNoteLengthCount)
        indexFault(index, kNoteLengthCount);
    return static_cast<char>('a' + index);
}

void appendLengthLetter(std::string& out, std::string_view head, int entry, bool doubleLength) {
    constexpr int kLonger = 2;  // the entry of the length twice as long is two further on
    if (!doubleLength) {
        out += lengthLetter(entry);
        return;
    }
    if (entry + kLonger < kNoteLengthCount) {
        out += lengthLetter(entry + kLonger);
        return;
    }
    // Twice a whole note has no length text: a letter past 'n' would stay in
    // the text as a stray letter. The note is held over a second one of its
    // kind instead, which keeps its sound.
    out += lengthLetter(entry);
    if (head != "R")
        out += '&';
    out.append(head);
    out += lengthLetter(entry);
}

std::size_t lengthStart(std::string_view text, std::size_t i) {
    const char c = text[i];
    if (c == 'R')
        return i + 1;
    if (c < 'A' || c > 'G')
        return i;
    const std::size_t after = i + 1;
    if (after < text.size() && (text[after] == '#' || text[after] == '+' || text[after] == '-'))
        return after + 1;
    return after;
}

std::size_t lengthEnd(std::string_view text, std::size_t i) {
    std::size_t end = i;
    while (end < text.size() && isDigit(text[end]))
        ++end;
    if (end > i && end < text.size() && text[end] == '.')
        ++end;
    return end;
}

int lengthEntry(std::string_view length) {
    for (int n = 0; n < kNoteLengthCount; ++n) {
        if (noteLengthText(n) == length)
            return n;
    }
    return -1;
}

std::string enletter(std::string_view text, bool doubleLength) {
    std::string out;
    out.reserve(text.size());
    for (std::size_t i = 0; i < text.size();) {
        const std::size_t start = lengthStart(text, i);
        if (start == i) {
            out += text[i++];
            continue;
        }
        const std::string_view head = text.substr(i, start - i);
        out.append(head);
        const std::size_t end = lengthEnd(text, start);
        const std::string_view length = text.substr(start, end - start);
        const int entry = lengthEntry(length);
        if (entry >= 0)
            appendLengthLetter(out, head, entry, doubleLength);
        else
            out.append(length);
        i = end;
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
