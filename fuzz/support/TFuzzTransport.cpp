#include "TFuzzTransport.h"

#include "FuzzCheck.h"

#include "link/TAdapterProtocol.h"

#include <algorithm>
#include <cstring>

namespace {

constexpr uint8_t kFoundEpIn = 0x81;
constexpr uint8_t kFoundEpOut = 0x01;

// How many bytes a record of this type puts on the wire; 0 for types that stay in the PC.
uint32_t WireSize(const TLinkMsg& msg)
{
    switch (msg.Type) {
    case 0: case 1: case 3: return uint32_t(msg.Len) + 2;
    case 2: return 16;
    default: return 0;
    }
}

} // namespace

bool TFuzzTransport::Fails(int oneIn)
{
    return FInput.ConsumeIntegralInRange<int>(0, oneIn - 1) == 0 && FInput.remaining_bytes() > 0;
}

TOpenOutcome TFuzzTransport::Open(uint8_t& epIn, uint8_t& epOut)
{
    FUZZ_CHECK(!FOpen);
    switch (FInput.ConsumeIntegralInRange<int>(0, 7)) {
    case 6: return TOpenOutcome::NotFound;
    case 7: FOpen = true; return TOpenOutcome::SetupFailed;
    case 5: break; // no endpoint found in the descriptors: the caller's stay
    default:
        epIn = kFoundEpIn;
        epOut = kFoundEpOut;
        break;
    }
    FOpen = true;
    FEpIn = epIn;
    FEpOut = epOut;
    FArmed = TArmed::None;
    FPolled = false;
    FSendArmed = false;
    return TOpenOutcome::Opened;
}

void TFuzzTransport::Close()
{
    FOpen = false;
}

bool TFuzzTransport::VendorRequest(uint8_t bmRequestType, uint8_t bRequest, uint16_t wValue,
                                   uint16_t wIndex, uint8_t* data, uint16_t wLength, uint32_t)
{
    FUZZ_CHECK(FOpen);
    FUZZ_CHECK(wValue == 0 && wIndex == 0 && wLength == kAdapterCmdSize);
    const TAdapterCmd block = TAdapterCmd::FromBytes(data);
    FUZZ_CHECK(block.Code == bRequest);
    const bool in = bmRequestType == kRequestTypeIn;
    FUZZ_CHECK(in || bmRequestType == kRequestTypeOut);
    FArmed = TArmed::None;
    if (Fails(24))
        return false;

    TAdapterCmd answer;
    switch (bRequest) {
    case rqInfo:
        FUZZ_CHECK(!in && block.Arg == 0 && block.Count == 0);
        FArmed = TArmed::Info;
        return true;
    case rqRelease:
        FUZZ_CHECK(!in);
        return true;
    case rqPoll:
        FUZZ_CHECK(in);
        answer.Code = FInput.ConsumeBool() ? uint32_t(rqPoll) : FInput.ConsumeIntegral<uint32_t>();
        answer.Arg = FInput.ConsumeIntegral<uint32_t>();
        answer.Count = FInput.ConsumeIntegral<uint16_t>();
        answer.ToBytes(data);
        FPolled = answer.Code == rqPoll;
        FPollArg = answer.Arg;
        FPollCount = answer.Count;
        return true;
    case rqFetch:
        // The fetch is the poll answer sent back with its Code changed.
        FUZZ_CHECK(!in && FPolled && block.Arg == FPollArg && block.Count == FPollCount);
        FUZZ_CHECK(block.Count <= uint32_t(kLinkMsgSize));
        FPolled = false;
        FArmed = TArmed::Fetch;
        FFetch.clear();
        FFetchWant = block.Count;
        return true;
    case rqTxReady:
        FUZZ_CHECK(in);
        answer.Code = FInput.ConsumeIntegralInRange<int>(0, 3) == 0 ? 1 : 0;
        answer.ToBytes(data);
        return true;
    case rqSend:
        FUZZ_CHECK(!in && block.Count > 0 && block.Count <= uint32_t(kLinkMsgSize));
        FSendCount = block.Count;
        FSendArmed = true;
        return true;
    default:
        FUZZ_CHECK(false && "a request the adapter does not know");
        return false;
    }
}

int32_t TFuzzTransport::BulkRead(uint8_t endpoint, uint8_t* buffer, uint32_t length, uint32_t)
{
    FUZZ_CHECK(FOpen && endpoint == FEpIn && length > 0);
    const TArmed armed = FArmed;
    FUZZ_CHECK(armed != TArmed::None); // bulk IN follows rqInfo or rqFetch only
    if (Fails(32))
        return -1;
    if (Fails(64))
        return 0;
    // Mostly whole reads; now and then a short one.
    uint32_t n = length;
    if (FInput.ConsumeIntegralInRange<int>(0, 3) == 0)
        n = FInput.ConsumeIntegralInRange<uint32_t>(1, length);
    const std::vector<uint8_t> bytes = FInput.ConsumeBytes<uint8_t>(n);
    std::memset(buffer, 0, n);
    if (!bytes.empty())
        std::memcpy(buffer, bytes.data(), bytes.size());

    if (armed == TArmed::Fetch) {
        FUZZ_CHECK(FFetch.size() + n <= FFetchWant);
        FFetch.insert(FFetch.end(), buffer, buffer + n);
        if (FFetch.size() == FFetchWant) {
            FFetched.push_back(FFetch);
            FArmed = TArmed::None;
        }
    }
    return int32_t(n);
}

int32_t TFuzzTransport::BulkWrite(uint8_t endpoint, const uint8_t* buffer, uint32_t length,
                                  uint32_t)
{
    FUZZ_CHECK(FOpen && endpoint == FEpOut && FSendArmed && length == FSendCount);
    FSendArmed = false;
    // Records of types the adapter does not take leave the ring without any traffic.
    while (!FQueued.empty() && WireSize(FQueued.front()) == 0)
        FQueued.pop_front();
    FUZZ_CHECK(!FQueued.empty());
    const TLinkMsg& head = FQueued.front();
    FUZZ_CHECK(length == WireSize(head));
    FUZZ_CHECK(std::memcmp(buffer, &head, length) == 0);
    if (Fails(16))
        return -1;
    if (Fails(32))
        return int32_t(FInput.ConsumeIntegralInRange<uint32_t>(0, length - 1));
    FQueued.pop_front();
    return int32_t(length);
}
