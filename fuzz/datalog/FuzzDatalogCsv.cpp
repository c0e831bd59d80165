// The datalog reader, on files of any content, through a buffer of the smallest size so that
// lines break across refills: a file that does not open gives no row; the rows it gives go
// forward in time and write back to text that reads as the same row; a larger buffer gives the
// same rows when no line is longer than the small one; a seek to a row's time lands on the
// first row at or after it.

#include "../support/FuzzCheck.h"
#include "../support/TFuzzFile.h"

#include "datalog/TDatalogFormat.h"
#include "datalog/TDatalogReader.h"

#include <algorithm>
#include <string_view>
#include <vector>

namespace {

std::size_t LongestLine(const uint8_t* data, size_t size)
{
    std::size_t longest = 0;
    std::size_t start = 0;
    for (std::size_t i = 0; i <= size; ++i)
        if (i == size || data[i] == '\n') {
            longest = std::max(longest, i - start);
            start = i + 1;
        }
    return longest;
}

std::vector<TDatalogRow> ReadAll(TDatalogReader& reader)
{
    std::vector<TDatalogRow> rows;
    TDatalogRow row;
    while (reader.Next(row))
        rows.push_back(row);
    return rows;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    static TFuzzFile file(".csv");
    const QString path = file.Write(data, size);

    TDatalogReader small(TDatalogReader::kMinBufferSize);
    if (!small.Open(path)) {
        FUZZ_CHECK(small.Failure() != TDatalogReader::fcNone);
        FUZZ_CHECK(!small.ErrorText().isEmpty());
        TDatalogRow row;
        FUZZ_CHECK(!small.Next(row));
        return 0;
    }
    const std::vector<TDatalogRow> rows = ReadAll(small);
    FUZZ_CHECK(!small.ReadFailed());
    FUZZ_CHECK(small.RowIndex() == int64_t(rows.size()));
    FUZZ_CHECK(int64_t(small.FirstSkips().size()) == std::min<int64_t>(small.SkippedRows(),
                                                                        TDatalogReader::kKeptSkips));
    for (std::size_t i = 0; i < rows.size(); ++i) {
        FUZZ_CHECK(rows[i].timeMs >= 0);
        if (i > 0)
            FUZZ_CHECK(rows[i].timeMs >= rows[i - 1].timeMs);
        char text[TDatalogFormat::kMaxRowLength];
        const std::size_t length = TDatalogFormat::FormatRow(rows[i], text);
        FUZZ_CHECK(length > 0 && length < sizeof text && text[length - 1] == '\n');
        TDatalogRow again;
        FUZZ_CHECK(TDatalogFormat::ParseRow(std::string_view(text, length - 1), again)
                   == TDatalogFormat::erNone);
        FUZZ_CHECK(again == rows[i]);
    }

    if (LongestLine(data, size) + 2 <= TDatalogReader::kMinBufferSize) {
        TDatalogReader large;
        FUZZ_CHECK(large.Open(path));
        FUZZ_CHECK(ReadAll(large) == rows);
        FUZZ_CHECK(large.SkippedRows() == small.SkippedRows());
    }

    if (!rows.empty()) {
        for (const std::size_t k : { rows.size() / 2, rows.size() - 1, std::size_t(0) }) {
            const int64_t time = rows[k].timeMs;
            const auto first = std::find_if(rows.begin(), rows.end(),
                                            [time](const TDatalogRow& r) { return r.timeMs >= time; });
            FUZZ_CHECK(small.SeekTime(time));
            TDatalogRow row;
            FUZZ_CHECK(small.Next(row));
            FUZZ_CHECK(row == *first);
        }
        // Past the last row there is none.
        FUZZ_CHECK(small.SeekTime(rows.back().timeMs + 1));
        TDatalogRow row;
        FUZZ_CHECK(!small.Next(row));
    }
    return 0;
}
