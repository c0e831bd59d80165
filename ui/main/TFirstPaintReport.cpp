#include "ui/main/TFirstPaintReport.h"

#include <QCoreApplication>
#include <QEvent>
#include <QFile>
#include <QTimer>
#include <QWidget>

#include <cstdio>
#include <ctime>

namespace {

// VmRSS of /proc/self/status, in kB; 0 where the system has none.
long ResidentKb()
{
    QFile status(QStringLiteral("/proc/self/status"));
    if (!status.open(QIODevice::ReadOnly))
        return 0;
    for (QByteArray line = status.readLine(); !line.isEmpty(); line = status.readLine()) {
        if (line.startsWith("VmRSS:"))
            return line.mid(6).trimmed().split(' ').value(0).toLong();
    }
    return 0;
}

} // namespace

TFirstPaintReport::TFirstPaintReport(QWidget& window)
    : QObject(&window)
{
    window.installEventFilter(this);
}

bool TFirstPaintReport::eventFilter(QObject*, QEvent* event)
{
    // The window's own paint comes first in a pass that then paints its children and flushes
    // the whole: the report waits for the end of that pass.
    if (event->type() == QEvent::Paint && !FPainted) {
        FPainted = true;
        QTimer::singleShot(0, this, &TFirstPaintReport::Report);
    }
    return false;
}

void TFirstPaintReport::Report()
{
    timespec now {};
    clock_gettime(CLOCK_MONOTONIC, &now);
    std::printf("first-paint-ns %lld rss-kb %ld\n",
                static_cast<long long>(now.tv_sec) * 1000000000LL + now.tv_nsec, ResidentKb());
    std::fflush(stdout);
    QCoreApplication::quit();
}
