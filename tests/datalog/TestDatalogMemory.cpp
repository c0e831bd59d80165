// The reader streams: reading a file allocates the same few times whether it holds a thousand
// rows or forty times as many, so its memory does not follow the file's length.
#include "tests/datalog/DatalogFiles.h"
#include "tests/support/TAllocationCounter.h"

#include "datalog/TDatalogReader.h"

#include <gtest/gtest.h>

namespace {

// Allocations made while reading every row of a log of `count` rows, and the rows read.
uint64_t AllocationsToRead(int count, int64_t& rowsRead)
{
    std::vector<TDatalogRow> rows;
    for (int i = 0; i < count; ++i)
        rows.push_back(MakeRow(int64_t(i) * 50, i));
    DatalogFiles files;
    TDatalogReader reader(4096);
    EXPECT_TRUE(reader.Open(files.Write(LogText(rows))));
    TAllocationCounter counter;
    TDatalogRow row;
    rowsRead = 0;
    counter.Start();
    while (reader.Next(row))
        ++rowsRead;
    return counter.Stop();
}

} // namespace

TEST(DatalogReaderMemory, AllocationsDoNotGrowWithTheFile)
{
    int64_t smallRows = 0, largeRows = 0;
    const uint64_t small = AllocationsToRead(1000, smallRows);
    const uint64_t large = AllocationsToRead(40000, largeRows);
    EXPECT_EQ(smallRows, 1000);
    EXPECT_EQ(largeRows, 40000);
    // Only the seek index grows, one entry every 1024 rows, in a vector that doubles.
    EXPECT_LE(large, small + 8) << "allocations: " << small << " for 1000 rows, " << large
                                << " for 40000";
    EXPECT_LT(large, 32u);
}
