// The link engine against an adapter whose every answer comes from the fuzz input: opens that
// fail, information blocks of any version, poll answers of any Code and Count, fetched records
// of any content, short and failed reads and writes. Records to send are queued between ticks.
// The link runs without its thread, so each input is one deterministic sequence of ticks.
//
// Records whose length byte does not fit are part of the input too: a record to send with Len
// above 64 must be refused, and a received record whose Len claims more bytes than the adapter
// sent must not be delivered.

#include "../support/FuzzCheck.h"
#include "../support/TFuzzTransport.h"

#include "link/TKorvelComm.h"

#include <algorithm>
#include <cstring>
#include <memory>

namespace {

// Ticks before an input is cut off: enough for dozens of reopenings.
constexpr int kMaxTicks = 4000;

// Whether the receive ring hands this fetched message on: a Len of 0 marks an empty record.
bool Delivered(const std::vector<uint8_t>& fetched)
{
    const size_t len = fetched[1];
    return len > 0 && len + 2 <= fetched.size();
}

// The OnLinkData handler: every record delivered is a message the adapter sent, from its
// first byte, in the order it came.
void Drain(TKorvelComm& link, TFuzzTransport& adapter)
{
    auto& fetched = adapter.Fetched();
    TLinkMsg msg;
    while (link.DequeueRx(msg)) {
        while (!fetched.empty() && !Delivered(fetched.front()))
            fetched.pop_front();
        FUZZ_CHECK(!fetched.empty());
        const std::vector<uint8_t>& sent = fetched.front();
        FUZZ_CHECK(std::memcmp(&msg, sent.data(), sent.size()) == 0);
        fetched.pop_front();
    }
}

void Enqueue(TKorvelComm& link, TFuzzTransport& adapter, FuzzedDataProvider& input)
{
    TLinkMsg msg;
    msg.Type = input.ConsumeIntegralInRange<uint8_t>(0, 5);
    msg.Len = input.ConsumeIntegral<uint8_t>();
    const std::vector<uint8_t> data =
        input.ConsumeBytes<uint8_t>(std::min<size_t>(msg.Len, kLinkMsgDataSize));
    std::copy(data.begin(), data.end(), msg.Data);
    const bool queued = link.EnqueueTx(msg);
    if (msg.Len > kLinkMsgDataSize)
        FUZZ_CHECK(!queued);
    if (queued && msg.Len > 0)
        adapter.Queued(msg);
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    FuzzedDataProvider input(data, size);
    auto owned = std::make_unique<TFuzzTransport>(input);
    TFuzzTransport& adapter = *owned;
    TKorvelComm::TTransports transports;
    transports.push_back(std::move(owned));
    TKorvelComm::TOptions options;
    options.autoTick = false;
    options.ownThread = false;
    TKorvelComm link(std::move(transports), options);
    link.OnLinkData = [&] { Drain(link, adapter); };

    for (int tick = 0; tick < kMaxTicks && input.remaining_bytes() > 0; ++tick) {
        if (input.ConsumeIntegralInRange<int>(0, 7) == 0)
            Enqueue(link, adapter, input);
        link.Tick();
        link.WaitIdle();
        // Searching means closed; reading the block or polling means open.
        FUZZ_CHECK((link.Phase() == phSearch) != adapter.IsOpen());
        const TLinkStatus status = link.GetLinkStatus();
        FUZZ_CHECK(status >= lkNoAdapter && status <= lkReceiving);
        // The wait for the next open attempt costs no input: tick up to the attempt itself.
        while (link.Phase() == phSearch && link.OpenWaitTicks() > 1) {
            link.Tick();
            link.WaitIdle();
        }
    }
    return 0;
}
