#pragma once

#include <cstdint>
#include <memory>

#include "state/table.h"

namespace tsuzuri {

// A table of `N` values of T whose storage is made when one is first reached
// for writing: until then every value reads as T{} and the table costs one
// pointer. Indexing is checked as in Table.
template <typename T, std::size_t N>
class LazyTable {
public:
    LazyTable() = default;
    LazyTable(const LazyTable& other)
        : items_(other.items_ ? std::make_unique<Table<T, N>>(*other.items_) : nullptr) {}
    LazyTable& operator=(const LazyTable& other) {
        if (this != &other)
            items_ = other.items_ ? std::make_unique<Table<T, N>>(*other.items_) : nullptr;
        return *this;
    }
    LazyTable(LazyTable&&) noexcept = default;
    LazyTable& operator=(LazyTable&&) noexcept = default;

    T& operator[](std::int64_t i) { return storage()[i]; }
    const T& operator[](std::int64_t i) const {
        if (items_)
            return (*items_)[i];
        static const Table<T, N> empty{};
        return empty[i];
    }

    static constexpr std::size_t size() { return N; }
    // Whether storage has been made: a table without it holds only T{}.
    bool allocated() const { return items_ != nullptr; }
    auto begin() { return storage().begin(); }
    auto end() { return storage().end(); }
    // Filling with T{} gives the storage back.
    void fill(const T& value) {
        if (value == T{})
            items_.reset();
        else
            storage().fill(value);
    }
    bool operator==(const LazyTable& other) const {
        for (std::size_t i = 0; i < N; ++i) {
            if (!((*this)[static_cast<std::int64_t>(i)] == other[static_cast<std::int64_t>(i)]))
                return false;
        }
        return true;
    }

private:
    Table<T, N>& storage() {
        if (!items_)
            items_ = std::make_unique<Table<T, N>>();
        return *items_;
    }
    std::unique_ptr<Table<T, N>> items_;
};

}  // namespace tsuzuri
