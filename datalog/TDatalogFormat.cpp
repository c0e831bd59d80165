#include "datalog/TDatalogFormat.h"

#include "protocol/CtrlSetEncoding.h"
#include "settings/Gettext.h"

#include <QCryptographicHash>

#include <charconv>
#include <cmath>
#include <cstdio>
#include <limits>

namespace {

std::string_view WithoutCr(std::string_view line)
{
    if (!line.empty() && line.back() == '\r')
        line.remove_suffix(1);
    return line;
}

template <typename T>
bool ParseInteger(std::string_view cell, T& value)
{
    const char* end = cell.data() + cell.size();
    const auto [ptr, ec] = std::from_chars(cell.data(), end, value);
    return ec == std::errc() && ptr == end && !cell.empty();
}

// A reading in its unit back to the converter's counts.
TDatalogFormat::TError ParseCounts(std::string_view cell, double unitsPerCount, uint16_t& counts)
{
    double value = 0;
    const char* end = cell.data() + cell.size();
    const auto [ptr, ec] = std::from_chars(cell.data(), end, value);
    if (cell.empty() || ec != std::errc() || ptr != end || !std::isfinite(value))
        return TDatalogFormat::erNotNumber;
    const double rounded = std::round(value / unitsPerCount);
    if (rounded < 0 || rounded > std::numeric_limits<uint16_t>::max())
        return TDatalogFormat::erOutOfRange;
    counts = static_cast<uint16_t>(rounded);
    return TDatalogFormat::erNone;
}

TDatalogFormat::TError ParseWord(std::string_view cell, uint16_t& value, unsigned maximum = 65535)
{
    unsigned long long wide = 0;
    if (!ParseInteger(cell, wide)) {
        // A minus sign or a fraction is a number, only not one this column holds.
        double any = 0;
        const auto [ptr, ec] = std::from_chars(cell.data(), cell.data() + cell.size(), any);
        return (!cell.empty() && ec == std::errc() && ptr == cell.data() + cell.size())
            ? TDatalogFormat::erOutOfRange
            : TDatalogFormat::erNotNumber;
    }
    if (wide > maximum)
        return TDatalogFormat::erOutOfRange;
    value = static_cast<uint16_t>(wide);
    return TDatalogFormat::erNone;
}

} // namespace

const char* TDatalogFormat::ErrorText(TError error)
{
    switch (error) {
    case erNone: return "";
    case erEmpty: return N_("The file holds no datalog: it is empty or has no header line.");
    case erVersion: return N_("The datalog was written in a format this version does not read.");
    case erHeader: return N_("The file is not a datalog: its header line is not the one expected.");
    case erShortRow: return N_("The row has fewer values than columns.");
    case erLongRow: return N_("The row has more values than columns.");
    case erNotNumber: return N_("A value is not a number.");
    case erOutOfRange: return N_("A value is outside the range of its column.");
    case erTimeBackwards: return N_("The row's time is earlier than the row before it.");
    case erLongLine: return N_("The line is far longer than any row.");
    }
    return "";
}

std::size_t TDatalogFormat::FormatRow(const TDatalogRow& row, char (&out)[kMaxRowLength])
{
    char sim[16] = "";
    if (row.lambdaSim)
        std::snprintf(sim, sizeof sim, "%.1f", CountsToMillivolts(*row.lambdaSim));
    const int n = std::snprintf(out, kMaxRowLength, "%lld,%u,%.3f,%.1f,%s,%u,%u,%d,%d\n",
                                static_cast<long long>(row.timeMs), unsigned(row.rpm),
                                CountsToVolts(row.tps), CountsToMillivolts(row.lambda), sim,
                                unsigned(row.valveActual), unsigned(row.valveControl),
                                row.gas ? 1 : 0, int(row.led));
    return n < 0 ? 0 : std::min<std::size_t>(std::size_t(n), kMaxRowLength - 1);
}

std::string TDatalogFormat::StartedComment(const QDateTime& start)
{
    return "# started " + start.toUTC().toString(Qt::ISODate).toStdString() + "\n";
}

std::string TDatalogFormat::ControlSetComment(std::string_view fileName, const CtrlSet& set)
{
    std::string name(fileName);
    for (char& c : name) {
        if (c == ',' || c == '\n' || c == '\r')
            c = '_';
    }
    uint8_t bytes[kCtrlSetSize];
    set.ToBytes(bytes);
    const QByteArray hash = QCryptographicHash::hash(
        QByteArrayView(bytes, kCtrlSetSize), QCryptographicHash::Sha256);
    return "# control set file=" + name + " sha256=" + hash.toHex().toStdString() + "\n";
}

TDatalogFormat::TLineKind TDatalogFormat::Classify(std::string_view line)
{
    line = WithoutCr(line);
    if (line.empty())
        return lkBlank;
    if (line.front() == '#')
        return lkComment;
    if (line == kHeader)
        return lkHeader;
    return lkRow;
}

TDatalogFormat::TError TDatalogFormat::CheckComment(std::string_view comment)
{
    constexpr std::string_view prefix = "# brevon datalog ";
    comment = WithoutCr(comment);
    if (comment.substr(0, prefix.size()) != prefix)
        return erNone;
    int version = 0;
    return ParseInteger(comment.substr(prefix.size()), version) && version == kVersion ? erNone
                                                                                         : erVersion;
}

TDatalogFormat::TError TDatalogFormat::ParseRow(std::string_view line, TDatalogRow& row,
                                                int* column)
{
    line = WithoutCr(line);
    std::string_view cells[kColumns];
    int count = 0;
    for (std::size_t start = 0;;) {
        const std::size_t comma = line.find(',', start);
        const std::string_view cell = line.substr(start, comma - start);
        if (count == kColumns) {
            if (column)
                *column = kColumns;
            return erLongRow;
        }
        cells[count++] = cell;
        if (comma == std::string_view::npos)
            break;
        start = comma + 1;
    }
    if (count < kColumns) {
        if (column)
            *column = count;
        return erShortRow;
    }

    auto fail = [column](int index, TError error) {
        if (column)
            *column = index;
        return error;
    };
    long long time = 0;
    if (!ParseInteger(cells[0], time))
        return fail(0, erNotNumber);
    if (time < 0)
        return fail(0, erOutOfRange);
    row.timeMs = time;
    if (const TError e = ParseWord(cells[1], row.rpm))
        return fail(1, e);
    if (const TError e = ParseCounts(cells[2], kVoltsPerCount, row.tps))
        return fail(2, e);
    if (const TError e = ParseCounts(cells[3], kMillivoltsPerCount, row.lambda))
        return fail(3, e);
    row.lambdaSim.reset();
    if (!cells[4].empty()) {
        uint16_t sim = 0;
        if (const TError e = ParseCounts(cells[4], kMillivoltsPerCount, sim))
            return fail(4, e);
        row.lambdaSim = sim;
    }
    if (const TError e = ParseWord(cells[5], row.valveActual))
        return fail(5, e);
    if (const TError e = ParseWord(cells[6], row.valveControl))
        return fail(6, e);
    uint16_t gas = 0;
    if (const TError e = ParseWord(cells[7], gas, 1))
        return fail(7, e);
    row.gas = gas != 0;
    uint16_t led = 0;
    if (const TError e = ParseWord(cells[8], led, TDatalogRow::ldRedOn))
        return fail(8, e);
    row.led = static_cast<TDatalogRow::TLed>(led);
    return erNone;
}
