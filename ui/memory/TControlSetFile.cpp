#include "ui/memory/TControlSetFile.h"

#include <QFile>
#include <QSaveFile>

TControlSetFile::TStatus TControlSetFile::Read(const QString& path, CtrlSet& out, QString& error)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        error = file.errorString();
        return TStatus::Error;
    }
    if (file.size() != kCtrlSetSize)
        return TStatus::WrongSize;
    uint8_t bytes[kCtrlSetSize];
    const qint64 n = file.read(reinterpret_cast<char*>(bytes), kCtrlSetSize);
    if (n < 0) {
        error = file.errorString();
        return TStatus::Error;
    }
    // The file changed size between the look and the read.
    if (n != kCtrlSetSize || !file.atEnd())
        return TStatus::WrongSize;
    out = CtrlSet::FromBytes(bytes);
    return TStatus::Ok;
}

bool TControlSetFile::Write(const QString& path, const CtrlSet& set, QString& error)
{
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly)) {
        error = file.errorString();
        return false;
    }
    const CtrlSet::TBytes bytes = set.ToBytes();
    if (file.write(reinterpret_cast<const char*>(bytes.data()), kCtrlSetSize) != kCtrlSetSize
        || !file.commit()) {
        error = file.errorString();
        file.cancelWriting();
        return false;
    }
    return true;
}
