// Events and semaphores on POSIX threads. Every event's state is guarded by one process-wide
// mutex, so a wait for either of two events checks both under one lock and cannot miss a Set that
// happens between its two checks; a Set wakes its own waiters and every WaitAny in the process,
// which re-check their pair. The installer has a handful of threads, so the broad wake-up costs
// nothing worth a finer scheme.
//
// On a machine with more than one processor a wait first spins for a few microseconds on a
// lock-free copy of the states before it sleeps. The copy's reader and writer hand each chunk
// over with a set-and-wait round trip; on two busy cores the other side usually answers within
// that time, and a sleep and a wake-up on every hand-off cost more than the work handed over. On
// one processor the other side cannot answer while this one spins, so nothing spins there. A wait
// that spun to success still takes the lock once before it returns: the Set or Release it saw may
// not have finished notifying, and the waiter may destroy the object as soon as it returns (as a
// Win32 handle may be closed right after its wait).

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
struct EventGuard {
    std::mutex mutex;                 // guards the state of every event
    std::condition_variable any_set;  // woken by every Set; WaitAny callers wait on it
};

EventGuard& Guard() {
    static EventGuard* guard = new EventGuard;
    return *guard;
}

std::mutex& EventMutex() {
    return Guard().mutex;
}

std::condition_variable& AnyEventSet() {
    return Guard().any_set;
}

struct EventState {
    std::atomic<bool> is_set{false};  // written under EventMutex(); read without it while spinning
    std::condition_variable changed;  // Wait() callers of this event
};

EventState& StateOf(void* impl) {
    return *static_cast<EventState*>(impl);
}

struct SemaphoreState {
    std::mutex mutex;
    std::condition_variable released;
    std::atomic<bool> available;  // the count, 0 or 1; taken by exchange, given under the mutex
};

SemaphoreState& StateOfSemaphore(void* impl) {
    return *static_cast<SemaphoreState*>(impl);
}

bool TryTake(SemaphoreState& state) {
    return state.available.load(std::memory_order_relaxed) &&
           state.available.exchange(false, std::memory_order_acquire);
}

}  // namespace

Event::Event() : impl_(new EventState) {}

Event::~Event() {
    delete &StateOf(impl_);
}

void Event::Set() {
    std::lock_guard<std::mutex> lock(EventMutex());
    StateOf(impl_).is_set.store(true, std::memory_order_release);
    StateOf(impl_).changed.notify_all();
    AnyEventSet().notify_all();
}

void Event::Reset() {
    std::lock_guard<std::mutex> lock(EventMutex());
    StateOf(impl_).is_set.store(false, std::memory_order_release);
}

void Event::Wait() {
    EventState& state = StateOf(impl_);
    const auto is_set = [&state] { return state.is_set.load(std::memory_order_acquire); };
    const bool spun = SpinUntil(is_set);
    std::unique_lock<std::mutex> lock(EventMutex());
    if (!spun) {
        state.changed.wait(lock, is_set);
    }
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
    const bool spun = SpinUntil(either);
    std::unique_lock<std::mutex> lock(EventMutex());
    if (!spun) {
        AnyEventSet().wait(lock, either);
    }
    return a.is_set.load(std::memory_order_acquire) ? 0 : 1;
}

Semaphore::Semaphore(bool available) : impl_(new SemaphoreState{{}, {}, {available}}) {}

Semaphore::~Semaphore() {
    delete &StateOfSemaphore(impl_);
}

void Semaphore::Acquire() {
    SemaphoreState& state = StateOfSemaphore(impl_);
    const bool spun = SpinUntil([&state] { return TryTake(state); });
    std::unique_lock<std::mutex> lock(state.mutex);
    if (!spun) {
        state.released.wait(lock, [&state] { return TryTake(state); });
    }
}

void Semaphore::Release() {
    SemaphoreState& state = StateOfSemaphore(impl_);
    std::lock_guard<std::mutex> lock(state.mutex);
    state.available.store(true, std::memory_order_release);
    state.released.notify_one();
}

}  // namespace platform
