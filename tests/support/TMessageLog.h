#pragma once

#include <QRegularExpression>
#include <QString>
#include <QStringList>
#include <QtGlobal>

#include <mutex>

// Every Qt message while it lives, as "category: text", in place of the usual output. Messages
// may come from any thread (the link thread logs too). One at a time.
class TMessageLog {
public:
    TMessageLog()
    {
        sCurrent = this;
        FPrevious = qInstallMessageHandler(&TMessageLog::Handle);
    }
    ~TMessageLog()
    {
        qInstallMessageHandler(FPrevious);
        sCurrent = nullptr;
    }
    TMessageLog(const TMessageLog&) = delete;
    TMessageLog& operator=(const TMessageLog&) = delete;

    QStringList Lines() const
    {
        std::lock_guard lock(FLock);
        return FLines;
    }

    // The index of the first line at or after `from` that matches `pattern`, or -1.
    static qsizetype Find(const QStringList& lines, const QString& pattern, qsizetype from = 0)
    {
        const QRegularExpression re(pattern);
        for (qsizetype i = from; i < lines.size(); ++i)
            if (re.match(lines[i]).hasMatch())
                return i;
        return -1;
    }
    // How many lines match `pattern`.
    int Count(const QString& pattern) const
    {
        const QRegularExpression re(pattern);
        int n = 0;
        for (const QString& line : Lines())
            n += re.match(line).hasMatch() ? 1 : 0;
        return n;
    }

private:
    static void Handle(QtMsgType, const QMessageLogContext& context, const QString& text)
    {
        std::lock_guard lock(sCurrent->FLock);
        sCurrent->FLines.append(QLatin1String(context.category) + QStringLiteral(": ") + text);
    }

    static inline TMessageLog* sCurrent = nullptr;
    mutable std::mutex FLock;
    QStringList FLines;
    QtMessageHandler FPrevious = nullptr;
};
