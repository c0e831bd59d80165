#pragma once

#include "link/TLinkMsg.h"

#include <cstring>

// Ten record slots with a write and a read index; it holds at most nine records. The owner
// guards it: TKorvelComm takes its link lock around every use.
class TLinkRing {
public:
    static constexpr int kSlots = 10;

    bool Empty() const { return FRead == FWrite; }
    bool Full() const { return (FWrite + 1) % kSlots == FRead; }
    int Count() const { return (FWrite - FRead + kSlots) % kSlots; }
    int Free() const { return kSlots - 1 - Count(); }

    // Copies a whole record into the slot at the write index; false when full.
    bool Push(const TLinkMsg& msg)
    {
        return PushBytes(reinterpret_cast<const uint8_t*>(&msg), kLinkMsgSize);
    }
    // Stores `count` bytes from the slot's first byte (the rest of the slot is zeroed).
    bool PushBytes(const uint8_t* bytes, int count)
    {
        if (Full())
            return false;
        TLinkMsg& slot = FSlots[FWrite];
        slot = TLinkMsg {};
        std::memcpy(&slot, bytes, count < kLinkMsgSize ? count : kLinkMsgSize);
        FWrite = (FWrite + 1) % kSlots;
        return true;
    }
    // Moves the read index past empty slots; the first record with Len above 0, or nullptr.
    const TLinkMsg* PeekPending()
    {
        while (!Empty()) {
            if (FSlots[FRead].Len > 0)
                return &FSlots[FRead];
            Advance();
        }
        return nullptr;
    }
    // Takes the next record with Len above 0, consuming empty slots on the way.
    bool Pop(TLinkMsg& out)
    {
        const TLinkMsg* head = PeekPending();
        if (!head)
            return false;
        out = *head;
        Advance();
        return true;
    }
    void Advance() { FRead = (FRead + 1) % kSlots; }
    // Empties the records not yet taken without moving an index: the consumer may be holding a
    // copy of the head and advances past it, and skips the rest as empty slots.
    void Withdraw()
    {
        for (int i = FRead; i != FWrite; i = (i + 1) % kSlots)
            FSlots[i].Len = 0;
    }
    void Clear()
    {
        for (TLinkMsg& s : FSlots)
            s.Len = 0;
        FRead = FWrite = 0;
    }

private:
    TLinkMsg FSlots[kSlots] {};
    int FWrite = 0;
    int FRead = 0;
};
