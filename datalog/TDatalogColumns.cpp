#include "datalog/TDatalogColumns.h"

#include "datalog/TDatalogReader.h"

#include <algorithm>
#include <cmath>
#include <limits>

namespace {

// The first rows give the average row's length, and so how many rows to make room for before
// reading the rest: the columns then grow once instead of doubling their way up.
constexpr std::size_t kSampleRows = 512;

} // namespace

bool TDatalogColumns::Append(const TDatalogRow& row)
{
    if (FTime.empty())
        FStartMs = row.timeMs;
    const int64_t time = row.timeMs - FStartMs;
    if (FTruncated || FTime.size() >= kMaxRows || time > std::numeric_limits<int32_t>::max()) {
        FTruncated = true;
        return false;
    }
    FTime.push_back(int32_t(time));
    for (const TDatalogChannel& ch : TDatalogChannel::All()) {
        uint16_t raw = 0;
        ch.Raw(row, raw);
        FColumns[ch.id].push_back(raw);
    }
    FHasLambdaSim.push_back(row.lambdaSim.has_value());
    return true;
}

void TDatalogColumns::Reserve(std::size_t rows)
{
    rows = std::min(rows, kMaxRows);
    FTime.reserve(rows);
    for (auto& column : FColumns)
        column.reserve(rows);
    FHasLambdaSim.reserve(rows);
}

void TDatalogColumns::Finish()
{
    for (const TDatalogChannel& ch : TDatalogChannel::All())
        FPyramids[ch.id].Build(FColumns[ch.id],
                               ch.id == TDatalogChannel::chLambdaSim ? &FHasLambdaSim : nullptr);
}

bool TDatalogColumns::ReadFrom(TDatalogReader& reader, std::size_t maxRows)
{
    TDatalogRow row;
    for (std::size_t n = 0; n < maxRows; ++n) {
        if (!reader.Next(row) || !Append(row))
            return false;
        if (Rows() == kSampleRows && reader.Position() > 0) {
            const double perRow = double(reader.Position()) / double(kSampleRows);
            Reserve(std::size_t(double(reader.FileSize()) / perRow * 1.02) + kSampleRows);
        }
    }
    return true;
}

bool TDatalogColumns::Load(TDatalogReader& reader, TDatalogColumns& columns)
{
    while (columns.ReadFrom(reader, kMaxRows))
        ;
    columns.Finish();
    return !reader.ReadFailed();
}

bool TDatalogColumns::Present(TId channel, std::size_t row) const
{
    return channel != TDatalogChannel::chLambdaSim || FHasLambdaSim[row];
}

TDatalogRow TDatalogColumns::Row(std::size_t i) const
{
    TDatalogRow row;
    row.timeMs = FStartMs + FTime[i];
    row.rpm = FColumns[TDatalogChannel::chRpm][i];
    row.tps = FColumns[TDatalogChannel::chTps][i];
    row.lambda = FColumns[TDatalogChannel::chLambda][i];
    if (FHasLambdaSim[i])
        row.lambdaSim = FColumns[TDatalogChannel::chLambdaSim][i];
    row.valveActual = FColumns[TDatalogChannel::chValveActual][i];
    row.valveControl = FColumns[TDatalogChannel::chValveControl][i];
    row.gas = FColumns[TDatalogChannel::chGas][i] != 0;
    row.led = TDatalogRow::TLed(FColumns[TDatalogChannel::chLed][i]);
    return row;
}

std::size_t TDatalogColumns::LowerBound(double timeMs) const
{
    return std::size_t(std::lower_bound(FTime.begin(), FTime.end(), timeMs,
                                        [](int32_t t, double v) { return t < v; })
                       - FTime.begin());
}

std::size_t TDatalogColumns::UpperBound(double timeMs) const
{
    return std::size_t(std::upper_bound(FTime.begin(), FTime.end(), timeMs,
                                        [](double v, int32_t t) { return v < t; })
                       - FTime.begin());
}

std::size_t TDatalogColumns::RowAt(double timeMs) const
{
    const std::size_t after = UpperBound(timeMs);
    return after == 0 ? 0 : after - 1;
}

TDatalogColumns::TRange TDatalogColumns::MinMax(TId channel, std::size_t first,
                                                std::size_t last) const
{
    return FPyramids[channel].Range(first, last);
}

std::size_t TDatalogColumns::MemoryBytes() const
{
    std::size_t bytes = FTime.capacity() * sizeof(int32_t) + FHasLambdaSim.capacity() / 8;
    for (const auto& column : FColumns)
        bytes += column.capacity() * sizeof(uint16_t);
    for (const auto& pyramid : FPyramids)
        bytes += pyramid.MemoryBytes();
    return bytes;
}
