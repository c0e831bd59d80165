#pragma once

// Datalog files for the tests: rows written by the format's own writer, into a folder that
// goes away with the test.

#include "datalog/TDatalogFormat.h"

#include <QFile>
#include <QString>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <string>
#include <vector>

inline std::string RowText(const TDatalogRow& row)
{
    char out[TDatalogFormat::kMaxRowLength];
    return std::string(out, TDatalogFormat::FormatRow(row, out));
}

// A row whose every column follows from `i`, at `timeMs`.
inline TDatalogRow MakeRow(int64_t timeMs, int i)
{
    TDatalogRow row;
    row.timeMs = timeMs;
    row.rpm = uint16_t(800 + (i * 37) % 5000);
    row.tps = uint16_t((i * 13) % 1024);
    row.lambda = uint16_t((i * 7) % 1024);
    if (i % 3 != 0)
        row.lambdaSim = uint16_t((i * 11) % 1024);
    row.valveActual = uint16_t((i * 5) % 501);
    row.valveControl = uint16_t(200 + i % 50);
    row.gas = i % 4 != 0;
    row.led = TDatalogRow::TLed(i % 3);
    return row;
}

// The magic line and the header, then `rows`.
inline std::string LogText(const std::vector<TDatalogRow>& rows)
{
    std::string text = std::string(TDatalogFormat::kMagic) + "\n"
        + std::string(TDatalogFormat::kHeader) + "\n";
    for (const TDatalogRow& row : rows)
        text += RowText(row);
    return text;
}

class DatalogFiles {
public:
    QString Write(const std::string& content, const QString& name = QStringLiteral("log.csv"))
    {
        const QString path = FDir.filePath(name);
        QFile file(path);
        EXPECT_TRUE(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
        EXPECT_EQ(file.write(content.data(), qint64(content.size())), qint64(content.size()));
        return path;
    }
    QString Path(const QString& name) const { return FDir.filePath(name); }

private:
    QTemporaryDir FDir;
};
