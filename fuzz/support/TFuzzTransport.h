#pragma once

#include "link/TLinkMsg.h"
#include "link/TUsbTransport.h"

#include <fuzzer/FuzzedDataProvider.h>

#include <cstdint>
#include <deque>
#include <vector>

// An adapter that misbehaves as the fuzz input tells it: whether it is found, whether each
// vendor request and bulk transfer succeeds, the poll answers (any Code, Arg and a Count of 0 to
// 65535), the information block and the fetched records, reads that deliver less than asked.
// It also watches the link's side of the conversation and aborts on a breach: a primitive used
// while the adapter is closed, a block that is not 12 bytes, a fetch that does not carry back
// the poll answer, a read or write on the wrong endpoint, a send whose size does not follow
// from the record, a record written that was never queued or out of order.
class TFuzzTransport : public TUsbTransport {
public:
    explicit TFuzzTransport(FuzzedDataProvider& input) : FInput(input) {}

    TUsbBackend Kind() const override { return beLibusb; }
    TOpenOutcome Open(uint8_t& epIn, uint8_t& epOut) override;
    void Close() override;
    bool VendorRequest(uint8_t bmRequestType, uint8_t bRequest, uint16_t wValue, uint16_t wIndex,
                       uint8_t* data, uint16_t wLength, uint32_t timeoutMs) override;
    int32_t BulkRead(uint8_t endpoint, uint8_t* buffer, uint32_t length,
                     uint32_t timeoutMs) override;
    int32_t BulkWrite(uint8_t endpoint, const uint8_t* buffer, uint32_t length,
                      uint32_t timeoutMs) override;

    bool IsOpen() const { return FOpen; }
    // A record the link accepted for sending; the writes must follow this order.
    void Queued(const TLinkMsg& msg) { FQueued.push_back(msg); }
    // The messages fetched in full, in order: what the receive ring was given.
    std::deque<std::vector<uint8_t>>& Fetched() { return FFetched; }

private:
    enum class TArmed { None, Info, Fetch };
    // A failure chosen by the input, about one call in `oneIn`.
    bool Fails(int oneIn);

    FuzzedDataProvider& FInput;
    bool FOpen = false;
    uint8_t FEpIn = 0;
    uint8_t FEpOut = 0;
    TArmed FArmed = TArmed::None;
    uint32_t FPollArg = 0;     // the last rqPoll answer, which rqFetch must carry back
    uint32_t FPollCount = 0;
    bool FPolled = false;      // a poll answered Code 35 and no fetch has followed yet
    uint32_t FSendCount = 0;   // announced by the last rqSend
    bool FSendArmed = false;
    std::vector<uint8_t> FFetch; // bytes of the fetch being read
    uint32_t FFetchWant = 0;
    std::deque<std::vector<uint8_t>> FFetched;
    std::deque<TLinkMsg> FQueued;
};
