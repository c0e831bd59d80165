#pragma once

#include <chrono>
#include <condition_variable>
#include <cstdint>
#include <deque>
#include <mutex>

enum TLinkCommand : int32_t { cmTick = 0, cmOpen = 1, cmSend = 3, cmStop = 4 };

// The link thread's message queue. Bounded like a thread message queue: a post to a full queue
// is refused and the poster retries.
class TCommandQueue {
public:
    static constexpr size_t kCapacity = 10000;

    bool Post(TLinkCommand cmd)
    {
        {
            std::lock_guard lock(FLock);
            if (FItems.size() >= kCapacity)
                return false;
            FItems.push_back(cmd);
            ++FOutstanding;
        }
        FReady.notify_one();
        return true;
    }
    // Blocks until a command is queued or `wake` returns true (then returns false).
    template <class Pred> bool Wait(TLinkCommand& cmd, Pred wake)
    {
        std::unique_lock lock(FLock);
        FReady.wait(lock, [&] { return !FItems.empty() || wake(); });
        if (FItems.empty())
            return false;
        cmd = FItems.front();
        FItems.pop_front();
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
    std::deque<TLinkCommand> FItems;
    int64_t FOutstanding = 0;
};
