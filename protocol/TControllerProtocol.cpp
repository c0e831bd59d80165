#include "protocol/TControllerProtocol.h"

#include "link/TKorvelComm.h"
#include "protocol/ProtocolLog.h"
#include "protocol/TFrameEncoder.h"
#include "protocol/TWaitClock.h"

#include <QCoreApplication>
#include <QEventLoop>
#include <QPointer>
#include <QThread>
#include <QTimer>

#include <cstring>

TControllerProtocol::TControllerProtocol(TKorvelComm* link, QObject* parent)
    : QObject(parent), FLink(link), FRxDecoder(this)
{
    FTimerRxFt.setSingleShot(true);
    // A coarse timer may fire up to 5 % early; the limit is a promise to the caller.
    FTimerRxFt.setTimerType(Qt::PreciseTimer);
    FTimerRxFt.setInterval(FReplyTimeoutMs);
    connect(&FTimerRxFt, &QTimer::timeout, this, &TControllerProtocol::TimerRxFtTimer);
}

TControllerProtocol::~TControllerProtocol() = default;

void TControllerProtocol::SetLink(TKorvelComm* link)
{
    if (!link)
        Abort();
    FLink = link;
}

void TControllerProtocol::Abort()
{
    if (FExchangeBusy)
        FAbortRequested = true;
}

namespace {

uint8_t CommandOf(const uint8_t* payload, int count)
{
    return count > 0 ? payload[0] : 0;
}

} // namespace

bool TControllerProtocol::SendFrame(const uint8_t* payload, int count)
{
    const uint8_t command = CommandOf(payload, count);
    // A nested SendFrame (a timer run while EnqueueTx lets events through) must not slip its
    // record between the parts of a frame that is being queued.
    if (!FLink || FQueuing || FLink->GetLinkStatus() != lkReceiving) {
        qCDebug(lcProtocol, "command 0x%02x (%s) not sent: %s", command, CommandName(command),
                !FLink ? "no link" : FQueuing ? "another frame is being queued"
                                              : "the link is not receiving");
        return false;
    }

    uint8_t encoded[TFrameEncoder::kMaxEncodedSize];
    const int length = TFrameEncoder::EncodeCommand(payload, count, encoded, int(sizeof encoded));
    TLinkMsg records[TFrameEncoder::kMaxRecords];
    const int parts = length < 0
        ? -1
        : TFrameEncoder::Split(encoded, length, records, TFrameEncoder::kMaxRecords);
    if (parts < 0) {
        qCWarning(lcProtocol, "command 0x%02x (%s) not sent: %d bytes do not fit a frame",
                  command, CommandName(command), count);
        return false;
    }

    // All parts or none: a frame cut short would leave the controller holding a half frame.
    if (FLink->TxFreeSlots() < parts) {
        qCDebug(lcProtocol, "command 0x%02x (%s) not sent: the send ring is full", command,
                CommandName(command));
        return false;
    }
    FQueuing = true;
    bool queued = true;
    for (int i = 0; i < parts && queued; ++i) {
        // FLink is read again each time: EnqueueTx may run the event loop while it posts, and
        // the window may detach the link meanwhile.
        queued = FLink && FLink->EnqueueTx(records[i]);
    }
    FQueuing = false;
    if (queued)
        qCDebug(lcProtocol, "command 0x%02x (%s) sent: %d bytes in %d records", command,
                CommandName(command), length, parts);
    else
        qCDebug(lcProtocol, "command 0x%02x (%s) not sent: the link refused a record", command,
                CommandName(command));
    return queued;
}

void TControllerProtocol::DiscardReceived()
{
    TLinkMsg discarded;
    while (FLink && FLink->DequeueRx(discarded)) {
    }
}

bool TControllerProtocol::WaitAborted() const
{
    return FAbortRequested || !FLink;
}

int32_t TControllerProtocol::SendRequest(const uint8_t* payload, int count, uint8_t* answer,
                                         uint8_t* answerType)
{
    const uint8_t command = CommandOf(payload, count);
    if (FExchangeBusy) {
        qCDebug(lcProtocol, "command 0x%02x (%s) busy: another request waits", command,
                CommandName(command));
        return -1;
    }
    FExchangeBusy = true;
    FAbortRequested = false;
    FResponse.RespReady = false;
    FTimerRxFt.stop();

    // The records waiting now belong to no request of ours and are not decoded.
    DiscardReceived();

    // The event loop runs below (and may run inside EnqueueTx); if it destroys this object the
    // exchange can only leave without touching a member.
    QPointer<TControllerProtocol> self(this);
    const bool sent = SendFrame(payload, count);
    if (!self)
        return -1;
    if (!sent || WaitAborted()) {
        FExchangeBusy = false;
        FTimerRxFt.stop();
        return -1;
    }

    // On a wait clock the limit is a deadline on that clock; TimerRxFt would run on real time.
    int64_t deadline = 0;
    if (FWaitClock)
        deadline = FWaitClock->NowMs() + FReplyTimeoutMs;
    else
        FTimerRxFt.start(FReplyTimeoutMs);
    while (!FResponse.RespReady) {
        if (FWaitClock) {
            FWaitClock->Pause(kWaitPassMs);
        } else {
            QCoreApplication::processEvents();
            if (self)
                QThread::msleep(kWaitPassMs);
        }
        if (!self)
            return -1;
        // An answer decoded in the same pass in which the timer fired still ends with -1.
        if (ReplyTimeUp(deadline) || WaitAborted()) {
            qCDebug(lcProtocol, "command 0x%02x (%s) %s", command, CommandName(command),
                    WaitAborted() ? "aborted" : "timed out");
            // A frame still queued (the adapter went away before taking it) would otherwise go
            // out after the next open, unasked for by then.
            if (FLink)
                FLink->WithdrawTx();
            FExchangeBusy = false;
            return -1;
        }
    }
    qCDebug(lcProtocol, "command 0x%02x (%s) answered: %s, %d bytes", command,
            CommandName(command), FResponse.RespType == fbAck ? "ACK" : "NAK",
            int(FResponse.RespLen));

    if (answerType)
        *answerType = FResponse.RespType;
    if (answer)
        std::memcpy(answer, FResponse.RespData, size_t(FResponse.RespLen));
    FExchangeBusy = false;
    return FResponse.RespLen;
}

bool TControllerProtocol::ReplyTimeUp(int64_t deadlineMs) const
{
    return FWaitClock ? FWaitClock->NowMs() >= deadlineMs : !FTimerRxFt.isActive();
}

void TControllerProtocol::Pause(int ms)
{
    if (FWaitClock) {
        FWaitClock->Pause(ms);
        return;
    }
    QCoreApplication::processEvents();
    if (ms <= 0)
        return;
    // The thread sleeps until an event comes or the time is up, rather than waking every few
    // milliseconds to look: the timer's own event ends the last wait.
    QTimer end;
    end.setTimerType(Qt::PreciseTimer);
    end.setSingleShot(true);
    end.start(ms);
    while (end.isActive())
        QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents);
}

void TControllerProtocol::TimerRxFtTimer()
{
    FTimerRxFt.stop();
}

void TControllerProtocol::ReceiveFrames()
{
    TLinkMsg msg;
    while (FLink && FLink->DequeueRx(msg))
        HandleRecord(msg);
}

void TControllerProtocol::HandleRecord(const TLinkMsg& msg)
{
    if (msg.Type != mtFrame)
        return;
    // A Len byte above 64 came from the wire; Data holds no more than 64.
    const size_t count = msg.Len < kLinkMsgDataSize ? msg.Len : size_t(kLinkMsgDataSize);
    FRxDecoder.Feed(msg.Data, count);
}

void TControllerProtocol::GetTargetVersion()
{
    const uint8_t request[] = { cmdVersion };
    uint8_t answer[kMaxFramePayload];
    if (SendRequest(request, int(sizeof request), answer) == 2)
        FControllerVersion = uint16_t(answer[0] | answer[1] << 8);
}

void TControllerProtocol::OnTelemetryFrame(const uint8_t* rxBuf, uint32_t)
{
    FTelemetry.HandleFrame(rxBuf, FControllerVersion, FView);
}

void TControllerProtocol::OnAnswerFrame(uint8_t type, const uint8_t* payload, uint32_t count)
{
    if (!FExchangeBusy)
        qCDebug(lcProtocol, "answer with no request waiting: %s, %u bytes",
                type == fbAck ? "ACK" : "NAK", unsigned(count));
    FResponse.RespType = type;
    std::memcpy(FResponse.RespData, payload, count);
    FResponse.RespLen = int32_t(count);
    FResponse.RespReady = true;
}
