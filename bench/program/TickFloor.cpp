// The floor under the CPU per telemetry frame that bench/run measures: the link's pace with no
// work in it. A 25 ms timer on the main thread posts a tick to a second thread through the
// link's own command queue; that thread, at the link thread's priority, hands every other tick
// (a poll pass that found a frame) back to the main thread as a queued call while none is
// outstanding, as the link hands over what it received. No adapter, no controller, no window:
// what remains is the waking of two threads 40 times a second, which every telemetry frame of
// the program pays for whatever it draws. Runs until it is ended.

#include "link/TCommandQueue.h"
#include "link/TKorvelComm.h"

#include <QCoreApplication>
#include <QTimer>

#include <atomic>
#include <sys/resource.h>
#include <thread>
#include <unistd.h>

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    TCommandQueue queue;
    std::atomic<bool> handoverPending { false };

    std::thread link([&] {
        setpriority(PRIO_PROCESS, static_cast<id_t>(gettid()), TKorvelComm::tpTimeCritical);
        bool pollPass = false;
        TLinkCommand cmd;
        while (queue.Wait(cmd, [] { return false; })) {
            if (cmd == cmStop)
                return;
            pollPass = !pollPass;
            if (pollPass && !handoverPending.exchange(true)) {
                QMetaObject::invokeMethod(
                    &app, [&] { handoverPending.store(false); }, Qt::QueuedConnection);
            }
            queue.Done();
        }
    });

    QTimer tick;
    tick.setInterval(TKorvelComm::kTickMs);
    QObject::connect(&tick, &QTimer::timeout, [&] { queue.Post(cmTick); });
    tick.start();
    const int result = app.exec();
    queue.Post(cmStop);
    link.join();
    return result;
}
