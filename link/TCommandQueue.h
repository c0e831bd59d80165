#pragma once

#include <chrono>
#include <condition_variable>
#include <cstdint>
#include <mutex>
#include <vector>

enum TLinkCommand : int32_t { cmTick = 0, cmOpen = 1, cmSend = 3, cmStop = 4 };

// The link thread's message queue. Bounded like a thread message queue: a post to a full queue
// is refused and the poster retries. Its slots are made once, so a post never allocates.
class TCommandQueue {
public:
    static constexpr size_t kCapacity = 10000;

    bool Post(TLinkCommand cmd)
    {
        {
            std::lock_guard lock(FLock);
            if (FCount == kCapacity)
                return false;
            FItems[(FHead + FCount) % kCapacity] = cmd;
            ++FCount;
            ++FOutstanding;
        }
        FReady.notify_one();
        return true;
    }
    // Blocks until a command is queued or `wake` returns true (then returns false).
    template <class Pred> bool Wait(TLinkCommand& cmd, Pred wake)
    {
        std::unique_lock lock(FLock);
        FReady.wait(lock, [&] { return FCount != 0 || wake(); });
        if (FCount == 0)
            return false;
        cmd = FItems[FHead];
        FHead = (FHead + 1) % kCapacity;
        --FCount;
        return true;
    }
    // The command taken by Wait has been handled.
    void Done()
    {
        std::lock_guard lock(FLock);
        --FOutstanding;
    }
    bool Idle() const
    {
        std::lock_guard lock(FLock);
        return FOutstanding == 0;
    }
    // Wakes a Wait whose `wake` condition has become true. The lock orders this with the
    // waiter's look at the condition, so the wake-up cannot fall between the look and the wait.
    void Wake()
    {
        {
            std::lock_guard lock(FLock);
        }
        FReady.notify_all();
    }

private:
    mutable std::mutex FLock;
    std::condition_variable FReady;
    std::vector<TLinkCommand> FItems = std::vector<TLinkCommand>(kCapacity);
    size_t FHead = 0;  // the oldest command
    size_t FCount = 0; // commands waiting
    int64_t FOutstanding = 0;
};
