#include "settings/TLogSink.h"

#include <QFile>
#include <QLoggingCategory>

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <mutex>

namespace {

// The sink's state outlives any object: a thread that is inside the handler when the sink
// goes still finds a valid lock.
std::mutex gLock;
FILE* gFile = nullptr; // guarded by gLock
QtMessageHandler gPrevious = nullptr;

constexpr const char* kPattern =
    "%{time yyyy-MM-dd hh:mm:ss.zzz} %{type} %{if-category}%{category}: %{endif}%{message}";

void WriteMessage(QtMsgType type, const QMessageLogContext& context, const QString& message)
{
    const QByteArray line = qFormatLogMessage(type, context, message).toUtf8() + '\n';
    std::lock_guard lock(gLock);
    std::fwrite(line.constData(), 1, size_t(line.size()), stderr);
    std::fflush(stderr);
    if (gFile) {
        std::fwrite(line.constData(), 1, size_t(line.size()), gFile);
        std::fflush(gFile);
    }
}

} // namespace

void TLogSink::SetVerbose(bool verbose)
{
    QLoggingCategory::setFilterRules(verbose
                                         ? QStringLiteral("brevon.*.debug=true\nbrevon.*.info=true")
                                         : QString());
}

TLogSink::TLogSink()
{
    qSetMessagePattern(QString::fromLatin1(kPattern));
    gPrevious = qInstallMessageHandler(&WriteMessage);
}

TLogSink::~TLogSink()
{
    qInstallMessageHandler(gPrevious);
    std::lock_guard lock(gLock);
    if (gFile) {
        std::fclose(gFile);
        gFile = nullptr;
    }
}

bool TLogSink::OpenFile(const QString& path, QString& error)
{
    FILE* file = std::fopen(QFile::encodeName(path).constData(), "ae");
    if (!file) {
        error = QString::fromLocal8Bit(std::strerror(errno));
        return false;
    }
    std::lock_guard lock(gLock);
    if (gFile)
        std::fclose(gFile);
    gFile = file;
    return true;
}
