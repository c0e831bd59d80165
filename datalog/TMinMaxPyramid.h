#pragma once

#include <cstddef>
#include <cstdint>
#include <span>
#include <vector>

// The least and the greatest value of any run of rows of one column, without reading the rows:
// level k holds the minimum and maximum of each aligned block of kBlock << k rows, so a run
// is a few blocks of the levels plus at most two partial blocks read row by row. A row may hold
// no value (a channel the controller did not report); a block of such rows alone is empty.
class TMinMaxPyramid {
public:
    static constexpr std::size_t kBlock = 16;

    struct TRange {
        uint16_t min = 0xFFFF;
        uint16_t max = 0;
        bool Empty() const { return min > max; }
        void Add(uint16_t v)
        {
            min = v < min ? v : min;
            max = v > max ? v : max;
        }
        void Add(const TRange& r)
        {
            min = r.min < min ? r.min : min;
            max = r.max > max ? r.max : max;
        }
    };

    // `present` (one flag a row, or empty when every row has its value) must outlive the
    // pyramid's queries together with `values`.
    void Build(std::span<const uint16_t> values, const std::vector<bool>* present = nullptr);
    // The range of rows [first, last), empty when none of them has a value.
    TRange Range(std::size_t first, std::size_t last) const;

    std::size_t MemoryBytes() const;

private:
    TRange Row(std::size_t i) const;

    std::span<const uint16_t> FValues;
    const std::vector<bool>* FPresent = nullptr;
    std::vector<std::vector<TRange>> FLevels;
};
