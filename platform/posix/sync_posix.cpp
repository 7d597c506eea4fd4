// Events and semaphores on POSIX threads. Every event's state is guarded by one process-wide
// mutex, so a wait for either of two events checks both under one lock and cannot miss a Set that
// happens between its two checks; a Set wakes its own waiters and every WaitAny in the process,
// which re-check their pair. The installer has a handful of threads, so the broad wake-up costs
// nothing worth a finer scheme.

#include <condition_variable>
#include <mutex>

#include "platform/sync.h"

namespace platform {

namespace {

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
    bool is_set = false;              // guarded by EventMutex()
    std::condition_variable changed;  // Wait() callers of this event
};

EventState& StateOf(void* impl) {
    return *static_cast<EventState*>(impl);
}

struct SemaphoreState {
    std::mutex mutex;
    std::condition_variable released;
    bool available;  // the count, 0 or 1
};

SemaphoreState& StateOfSemaphore(void* impl) {
    return *static_cast<SemaphoreState*>(impl);
}

}  // namespace

Event::Event() : impl_(new EventState) {}

Event::~Event() {
    delete &StateOf(impl_);
}

void Event::Set() {
    std::lock_guard<std::mutex> lock(EventMutex());
    StateOf(impl_).is_set = true;
    StateOf(impl_).changed.notify_all();
    AnyEventSet().notify_all();
}

void Event::Reset() {
    std::lock_guard<std::mutex> lock(EventMutex());
    StateOf(impl_).is_set = false;
}

void Event::Wait() {
    std::unique_lock<std::mutex> lock(EventMutex());
    EventState& state = StateOf(impl_);
    state.changed.wait(lock, [&state] { return state.is_set; });
}

bool Event::IsSet() {
    std::lock_guard<std::mutex> lock(EventMutex());
    return StateOf(impl_).is_set;
}

int WaitAny(Event& first, Event& second) {
    std::unique_lock<std::mutex> lock(EventMutex());
    EventState& a = StateOf(first.impl_);
    EventState& b = StateOf(second.impl_);
    AnyEventSet().wait(lock, [&a, &b] { return a.is_set || b.is_set; });
    return a.is_set ? 0 : 1;
}

Semaphore::Semaphore(bool available) : impl_(new SemaphoreState{{}, {}, available}) {}

Semaphore::~Semaphore() {
    delete &StateOfSemaphore(impl_);
}

void Semaphore::Acquire() {
    SemaphoreState& state = StateOfSemaphore(impl_);
    std::unique_lock<std::mutex> lock(state.mutex);
    state.released.wait(lock, [&state] { return state.available; });
    state.available = false;
}

void Semaphore::Release() {
    SemaphoreState& state = StateOfSemaphore(impl_);
    std::lock_guard<std::mutex> lock(state.mutex);
    state.available = true;
    state.released.notify_one();
}

}  // namespace platform
