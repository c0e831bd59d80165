#include "link/TKorvelComm.h"

#include "link/LinkLog.h"

#include <QCoreApplication>
#include <QMetaObject>
#include <QTimer>

#include <chrono>
#include <cstring>
#include <utility>
#include <exception>
#include <iostream>

#include <sys/resource.h>
#include <unistd.h>

namespace {

constexpr uint32_t kShortTimeoutMs = 100;
constexpr uint32_t kLongTimeoutMs = 5000;
constexpr uint32_t kBulkInTimeoutMs = 2000;
constexpr uint32_t kInfoReadSize = 128;
constexpr int kQuietPolls = 10;

// Takes the countdown lock, which the tick handler and the link thread share; it is recursive
// for its owner, since the tick handler can run again inside PostCommand.
void LockCountdown(std::recursive_mutex& m)
{
    m.lock();
}

const char* BackendName(TUsbBackend backend)
{
    switch (backend) {
    case beWinUsb: return "WinUSB";
    case beLibusb: return "libusb";
    case beSimulated: return "the simulated adapter";
    default: return "no stack";
    }
}

const char* OutcomeText(TOpenOutcome outcome)
{
    switch (outcome) {
    case TOpenOutcome::Opened: return "opened";
    case TOpenOutcome::NotFound: return "no adapter found";
    case TOpenOutcome::SetupFailed: return "adapter found, set-up failed";
    case TOpenOutcome::AccessDenied: return "adapter found, access denied";
    case TOpenOutcome::OpenFailed: return "adapter found, open failed";
    }
    return "";
}

} // namespace

TKorvelComm::TKorvelComm(TTransports transports)
    : TKorvelComm(std::move(transports), TOptions {})
{
}

TKorvelComm::TKorvelComm(TTransports transports, TOptions options)
    : FTransports(std::move(transports))
    , FOwnThread(options.ownThread)
{
    if (options.autoTick) {
        FTickTimer = new QTimer(this);
        FTickTimer->setInterval(kTickMs);
        connect(FTickTimer, &QTimer::timeout, this, &TKorvelComm::Tick);
        FTickTimer->start();
    }
    ResetLink();
    if (FOwnThread)
        Start();
}

TKorvelComm::~TKorvelComm()
{
    if (FTickTimer)
        FTickTimer->stop();
    // The stop overtakes queued ticks, and no hand-over is posted any more: the thread ends
    // once the handler it is in has returned.
    FStopRequested.store(true);
    {
        std::lock_guard lock(FHandoverLock);
        FHandoverCancelled = true;
    }
    FHandoverCv.notify_all();
    FQueue.Wake();
    if (FThread.joinable())
        FThread.join();
    else if (!FOwnThread)
        ShutdownLink();
}

void TKorvelComm::Start()
{
    FThread = std::thread([this] { Execute(); });
}

// ---------------------------------------------------------------------------------------------
// User-interface thread

// The countdowns run before the tick is posted, not under the lock while it is posted: a link
// thread woken by the post would otherwise block on the lock at its first SetRxHold. The link
// thread sees the same order either way (the countdowns of this tick, then its commands).
void TKorvelComm::Tick()
{
    LockCountdown(FCountdownLock);
    bool openDue = false;
    if (FOpenWait > 0)
        openDue = --FOpenWait == 0;
    if (FRxHold > 0) {
        if (--FRxHold == 0) {
            int32_t expected = lkReceiving;
            if (FStatus.compare_exchange_strong(expected, lkAdapterReady))
                qCDebug(lcLink, "link status 3 -> 2: nothing received for a second");
        }
    }
    FCountdownLock.unlock();
    PostCommand(cmTick);
    if (openDue)
        PostCommand(cmOpen);
}

void TKorvelComm::PostCommand(TLinkCommand cmd)
{
    while (!FQueue.Post(cmd)) {
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
        QCoreApplication::processEvents();
    }
}

bool TKorvelComm::EnqueueTx(const TLinkMsg& msg)
{
    if (msg.Len == 0)
        return true;
    // The send step writes Len + 2 bytes of the record; more would read past it.
    if (msg.Len > kLinkMsgDataSize)
        return false;
    bool queued;
    {
        std::lock_guard lock(FLinkLock);
        queued = TxRing.Push(msg);
    }
    if (queued)
        PostCommand(cmSend);
    return queued;
}

void TKorvelComm::WithdrawTx()
{
    std::lock_guard lock(FLinkLock);
    TxRing.Withdraw();
}

bool TKorvelComm::DequeueRx(TLinkMsg& msg)
{
    std::lock_guard lock(FLinkLock);
    return RxRing.Pop(msg);
}

TLinkStatus TKorvelComm::GetLinkStatus() const
{
    std::lock_guard lock(FLinkLock);
    return TLinkStatus(FStatus.load());
}

int TKorvelComm::TxFreeSlots() const
{
    std::lock_guard lock(FLinkLock);
    return TxRing.Free();
}

uint16_t TKorvelComm::GetAdapterVersion() const
{
    return uint16_t(FVersion.load() & 0xFFFF);
}

int32_t TKorvelComm::OpenWaitTicks() const
{
    auto& lock = const_cast<std::recursive_mutex&>(FCountdownLock);
    LockCountdown(lock);
    int32_t v = FOpenWait;
    lock.unlock();
    return v;
}

void TKorvelComm::WaitIdle()
{
    if (!FOwnThread) {
        RunQueued();
        return;
    }
    for (;;) {
        ServeLinkData();
        if (FQueue.Idle()) {
            std::lock_guard lock(FHandoverLock);
            if (!FHandoverPending)
                return;
        }
        QCoreApplication::processEvents();
        std::unique_lock lock(FHandoverLock);
        FHandoverCv.wait_for(lock, std::chrono::milliseconds(5),
                             [this] { return FHandoverPending || FQueue.Idle(); });
    }
}

void TKorvelComm::ServeLinkData()
{
    // A call made from inside OnLinkData (an event loop it runs) returns at once: the loop
    // below sees the flag the link thread raised meanwhile.
    if (FServing)
        return;
    FServing = true;
    // The flag drops before the handler drains the ring, so a record stored while it runs
    // posts a fresh call instead of waiting behind a flag that is about to fall.
    while (TakeHandover()) {
        if (OnLinkData)
            OnLinkData();
    }
    FServing = false;
    FHandoverCv.notify_all();
}

bool TKorvelComm::TakeHandover()
{
    std::lock_guard lock(FHandoverLock);
    return std::exchange(FHandoverPending, false);
}

// ---------------------------------------------------------------------------------------------
// Link thread

void TKorvelComm::Execute()
{
    setpriority(PRIO_PROCESS, static_cast<id_t>(gettid()), tpTimeCritical);
    for (;;) {
        TLinkCommand cmd;
        const bool got = FQueue.Wait(cmd, [this] { return FStopRequested.load(); });
        if (FStopRequested.load() || (got && cmd == cmStop)) {
            ShutdownLink();
            return;
        }
        if (got)
            Handle(cmd);
    }
}

// One command, with the fault handling of the link thread's loop.
void TKorvelComm::Handle(TLinkCommand cmd)
{
    try {
        Dispatch(cmd);
    } catch (const std::exception& e) {
        ReportFault(QString::fromLocal8Bit(e.what()));
        CloseAdapter();
        ResetLink();
    } catch (...) {
        ReportFault(QStringLiteral("Unknown error in the adapter link"));
        CloseAdapter();
        ResetLink();
    }
    FQueue.Done();
    {
        std::lock_guard lock(FHandoverLock);
    }
    FHandoverCv.notify_all(); // WaitIdle may be waiting for the queue to run dry
}

// Without a link thread: the posted commands, in order, on the caller's thread.
void TKorvelComm::RunQueued()
{
    TLinkCommand cmd;
    while (FQueue.Wait(cmd, [] { return true; }))
        Handle(cmd);
}

void TKorvelComm::Dispatch(TLinkCommand cmd)
{
    switch (FPhase.load()) {
    case phSearch: OpenHandler(cmd); break;
    case phInfo: InfoHandler(cmd); break;
    case phPoll: PollHandler(cmd); break;
    }
}

void TKorvelComm::ReportFault(const QString& message)
{
    qCWarning(lcLink) << "fault in the link thread:" << message;
    // While the link is being destroyed nobody is left to show the fault.
    if (FStopRequested.load()) {
        std::cerr << "Brevon: adapter link: " << message.toStdString() << std::endl;
        return;
    }
    QMetaObject::invokeMethod(
        this, [this, message] { if (OnFault) OnFault(message); }, Qt::QueuedConnection);
}

void TKorvelComm::OpenHandler(TLinkCommand cmd)
{
    if (cmd != cmOpen)
        return;
    const TOpenOutcome outcome = OpenAdapter();
    NoteOpenOutcome(outcome);
    switch (outcome) {
    case TOpenOutcome::Opened:
        qCInfo(lcLink, "adapter opened through %s: bulk IN 0x%02x, bulk OUT 0x%02x",
               BackendName(FBackend.load()), unsigned(FEpIn.load()), unsigned(FEpOut.load()));
        FOpenCount.fetch_add(1);
        FPhase.store(phInfo);
        SetStatus(lkAdapterReady);
        break;
    case TOpenOutcome::NotFound:
    case TOpenOutcome::AccessDenied:
    case TOpenOutcome::OpenFailed:
        SetStatus(lkNoAdapter);
        SetOpenWait(1000);
        break;
    case TOpenOutcome::SetupFailed:
        DropAdapter();
        SetStatus(lkNoAdapter);
        break;
    }
}

// A refusal that follows anything but a refusal is a new plug-in of an adapter this user may not
// open. Outcomes are logged when they change, not at every attempt.
void TKorvelComm::NoteOpenOutcome(TOpenOutcome outcome)
{
    if (outcome == FLastOpenOutcome)
        return;
    if (outcome == TOpenOutcome::AccessDenied)
        FAccessDenials.fetch_add(1);
    if (outcome != TOpenOutcome::Opened)
        qCInfo(lcLink, "open attempt: %s", OutcomeText(outcome));
    FLastOpenOutcome = outcome;
}

void TKorvelComm::SetStatus(TLinkStatus s)
{
    const int32_t previous = FStatus.exchange(s);
    if (previous != s)
        qCDebug(lcLink, "link status %d -> %d", int(previous), int(s));
}

void TKorvelComm::InfoHandler(TLinkCommand cmd)
{
    if (cmd == cmSend) {
        SendStep();
        return;
    }
    if (cmd != cmTick)
        return;
    TAdapterCmd req { rqInfo, 0, 0 };
    if (!VendorRequest(kRequestTypeOut, req, kShortTimeoutMs)
        || !ReadFully(FInfoScratch, kAdapterInfoSize, kInfoReadSize)) {
        ReleaseAdapter();
        SetStatus(lkNoAdapter);
        return;
    }
    {
        std::lock_guard lock(FLinkLock);
        FInfo.Version = ReadU32Le(FInfoScratch);
        std::memcpy(FInfo.Reserved, FInfoScratch + 4, sizeof FInfo.Reserved);
        FVersion.store(FInfo.Version);
        FInfoOpenCount.store(FOpenCount.load());
    }
    qCDebug(lcLink, "information block: adapter firmware 0x%04x", unsigned(FInfo.Version));
    if (FInfo.Version < kMinAdapterVersion) {
        qCWarning(lcLink, "adapter firmware 0x%04x is older than 0x%04x: the adapter is closed",
                  unsigned(FInfo.Version), unsigned(kMinAdapterVersion));
        ReleaseAdapter();
        SetStatus(lkOldFirmware);
    } else {
        FPhase.store(phPoll);
    }
}

void TKorvelComm::PollHandler(TLinkCommand cmd)
{
    if (cmd == cmSend)
        SendStep();
    else if (cmd == cmTick)
        PollPass();
}

void TKorvelComm::PollPass()
{
    bool stored = false;
    for (;;) {
        {
            std::lock_guard lock(FLinkLock);
            if (RxRing.Full())
                break;
        }
        TAdapterCmd poll { rqPoll, 0, 0 };
        if (!VendorRequest(kRequestTypeIn, poll, kLongTimeoutMs)) {
            DropAdapter();
            SetStatus(lkNoAdapter);
            return;
        }
        if (poll.Code != rqPoll)
            break;
        // A Count that cannot be a record (0, 1 or above 66 bytes) would overrun the message
        // scratch; the adapter is released as after a failed fetch and opened again.
        if (poll.Count < 2 || poll.Count > uint32_t(kLinkMsgSize)) {
            ReleaseAdapter();
            SetStatus(lkNoAdapter);
            return;
        }
        TAdapterCmd fetch = poll;
        fetch.Code = rqFetch;
        if (!VendorRequest(kRequestTypeOut, fetch, kShortTimeoutMs)
            || !ReadFully(FMsgScratch, poll.Count, 0)) {
            ReleaseAdapter();
            SetStatus(lkNoAdapter);
            return;
        }
        // A record whose Len claims more bytes than came is dropped: what it lacks is not
        // the controller's.
        if (FMsgScratch[1] > poll.Count - 2)
            continue;
        {
            std::lock_guard lock(FLinkLock);
            RxRing.PushBytes(FMsgScratch, int(poll.Count));
        }
        stored = true;
        SetRxHold(1000);
        SetStatus(lkReceiving);
        FQuietPolls = kQuietPolls;
    }
    if (stored)
        AnnounceLinkData();
    FPhase.store(phInfo);
    if (FQuietPolls != 0)
        --FQuietPolls;
    else
        SetStatus(lkAdapterReady);
    SendStep();
}

// Reads `want` bytes from the IN pipe, each read asking for what is still missing (or for
// `askPerRead` bytes when that is not 0). An empty read counts as a failure: an adapter that
// kept answering with zero-length packets would otherwise hold the link thread for ever.
bool TKorvelComm::ReadFully(uint8_t* dest, uint32_t want, uint32_t askPerRead)
{
    uint32_t got = 0;
    while (got < want) {
        const uint32_t ask = askPerRead ? askPerRead : want - got;
        const int32_t n = BulkRead(dest + got, ask, kBulkInTimeoutMs);
        if (n <= 0 || uint32_t(n) > ask)
            return false;
        got += uint32_t(n);
    }
    return true;
}

void TKorvelComm::SendStep()
{
    {
        std::lock_guard lock(FLinkLock);
        if (!TxRing.PeekPending())
            return;
    }
    TAdapterCmd ready { rqTxReady, 0, 0 };
    if (!VendorRequest(kRequestTypeIn, ready, kLongTimeoutMs)) {
        DropAdapter();
        SetStatus(lkNoAdapter);
        return;
    }
    if (ready.Code != 0)
        return;
    TLinkMsg msg;
    {
        std::lock_guard lock(FLinkLock);
        const TLinkMsg* head = TxRing.PeekPending();
        if (!head)
            return;
        msg = *head;
    }
    uint32_t n = 0;
    switch (msg.Type) {
    case 0: case 1: case 3: n = uint32_t(msg.Len) + 2; break;
    case 2: n = 16; break;
    default: n = 0; break; // not for the adapter: dropped
    }
    if (n > 0) {
        TAdapterCmd send { rqSend, 0, n };
        if (!VendorRequest(kRequestTypeOut, send, kShortTimeoutMs)) {
            DropAdapter();
            return;
        }
        if (BulkWrite(reinterpret_cast<const uint8_t*>(&msg), n, kShortTimeoutMs) != int32_t(n)) {
            DropAdapter();
            return;
        }
    }
    std::lock_guard lock(FLinkLock);
    TxRing.Advance();
}

// The link thread does not wait for the user-interface thread: it posts one call to serve the
// ring while none is outstanding and goes on polling. A full ring stops the fetching, so the
// records the user-interface thread has not taken yet wait in the adapter.
void TKorvelComm::AnnounceLinkData()
{
    {
        std::lock_guard lock(FHandoverLock);
        if (FHandoverCancelled || std::exchange(FHandoverPending, true))
            return;
    }
    if (!FOwnThread) {
        ServeLinkData();
        return;
    }
    FHandoverCv.notify_all();
    QMetaObject::invokeMethod(this, &TKorvelComm::ServeLinkData, Qt::QueuedConnection);
}

void TKorvelComm::ReleaseAdapter()
{
    if (FOpen) {
        uint32_t version;
        {
            std::lock_guard lock(FLinkLock);
            version = FInfo.Version;
        }
        if (version < kReleaseBelowVersion) {
            TAdapterCmd release { rqRelease, 0, 0 };
            VendorRequest(kRequestTypeOut, release, kLongTimeoutMs);
        }
        DropAdapter();
    }
    FPhase.store(phSearch);
    SetOpenWait(1000);
}

void TKorvelComm::DropAdapter()
{
    CloseAdapter();
    FPhase.store(phSearch);
    SetOpenWait(2000);
}

void TKorvelComm::ShutdownLink()
{
    try {
        CloseAdapter();
    } catch (const std::exception& e) {
        ReportFault(QString::fromLocal8Bit(e.what()));
    }
}

void TKorvelComm::ResetLink()
{
    FOpen = nullptr;
    FBackend.store(beNone);
    {
        LockCountdown(FCountdownLock);
        FOpenWait = 0;
        FCountdownLock.unlock();
    }
    FPhase.store(phSearch);
    SetOpenWait(100);
    FEpIn = 0x85;
    FEpOut = 0x02;
    std::lock_guard lock(FLinkLock);
    RxRing.Clear();
    TxRing.Clear();
}

int TKorvelComm::MsToTicks(int ms) const
{
    const int interval = kTickMs > 0 ? kTickMs : 25;
    const int ticks = ms / interval;
    return ticks < 1 ? 1 : ticks;
}

void TKorvelComm::SetOpenWait(int ms)
{
    LockCountdown(FCountdownLock);
    FOpenWait = MsToTicks(ms);
    FCountdownLock.unlock();
}

void TKorvelComm::SetRxHold(int ms)
{
    LockCountdown(FCountdownLock);
    FRxHold = MsToTicks(ms);
    FCountdownLock.unlock();
}

// ---------------------------------------------------------------------------------------------
// Transport: the first transport that finds the adapter serves the primitives until the close.

TOpenOutcome TKorvelComm::OpenAdapter()
{
    // An adapter that a stack found but could not open tells more than one no stack found.
    TOpenOutcome refused = TOpenOutcome::NotFound;
    for (auto& t : FTransports) {
        uint8_t epIn = FEpIn.load();
        uint8_t epOut = FEpOut.load();
        const TOpenOutcome outcome = t->Open(epIn, epOut);
        if (outcome == TOpenOutcome::AccessDenied || outcome == TOpenOutcome::OpenFailed) {
            if (refused != TOpenOutcome::AccessDenied)
                refused = outcome;
            continue;
        }
        if (outcome == TOpenOutcome::NotFound)
            continue;
        FEpIn.store(epIn);
        FEpOut.store(epOut);
        FOpen = t.get();
        FBackend.store(t->Kind());
        return outcome;
    }
    return refused;
}

void TKorvelComm::CloseAdapter()
{
    if (FOpen) {
        FOpen->Close();
        qCInfo(lcLink, "adapter closed");
    }
    FOpen = nullptr;
}

bool TKorvelComm::VendorRequest(uint8_t bmRequestType, TAdapterCmd& cmd, uint32_t timeoutMs)
{
    if (!FOpen)
        return false;
    uint8_t block[kAdapterCmdSize];
    cmd.ToBytes(block);
    if (!FOpen->VendorRequest(bmRequestType, uint8_t(cmd.Code), 0, 0, block, kAdapterCmdSize,
                              timeoutMs))
        return false;
    if (bmRequestType & 0x80)
        cmd = TAdapterCmd::FromBytes(block);
    return true;
}

int32_t TKorvelComm::BulkRead(uint8_t* buffer, uint32_t length, uint32_t timeoutMs)
{
    return FOpen ? FOpen->BulkRead(FEpIn, buffer, length, timeoutMs) : -1;
}

int32_t TKorvelComm::BulkWrite(const uint8_t* buffer, uint32_t length, uint32_t timeoutMs)
{
    return FOpen ? FOpen->BulkWrite(FEpOut, buffer, length, timeoutMs) : -1;
}
