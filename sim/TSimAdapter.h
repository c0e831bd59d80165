#pragma once

#include "link/TAdapterProtocol.h"
#include "link/TLinkMsg.h"

#include <atomic>
#include <cstdint>
#include <deque>
#include <mutex>
#include <vector>

class TSimSerialPeer;

// The KORVEL-CONNECT adapter's firmware, simulated: answers the six vendor requests, keeps the
// controller's serial bytes as type-3 messages for the PC and relays what the PC sends to the
// serial peer. It is the one adapter model behind both ways in (the in-process transport and
// the emulated USB device of the tests); every entry point is thread-safe.
class TSimAdapter {
public:
    // Faults the tests and the demo can switch on.
    enum TFault : uint32_t {
        fNone = 0,
        fFailInfo = 1u << 0,     // rqInfo stalls
        fFailRelease = 1u << 1,  // rqRelease stalls
        fFailPoll = 1u << 2,     // rqPoll stalls
        fFailFetch = 1u << 3,    // rqFetch stalls
        fFailTxReady = 1u << 4,  // rqTxReady stalls
        fFailSend = 1u << 5,     // rqSend stalls
        fTxBusy = 1u << 6,       // rqTxReady answers a non-zero Code
        fPartialRead = 1u << 7,  // a fetched message arrives only in part, then the read times out
        fFailBulkWrite = 1u << 8 // the bulk OUT transfer fails
    };

    TSimAdapter();

    // --- USB side (called by the transports) ---
    // Control transfer; the data stage is `data` (wLength bytes). Returns the bytes moved, or
    // -1 for a stall.
    int ControlTransfer(uint8_t bmRequestType, uint8_t bRequest, uint16_t wValue, uint16_t wIndex,
                        uint8_t* data, uint16_t wLength);
    // Bulk IN: up to `length` bytes of what the last rqInfo or rqFetch armed. Returns the bytes
    // delivered, 0 when nothing is armed (the transfer would time out), or -1 for a fault.
    int BulkIn(uint8_t* buffer, uint32_t length);
    // Bulk OUT: the bytes announced by the last rqSend. Returns the bytes taken or -1.
    int BulkOut(const uint8_t* buffer, uint32_t length);

    // --- serial side ---
    void AttachPeer(TSimSerialPeer* peer);
    // Bytes the controller sends to the PC; they become type-3 messages of up to 64 bytes.
    void FeedSerial(const uint8_t* bytes, size_t count);
    // Queues a raw message for the PC (any type, any length up to 66 bytes).
    void QueueMessage(const uint8_t* bytes, size_t count);

    // --- settings and faults ---
    void SetVersion(uint32_t version);
    void SetFaults(uint32_t faults);
    uint32_t Faults() const;
    // Overrides the Count of the next rqPoll answers (odd values for the tests); -1 = off.
    void SetPollCountOverride(int32_t count);
    // Clears all pending data; an unplug loses what the adapter held.
    void Reset();

    // --- what happened, for tests ---
    struct TCounters {
        int info = 0, release = 0, poll = 0, fetch = 0, txReady = 0, send = 0;
        int bulkIn = 0, bulkOut = 0;
    };
    TCounters Counters() const;
    // Every record the PC sent, as it arrived (first n bytes of a TLinkMsg).
    std::vector<std::vector<uint8_t>> SentRecords() const;
    size_t PendingMessages() const;

private:
    mutable std::mutex FLock;
    TSimSerialPeer* FPeer = nullptr;
    uint32_t FVersion = 0x0171;
    uint32_t FFaults = fNone;
    int32_t FPollCountOverride = -1;
    std::deque<std::vector<uint8_t>> FToPc; // messages waiting for rqPoll/rqFetch
    std::vector<uint8_t> FArmedIn;           // bytes that the next bulk IN reads deliver
    size_t FArmedInPos = 0;
    uint32_t FExpectOut = 0;                 // bytes announced by rqSend
    uint32_t FPollArg = 0;
    TCounters FCounters;
    std::vector<std::vector<uint8_t>> FSent;
};
