#pragma once

#include <QString>
#include <QTemporaryDir>

#include <cstddef>
#include <cstdint>

// The bytes of one fuzz input as a file the code under fuzzing opens by its path. Each Write
// goes to a new name in a private folder (on tmpfs where there is one) and removes the file of
// the previous input, so that no cache keyed by the path can hand back an earlier input.
class TFuzzFile {
public:
    explicit TFuzzFile(const char* suffix);
    ~TFuzzFile();

    QString Write(const uint8_t* data, size_t size);
    // The file of the last Write; empty before the first.
    const QString& Path() const { return FPath; }

private:
    void RemoveLast();

    QTemporaryDir FDir;
    QString FSuffix;
    QString FPath;
    uint64_t FCount = 0;
};
