#pragma once

#include <array>
#include <cstddef>
#include <cstdint>

namespace tsuzuri {

// Reports an index outside its table and aborts. A table index out of range is
// always a programming error; wrapping or clamping it would hide the fault.
[[noreturn]] void indexFault(std::int64_t index, std::size_t size);

// A fixed-size table indexed from 0 whose every access is bounds-checked.
template <typename T, std::size_t N>
class Table {
public:
    using value_type = T;

    T& operator[](std::int64_t i) {
        check(i);
        return items_[static_cast<std::size_t>(i)];
    }
    const T& operator[](std::int64_t i) const {
        check(i);
        return items_[static_cast<std::size_t>(i)];
    }

    static constexpr std::size_t size() { return N; }
    T* data() { return items_.data(); }
    const T* data() const { return items_.data(); }
    auto begin() { return items_.begin(); }
    auto end() { return items_.end(); }
    auto begin() const { return items_.begin(); }
    auto end() const { return items_.end(); }
    void fill(const T& value) { items_.fill(value); }
    bool operator==(const Table&) const = default;

private:
    static void check(std::int64_t i) {
        if (i < 0 || static_cast<std::uint64_t>(i) >= N)
            indexFault(i, N);
    }
    std::array<T, N> items_{};
};

}  // namespace tsuzuri
