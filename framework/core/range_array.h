// range_array.h - fixed tables indexed by the numbers the framework gives their entries.
//
// Several framework tables are numbered from 1 (the status-bar parts, the capture slots, the
// normal's components) and others from 0 (the key table, the texture slots). RangeArray<T, Lo, Hi>
// holds the entries Lo..Hi contiguously and is indexed by those same numbers, so `StatusItem[1]`
// is the first part. An index outside Lo..Hi never touches memory outside the table: it lands on
// a spare entry that is zeroed before every such access, so a stray read yields zero and a stray
// write is lost instead of corrupting a neighbour.
#pragma once

#include <cstddef>

namespace velvix {

template <class T, int Lo, int Hi> struct RangeArray {
    static_assert(Hi >= Lo, "empty range");
    static constexpr int Low = Lo;
    static constexpr int High = Hi;
    static constexpr std::size_t Count = static_cast<std::size_t>(Hi - Lo + 1);

    T Items[Count];
    // Target of out-of-range accesses, never part of the table; mutable so that a const table
    // can hand out its zeroed spare too.
    mutable T Spare;

    static constexpr bool InRange(long long i) { return i >= Lo && i <= Hi; }

    const T& operator[](long long i) const {
        if (InRange(i))
            return Items[i - Lo];
        Spare = T();
        return Spare;
    }
    T& operator[](long long i) { return const_cast<T&>(static_cast<const RangeArray&>(*this)[i]); }

    // Address of entry Lo: the table as the platform expects it (for example SB_SETPARTS).
    T* Data() { return Items; }
    const T* Data() const { return Items; }
    T* begin() { return Items; }
    T* end() { return Items + Count; }
    const T* begin() const { return Items; }
    const T* end() const { return Items + Count; }
};

} // namespace velvix
