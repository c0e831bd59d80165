#include "datalog/TDatalogDecimation.h"

#include <algorithm>
#include <cmath>
#include <limits>

namespace {

constexpr double kNaN = std::numeric_limits<double>::quiet_NaN();

// The rows of each column: column c runs from its first row up to the next column's first row.
template <class TVisit>
void ForEachColumn(const TDatalogColumns& log, double fromMs, double toMs, int pixels,
                   TVisit visit)
{
    const double width = (toMs - fromMs) / pixels;
    std::size_t first = log.LowerBound(fromMs);
    const std::size_t last = log.UpperBound(toMs);
    for (int c = 0; c < pixels && first < last; ++c) {
        const std::size_t end = c == pixels - 1 ? last : log.LowerBound(fromMs + (c + 1) * width);
        if (end > first)
            visit(c, first, end, width);
        first = std::max(first, end);
    }
}

} // namespace

std::vector<TDatalogColumns::TRange> TDatalogDecimation::ColumnRanges(
    const TDatalogColumns& log, TDatalogColumns::TId channel, double fromMs, double toMs,
    int pixels)
{
    std::vector<TDatalogColumns::TRange> ranges(std::size_t(std::max(pixels, 0)));
    if (pixels <= 0 || !(toMs > fromMs))
        return ranges;
    ForEachColumn(log, fromMs, toMs, pixels,
                  [&](int c, std::size_t first, std::size_t end, double) {
                      ranges[std::size_t(c)] = log.MinMax(channel, first, end);
                  });
    return ranges;
}

void TDatalogDecimation::Points(const TDatalogColumns& log, TDatalogColumns::TId channel,
                                double fromMs, double toMs, int pixels,
                                std::vector<TPoint>& points)
{
    points.clear();
    const std::size_t rows = log.Rows();
    if (rows == 0 || pixels <= 0 || !(toMs > fromMs))
        return;
    const TDatalogChannel& ch = TDatalogChannel::Get(channel);
    auto rowPoint = [&](std::size_t i) {
        return TPoint { log.TimeMs(i) / 1000.0,
                        log.Present(channel, i) ? ch.Value(log.Raw(channel, i)) : kNaN };
    };

    const std::size_t first = log.LowerBound(fromMs);
    const std::size_t last = log.UpperBound(toMs);
    const std::size_t before = first > 0 ? first - 1 : first;
    const std::size_t after = last < rows ? last + 1 : last;
    if (double(last - first) <= kRowsPerColumnToDecimate * pixels) {
        for (std::size_t i = before; i < after; ++i)
            points.push_back(rowPoint(i));
        return;
    }

    if (before < first)
        points.push_back(rowPoint(before));
    double previous = kNaN;
    ForEachColumn(log, fromMs, toMs, pixels,
                  [&](int c, std::size_t begin, std::size_t end, double width) {
                      const TDatalogColumns::TRange r = log.MinMax(channel, begin, end);
                      const double key = (fromMs + (c + 0.5) * width) / 1000.0;
                      if (r.Empty()) {
                          points.push_back({ key, kNaN });
                          previous = kNaN;
                          return;
                      }
                      const double low = ch.Value(r.min);
                      const double high = ch.Value(r.max);
                      // The end nearer the previous column's last point comes first, so the
                      // line does not cross the column twice.
                      const bool highFirst = !std::isnan(previous)
                          && std::abs(previous - high) < std::abs(previous - low);
                      points.push_back({ key, highFirst ? high : low });
                      points.push_back({ key, highFirst ? low : high });
                      previous = highFirst ? low : high;
                  });
    if (last < after)
        points.push_back(rowPoint(last));
}
