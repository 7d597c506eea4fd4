// Events and semaphores on POSIX threads. The state of every event and semaphore is guarded by
// one process-wide mutex, so a wait for either of two events checks both under one lock and
// cannot miss a Set that happens between its two checks; a Set wakes its own waiters and every
// WaitAny in the process, which re-check their pair. The installer has a handful of threads, so
// the broad wake-up costs nothing worth a finer scheme.
//
// On a machine with more than one processor a wait first spins for a few microseconds on the
// atomic state before it sleeps. The copy's reader and writer hand each chunk over with a
// set-and-wait round trip; on two busy cores the other side usually answers within that time,
// and a sleep and a wake-up on every hand-off cost more than the work handed over. On one
// processor the other side cannot answer while this one spins, so nothing spins there.
//
// A waiter may destroy the object as soon as its wait returns (as a Win32 handle may be closed
// right after its wait), and a spinning waiter returns without the lock. So Set and Release
// notify first and publish the new state last: once a spinner can see it, they touch nothing of
// the object any more, only the process-wide mutex, which lives for ever.

#include <atomic>
#include <condition_variable>
#include <mutex>
#include <thread>

#include "platform/sync.h"

namespace platform {

namespace {

constexpr int kSpinRounds = 10000;  // some tens of microseconds, by the processor

inline void CpuRelax() {
#if defined(__x86_64__) || defined(__i386__)
    __builtin_ia32_pause();
#elif defined(__aarch64__)
    asm volatile("yield");
#endif
}

int SpinRounds() {
    static const int rounds = std::thread::hardware_concurrency() > 1 ? kSpinRounds : 0;
    return rounds;
}

// Spins until `ready` holds; false when it did not within the spin rounds.
template <typename Ready>
bool SpinUntil(Ready ready) {
    const int rounds = SpinRounds();
    for (int round = 0; round < rounds; ++round) {
        if (ready()) {
            return true;
        }
        CpuRelax();
    }
    return false;
}

// Never destroyed: a detached worker may still be waiting while the program exits.
struct SyncGuard {
    std::mutex mutex;                 // guards the state of every event and semaphore
    std::condition_variable any_set;  // woken by every Set; WaitAny callers wait on it
};

SyncGuard& Guard() {
    static SyncGuard* guard = new SyncGuard;
    return *guard;
}

struct EventState {
    std::atomic<bool> is_set{false};  // changed under the guard; read without it while spinning
    std::condition_variable changed;  // Wait() callers of this event
};

EventState& StateOf(void* impl) {
    return *static_cast<EventState*>(impl);
}

struct SemaphoreState {
    std::atomic<bool> available;  // the count, 0 or 1; given under the guard, taken by exchange
    std::condition_variable released;  // Acquire() callers
};

SemaphoreState& StateOfSemaphore(void* impl) {
    return *static_cast<SemaphoreState*>(impl);
}

bool TryTake(SemaphoreState& state) {
    return state.available.load(std::memory_order_relaxed) &&
           state.available.exchange(false, std::memory_order_acquire);
}

}  // namespace

Event::Event() : impl_(SyncObjectCreationFails() ? nullptr : new EventState) {}

Event::~Event() {
    delete static_cast<EventState*>(impl_);
}

void Event::Set() {
    EventState& state = StateOf(impl_);
    std::lock_guard<std::mutex> lock(Guard().mutex);
    // Sleepers wake only once the lock is free, and see the state published by then.
    state.changed.notify_all();
    Guard().any_set.notify_all();
    state.is_set.store(true, std::memory_order_release);
}

void Event::Reset() {
    std::lock_guard<std::mutex> lock(Guard().mutex);
    StateOf(impl_).is_set.store(false, std::memory_order_release);
}

void Event::Wait() {
    EventState& state = StateOf(impl_);
    const auto is_set = [&state] { return state.is_set.load(std::memory_order_acquire); };
    if (SpinUntil(is_set)) {
        return;
    }
    std::unique_lock<std::mutex> lock(Guard().mutex);
    state.changed.wait(lock, is_set);
}

bool Event::IsSet() {
    return StateOf(impl_).is_set.load(std::memory_order_acquire);
}

int WaitAny(Event& first, Event& second) {
    EventState& a = StateOf(first.impl_);
    EventState& b = StateOf(second.impl_);
    const auto either = [&a, &b] {
        return a.is_set.load(std::memory_order_acquire) || b.is_set.load(std::memory_order_acquire);
    };
    if (!SpinUntil(either)) {
        std::unique_lock<std::mutex> lock(Guard().mutex);
        Guard().any_set.wait(lock, either);
    }
    return a.is_set.load(std::memory_order_acquire) ? 0 : 1;
}

Semaphore::Semaphore(bool available)
    : impl_(SyncObjectCreationFails() ? nullptr : new SemaphoreState{{available}, {}}) {}

Semaphore::~Semaphore() {
    delete static_cast<SemaphoreState*>(impl_);
}

void Semaphore::Acquire() {
    SemaphoreState& state = StateOfSemaphore(impl_);
    if (SpinUntil([&state] { return TryTake(state); })) {
        return;
    }
    std::unique_lock<std::mutex> lock(Guard().mutex);
    state.released.wait(lock, [&state] { return TryTake(state); });
}

void Semaphore::Release() {
    SemaphoreState& state = StateOfSemaphore(impl_);
    std::lock_guard<std::mutex> lock(Guard().mutex);
    state.released.notify_one();
    state.available.store(true, std::memory_order_release);
}

}  // namespace platform
