#include "session/TControlSetFile.h"

#include <QFile>
#include <QSaveFile>

#include <cerrno>
#include <cstring>

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
    // Unbuffered, so that a short write (a full disk, a file size limit) shows in what write
    // returns: a buffered one would be flushed by commit, which takes a short flush for success
    // and puts the truncated file in place of the old one.
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Unbuffered)) {
        error = file.errorString();
        return false;
    }
    const CtrlSet::TBytes bytes = set.ToBytes();
    errno = 0;
    if (file.write(reinterpret_cast<const char*>(bytes.data()), kCtrlSetSize) != kCtrlSetSize) {
        const int cause = errno;
        error = file.error() == QFileDevice::NoError && cause != 0
            ? QString::fromLocal8Bit(std::strerror(cause))
            : file.errorString();
        file.cancelWriting();
        return false;
    }
    if (!file.commit()) {
        error = file.errorString();
        return false;
    }
    return true;
}
