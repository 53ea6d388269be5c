#pragma once

#include <cstdint>
#include <vector>

#include "state/table.h"

namespace tsuzuri {

// The compiled chunk of one track: up to `N` bytes, holding only as many as
// were written; the bytes after them read as 0. Indexing is checked against
// `N` as in Table.
template <std::size_t N>
class ByteBuffer {
public:
    std::uint8_t& operator[](std::int64_t i) {
        check(i);
        if (static_cast<std::size_t>(i) >= bytes_.size())
            bytes_.resize(static_cast<std::size_t>(i) + 1);
        return bytes_[static_cast<std::size_t>(i)];
    }
    std::uint8_t operator[](std::int64_t i) const {
        check(i);
        return static_cast<std::size_t>(i) < bytes_.size() ? bytes_[static_cast<std::size_t>(i)] : 0;
    }
    static constexpr std::size_t size() { return N; }
    // Replaces the contents with `count` bytes from `data` (count <= N).
    void assign(const std::uint8_t* data, std::size_t count) {
        if (count > N)
            indexFault(static_cast<std::int64_t>(count), N);
        bytes_.assign(data, data + count);
        bytes_.shrink_to_fit();
    }
    // The bytes written; at least the first `stored()` of them are meaningful.
    const std::uint8_t* data() const { return bytes_.data(); }
    std::size_t stored() const { return bytes_.size(); }
    // Every byte reads 0 again, and the storage is given back.
    void clear() { std::vector<std::uint8_t>().swap(bytes_); }

private:
    static void check(std::int64_t i) {
        if (i < 0 || static_cast<std::uint64_t>(i) >= N)
            indexFault(i, N);
    }
    std::vector<std::uint8_t> bytes_;
};

}  // namespace tsuzuri
