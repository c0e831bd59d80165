#include "sim/TSimAdapter.h"

#include "sim/TSimSerialPeer.h"

#include <algorithm>
#include <cstring>

namespace {
constexpr uint8_t kInfoFiller = 0xA5; // the 16 uninterpreted bytes after Version
}

TSimAdapter::TSimAdapter() = default;

int TSimAdapter::ControlTransfer(uint8_t bmRequestType, uint8_t bRequest, uint16_t /*wValue*/,
                                 uint16_t /*wIndex*/, uint8_t* data, uint16_t wLength)
{
    if ((bmRequestType & 0x60) != 0x40 || wLength < kAdapterCmdSize || !data)
        return -1;
    std::lock_guard lock(FLock);
    const TAdapterCmd cmd = TAdapterCmd::FromBytes(data);
    const bool in = bmRequestType & 0x80;
    switch (bRequest) {
    case rqInfo: {
        ++FCounters.info;
        if (FFaults & fFailInfo)
            return -1;
        FArmedIn.assign(kAdapterInfoSize, kInfoFiller);
        WriteU32Le(FArmedIn.data(), FVersion);
        FArmedInPos = 0;
        return wLength;
    }
    case rqRelease:
        ++FCounters.release;
        return (FFaults & fFailRelease) ? -1 : wLength;
    case rqPoll: {
        ++FCounters.poll;
        if ((FFaults & fFailPoll) || !in)
            return -1;
        TAdapterCmd answer { 0, 0, 0 };
        if (!FToPc.empty()) {
            answer.Code = rqPoll;
            answer.Arg = ++FPollArg;
            answer.Count = uint32_t(FToPc.front().size());
            if (FPollCountOverride >= 0)
                answer.Count = uint32_t(FPollCountOverride);
        }
        answer.ToBytes(data);
        return wLength;
    }
    case rqFetch: {
        ++FCounters.fetch;
        if ((FFaults & fFailFetch) || FToPc.empty())
            return -1;
        FArmedIn = std::move(FToPc.front());
        FToPc.pop_front();
        FArmedInPos = 0;
        if (cmd.Count < FArmedIn.size())
            FArmedIn.resize(cmd.Count);
        return wLength;
    }
    case rqTxReady: {
        ++FCounters.txReady;
        if ((FFaults & fFailTxReady) || !in)
            return -1;
        TAdapterCmd answer { (FFaults & fTxBusy) ? 1u : 0u, 0, 0 };
        answer.ToBytes(data);
        return wLength;
    }
    case rqSend:
        ++FCounters.send;
        if (FFaults & fFailSend)
            return -1;
        FExpectOut = cmd.Count;
        return wLength;
    default:
        return -1;
    }
}

int TSimAdapter::BulkIn(uint8_t* buffer, uint32_t length)
{
    std::lock_guard lock(FLock);
    ++FCounters.bulkIn;
    if (FArmedInPos >= FArmedIn.size())
        return 0;
    size_t n = std::min<size_t>(length, FArmedIn.size() - FArmedInPos);
    if ((FFaults & fPartialRead) && FArmedInPos == 0 && n > 1) {
        // Half the message arrives and the rest never does: the next read runs into its
        // time-out.
        n /= 2;
        std::memcpy(buffer, FArmedIn.data(), n);
        FArmedIn.clear();
        FArmedInPos = 0;
        return int(n);
    }
    std::memcpy(buffer, FArmedIn.data() + FArmedInPos, n);
    FArmedInPos += n;
    return int(n);
}

int TSimAdapter::BulkOut(const uint8_t* buffer, uint32_t length)
{
    TSimSerialPeer* peer;
    std::vector<uint8_t> serial;
    {
        std::lock_guard lock(FLock);
        ++FCounters.bulkOut;
        if ((FFaults & fFailBulkWrite) || length != FExpectOut || length < 2)
            return -1;
        FExpectOut = 0;
        FSent.emplace_back(buffer, buffer + length);
        peer = FPeer;
        const uint8_t type = buffer[0];
        const size_t len = std::min<size_t>(buffer[1], length - 2);
        if (type == 3)
            serial.assign(buffer + 2, buffer + 2 + len);
    }
    if (peer && !serial.empty())
        peer->OnSerialFromPc(serial.data(), serial.size());
    return int(length);
}

void TSimAdapter::AttachPeer(TSimSerialPeer* peer)
{
    std::lock_guard lock(FLock);
    FPeer = peer;
}

void TSimAdapter::FeedSerial(const uint8_t* bytes, size_t count)
{
    std::lock_guard lock(FLock);
    while (count > 0) {
        const size_t n = std::min<size_t>(count, 64);
        std::vector<uint8_t> msg(2 + n);
        msg[0] = 3;
        msg[1] = uint8_t(n);
        std::memcpy(msg.data() + 2, bytes, n);
        FToPc.push_back(std::move(msg));
        bytes += n;
        count -= n;
    }
}

void TSimAdapter::QueueMessage(const uint8_t* bytes, size_t count)
{
    std::lock_guard lock(FLock);
    FToPc.emplace_back(bytes, bytes + std::min<size_t>(count, 66));
}

void TSimAdapter::SetVersion(uint32_t version)
{
    std::lock_guard lock(FLock);
    FVersion = version;
}

void TSimAdapter::SetFaults(uint32_t faults)
{
    std::lock_guard lock(FLock);
    FFaults = faults;
}

uint32_t TSimAdapter::Faults() const
{
    std::lock_guard lock(FLock);
    return FFaults;
}

void TSimAdapter::SetPollCountOverride(int32_t count)
{
    std::lock_guard lock(FLock);
    FPollCountOverride = count;
}

void TSimAdapter::Reset()
{
    std::lock_guard lock(FLock);
    FToPc.clear();
    FArmedIn.clear();
    FArmedInPos = 0;
    FExpectOut = 0;
}

TSimAdapter::TCounters TSimAdapter::Counters() const
{
    std::lock_guard lock(FLock);
    return FCounters;
}

std::vector<std::vector<uint8_t>> TSimAdapter::SentRecords() const
{
    std::lock_guard lock(FLock);
    return FSent;
}

size_t TSimAdapter::PendingMessages() const
{
    std::lock_guard lock(FLock);
    return FToPc.size();
}
