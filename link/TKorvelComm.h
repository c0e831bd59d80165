#pragma once

#include "link/TAdapterProtocol.h"
#include "link/TCommandQueue.h"
#include "link/TLinkMsg.h"
#include "link/TLinkRing.h"
#include "link/TUsbTransport.h"

#include <QObject>

#include <atomic>
#include <condition_variable>
#include <functional>
#include <memory>
#include <mutex>
#include <thread>
#include <vector>

class QTimer;

enum TLinkPhase : int32_t { phSearch = 0, phInfo = 1, phPoll = 2 };

// The adapter link: keeps the KORVEL-CONNECT adapter open on a thread of its own, polls it for
// received messages, hands it queued ones and keeps the link status. A 25 ms timer of the
// constructing (user-interface) thread paces it; every USB transfer happens on the link thread.
class TKorvelComm : public QObject {
    Q_OBJECT
public:
    using TTransports = std::vector<std::unique_ptr<TUsbTransport>>;

    struct TOptions {
        bool autoTick = true; // false: the owner drives Tick() itself (tests)
        // false: no link thread; WaitIdle() runs the handlers of the posted commands on the
        // caller's thread, and a poll pass that stored records runs OnLinkData directly. For
        // the fuzz targets, which need many short, deterministic runs.
        bool ownThread = true;
    };

    // `transports` are tried in order at every open attempt. The link thread starts at once.
    explicit TKorvelComm(TTransports transports);
    TKorvelComm(TTransports transports, TOptions options);
    ~TKorvelComm() override;

    // The user-interface side of the link. A record whose Len exceeds the 64 bytes of Data is
    // refused (false).
    bool EnqueueTx(const TLinkMsg& msg);
    // Takes back the records that wait in the send ring: a request given up on must not reach
    // the controller later, after a reopen. A record already on its way still goes out.
    void WithdrawTx();
    bool DequeueRx(TLinkMsg& msg);
    TLinkStatus GetLinkStatus() const;
    // Free slots of the send ring. Only the user-interface thread fills it, so the room seen
    // here can only grow until that thread queues again.
    int TxFreeSlots() const;
    uint16_t GetAdapterVersion() const;
    // How many times an open attempt has found an adapter that this user may not open, a run
    // of such attempts with nothing else between them counted once: one per plug-in for as long
    // as the refusal lasts. Any thread.
    uint32_t AccessDenials() const { return FAccessDenials.load(); }
    // Opens of an adapter so far, and the open whose information block has been read: when the
    // two are equal, GetAdapterVersion is the version of the adapter open now (or refused last).
    uint32_t OpenCount() const { return FOpenCount.load(); }
    uint32_t InfoOpenCount() const { return FInfoOpenCount.load(); }

    // Runs on the user-interface thread after poll passes have stored records; the link thread
    // goes on meanwhile, and one run serves the records of every pass before it.
    std::function<void()> OnLinkData;
    // A fault raised inside a link-thread handler, reported on the user-interface thread.
    std::function<void(const QString& message)> OnFault;

    // The tick handler; the timer calls it every 25 ms.
    void Tick();
    static constexpr int kTickMs = 25;
    // The link thread's priority: the highest of the normal scheduling class, as a nice value,
    // so that its 25 ms pace does not wait behind busy threads. Raising it needs a privilege; a
    // refused request leaves the thread at the priority it has.
    static constexpr int tpTimeCritical = -20;

    // Serves pending hand-overs until the link thread has handled every posted command.
    // A seam for tests and benchmarks that drive Tick() by hand; user-interface thread only.
    void WaitIdle();

    // Read-only views for tests and diagnostics.
    TLinkPhase Phase() const { return FPhase.load(); }
    int32_t OpenWaitTicks() const;
    TUsbBackend Backend() const { return FBackend.load(); }
    uint8_t EpIn() const { return FEpIn.load(); }
    uint8_t EpOut() const { return FEpOut.load(); }

private:
    void Start();
    void Execute();
    void Handle(TLinkCommand cmd);
    void RunQueued();
    void Dispatch(TLinkCommand cmd);
    void PostCommand(TLinkCommand cmd);

    // Transport (link thread).
    TOpenOutcome OpenAdapter();
    void CloseAdapter();
    bool VendorRequest(uint8_t bmRequestType, TAdapterCmd& cmd, uint32_t timeoutMs);
    int32_t BulkRead(uint8_t* buffer, uint32_t length, uint32_t timeoutMs);
    int32_t BulkWrite(const uint8_t* buffer, uint32_t length, uint32_t timeoutMs);

    // Engine (link thread).
    void OpenHandler(TLinkCommand cmd);
    void InfoHandler(TLinkCommand cmd);
    void PollHandler(TLinkCommand cmd);
    void PollPass();
    void SendStep();
    bool ReadFully(uint8_t* dest, uint32_t want, uint32_t askPerRead);
    void ReleaseAdapter();
    void DropAdapter();
    void ShutdownLink();
    void ResetLink();
    void SetOpenWait(int ms);
    void SetRxHold(int ms);
    int MsToTicks(int ms) const;
    void SetStatus(TLinkStatus s);
    void NoteOpenOutcome(TOpenOutcome outcome);

    // The hand-over of received data to the user-interface thread.
    void AnnounceLinkData();
    void ServeLinkData();
    bool TakeHandover();
    void ReportFault(const QString& message);

    TTransports FTransports;
    TUsbTransport* FOpen = nullptr; // the transport whose adapter is open
    std::atomic<TUsbBackend> FBackend { beNone };
    std::atomic<uint8_t> FEpIn { 0x85 };
    std::atomic<uint8_t> FEpOut { 0x02 };

    std::atomic<TLinkPhase> FPhase { phSearch };
    std::atomic<int32_t> FStatus { lkNoAdapter };
    std::atomic<uint32_t> FVersion { 0 }; // TAdapterInfo.Version of the last information block
    std::atomic<uint32_t> FOpenCount { 0 };     // successful opens
    std::atomic<uint32_t> FInfoOpenCount { 0 }; // the open FVersion was read after
    TAdapterInfo FInfo {};                // guarded by FLinkLock
    int32_t FQuietPolls = 0;              // link thread only
    std::atomic<uint32_t> FAccessDenials { 0 };
    TOpenOutcome FLastOpenOutcome = TOpenOutcome::NotFound; // link thread only

    // Countdowns, in ticks, guarded by the countdown lock.
    std::recursive_mutex FCountdownLock;
    int32_t FOpenWait = 0;
    int32_t FRxHold = 0;

    mutable std::mutex FLinkLock; // the rings and the adapter information
    TLinkRing RxRing;
    TLinkRing TxRing;

    TCommandQueue FQueue;
    bool FOwnThread = true;
    std::thread FThread;
    std::atomic<bool> FStopRequested { false };

    // Hand-over state: FHandoverPending is raised by the link thread when it posts a call to
    // serve the ring and dropped by the user-interface thread when it takes it; WaitIdle
    // waits on FHandoverCv for posts and for the queue to run dry.
    std::mutex FHandoverLock;
    std::condition_variable FHandoverCv;
    bool FHandoverPending = false;
    bool FHandoverCancelled = false;
    bool FServing = false; // user-interface thread: OnLinkData is running

    QTimer* FTickTimer = nullptr;
    uint8_t FInfoScratch[20 + 128 + 128] {};
    uint8_t FMsgScratch[kLinkMsgSize] {};
};
