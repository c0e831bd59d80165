#pragma once

#include "link/TLinkMsg.h"
#include "protocol/TCommandCodes.h"
#include "protocol/TFrameDecoder.h"
#include "protocol/TFrameSink.h"
#include "protocol/TResponse.h"
#include "protocol/TTelemetryMonitor.h"

#include <QObject>
#include <QTimer>

#include <cstdint>

class TKorvelComm;
class TTelemetryView;
class TWaitClock;

// The controller protocol on top of the link: sending frames, the receive routine
// behind the link's OnLinkData, the request exchange with its 1600 ms limit and the firmware
// version. The main window owns the one instance; everything runs on the user-interface
// thread, so ExchangeBusy, the decoder and Response take no lock.
class TControllerProtocol : public QObject, private TFrameSink {
    Q_OBJECT
public:
    explicit TControllerProtocol(TKorvelComm* link = nullptr, QObject* parent = nullptr);
    ~TControllerProtocol() override;

    // The link to send through and drain. Null detaches it: a waiting SendRequest then ends
    // with -1 and nothing touches the old link again. The owner detaches before it destroys
    // the link (the main window's close can happen inside a waiting exchange).
    void SetLink(TKorvelComm* link);
    TKorvelComm* Link() const { return FLink; }
    // Where telemetry frames are shown; may be null.
    void SetTelemetryView(TTelemetryView* view) { FView = view; }

    // The limit of a request exchange (TimerRxFt's interval), 1600 ms; a seam for tests.
    void SetReplyTimeoutMs(int ms) { FReplyTimeoutMs = ms; }
    int ReplyTimeoutMs() const { return FReplyTimeoutMs; }
    // The clock the waits run on; null (the default) is the wall clock with TimerRxFt. A seam
    // for tests that step time themselves.
    void SetWaitClock(TWaitClock* clock) { FWaitClock = clock; }
    TWaitClock* WaitClock() const { return FWaitClock; }
    // Lets `ms` pass while events run: on the wait clock when there is one, otherwise by
    // running events as they come until a timer of `ms` fires. 0 processes pending events once.
    void Pause(int ms);

    // Encodes the payload as a command frame and queues it; true when queued. False when the
    // link status is not 3, the payload is longer than 256 bytes, the send ring refused a
    // record or another SendFrame is in the middle of queuing. A frame longer than one
    // record's 64 bytes (0x21 with many escaped bytes, up to 99) goes out as consecutive
    // records; the controller reads them as one byte stream.
    bool SendFrame(const uint8_t* payload, int count);

    // The request exchange: sends the payload and waits for an answer frame, running the event
    // loop every 5 ms. Returns -1 when another exchange waits, the frame could not be queued,
    // no answer came within the limit or the exchange was aborted; otherwise the answer's
    // payload length (a NAK is an answer). `answer`, when given, must hold 256 bytes.
    int32_t SendRequest(const uint8_t* payload, int count, uint8_t* answer = nullptr,
                        uint8_t* answerType = nullptr);

    // Ends a waiting exchange with -1 at its next look (the window is closing).
    void Abort();

    // The OnLinkData handler: drains the receive ring and decodes the type-3 records.
    void ReceiveFrames();
    // What ReceiveFrames does with one record: feeds a type-3 record's bytes to the decoder
    // and skips the others. A seam for tests and benchmarks that have no link.
    void HandleRecord(const TLinkMsg& msg);

    // Asks for the firmware version; an answer of exactly 2 bytes sets ControllerVersion.
    void GetTargetVersion();
    uint16_t ControllerVersion() const { return FControllerVersion; }
    void SetControllerVersion(uint16_t version) { FControllerVersion = version; }

    bool ExchangeBusy() const { return FExchangeBusy; }
    const TResponse& Response() const { return FResponse; }
    const TFrameDecoder& RxDecoder() const { return FRxDecoder; }
    TTelemetryMonitor& Telemetry() { return FTelemetry; }
    const TTelemetryMonitor& Telemetry() const { return FTelemetry; }

    // TimerRxFt's handler: only disables the timer, which a waiting exchange reads as time up.
    void TimerRxFtTimer();

private:
    static constexpr int kWaitPassMs = 5; // a waiting exchange looks for its answer this often

    void OnTelemetryFrame(const uint8_t* rxBuf, uint32_t rxCount) override;
    void OnAnswerFrame(uint8_t type, const uint8_t* payload, uint32_t count) override;
    void DiscardReceived();
    bool WaitAborted() const;
    bool ReplyTimeUp(int64_t deadlineMs) const;

    TKorvelComm* FLink = nullptr;          // the link; null once detached
    TTelemetryView* FView = nullptr;       // where telemetry is shown; may be null
    TFrameDecoder FRxDecoder;              // RxDecoder, kept across records
    TResponse FResponse;                   // the last answer
    TTelemetryMonitor FTelemetry;          // the current record and its bookkeeping
    QTimer FTimerRxFt;                     // one-shot limit of a waiting exchange
    int FReplyTimeoutMs = kDefaultReplyTimeoutMs;
    TWaitClock* FWaitClock = nullptr;      // null: the wall clock
    uint16_t FControllerVersion = 0;       // 0 = not known, to be asked for
    bool FExchangeBusy = false;            // a SendRequest is waiting
    bool FQueuing = false;                 // SendFrame is queuing the records of one frame
    bool FAbortRequested = false;          // the waiting exchange is to end with -1
};
