#include "datalog/TMinMaxPyramid.h"

void TMinMaxPyramid::Build(std::span<const uint16_t> values, const std::vector<bool>* present)
{
    FValues = values;
    FPresent = present && !present->empty() ? present : nullptr;
    FLevels.clear();
    std::vector<TRange> level((values.size() + kBlock - 1) / kBlock);
    for (std::size_t i = 0; i < values.size(); ++i)
        if (!FPresent || (*FPresent)[i])
            level[i / kBlock].Add(values[i]);
    while (level.size() > 1) {
        std::vector<TRange> up((level.size() + 1) / 2);
        for (std::size_t i = 0; i < level.size(); ++i)
            up[i / 2].Add(level[i]);
        FLevels.push_back(std::move(level));
        level = std::move(up);
    }
    FLevels.push_back(std::move(level));
}

TMinMaxPyramid::TRange TMinMaxPyramid::Row(std::size_t i) const
{
    TRange r;
    if (!FPresent || (*FPresent)[i])
        r.Add(FValues[i]);
    return r;
}

TMinMaxPyramid::TRange TMinMaxPyramid::Range(std::size_t first, std::size_t last) const
{
    TRange r;
    last = last < FValues.size() ? last : FValues.size();
    std::size_t i = first;
    // Rows up to the first block boundary, then the largest aligned blocks that fit, then the
    // rows after the last whole block.
    while (i < last && i % kBlock != 0)
        r.Add(Row(i++));
    while (i + kBlock <= last) {
        std::size_t level = 0;
        std::size_t size = kBlock;
        while (level + 1 < FLevels.size() && i % (size * 2) == 0 && i + size * 2 <= last) {
            ++level;
            size *= 2;
        }
        r.Add(FLevels[level][i / size]);
        i += size;
    }
    while (i < last)
        r.Add(Row(i++));
    return r;
}

std::size_t TMinMaxPyramid::MemoryBytes() const
{
    std::size_t bytes = 0;
    for (const auto& level : FLevels)
        bytes += level.capacity() * sizeof(TRange);
    return bytes;
}
