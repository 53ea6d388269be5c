#pragma once

#include <string>

namespace tsuzuri {

// A number as the read-outs show it: a space before zero and positive numbers,
// the minus sign before negative ones ("第 1小節", " 250 80", "-1-8").
inline std::string spaced(long n) {
    return (n >= 0 ? " " : "") + std::to_string(n);
}

}  // namespace tsuzuri
