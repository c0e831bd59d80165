#include "TFuzzFile.h"

#include "FuzzCheck.h"

#include <QDir>
#include <QFile>

#include <fcntl.h>
#include <unistd.h>

namespace {

QString TemplateFolder()
{
    const QString shm = QStringLiteral("/dev/shm");
    const QString base = QDir(shm).exists() ? shm : QDir::tempPath();
    return base + QStringLiteral("/brevon-fuzz-XXXXXX");
}

} // namespace

TFuzzFile::TFuzzFile(const char* suffix)
    : FDir(TemplateFolder())
    , FSuffix(QString::fromLatin1(suffix))
{
    FUZZ_CHECK(FDir.isValid());
}

TFuzzFile::~TFuzzFile()
{
    RemoveLast();
}

QString TFuzzFile::Write(const uint8_t* data, size_t size)
{
    RemoveLast();
    FPath = FDir.filePath(QString::number(++FCount) + FSuffix);
    const QByteArray name = QFile::encodeName(FPath);
    const int fd = ::open(name.constData(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
    FUZZ_CHECK(fd >= 0);
    size_t done = 0;
    while (done < size) {
        const ssize_t n = ::write(fd, data + done, size - done);
        FUZZ_CHECK(n > 0);
        done += size_t(n);
    }
    ::close(fd);
    return FPath;
}

void TFuzzFile::RemoveLast()
{
    if (!FPath.isEmpty())
        ::unlink(QFile::encodeName(FPath).constData());
}
