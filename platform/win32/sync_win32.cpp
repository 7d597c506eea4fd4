// Events and semaphores on Win32 kernel objects, with their state also kept in user memory so
// that a call the kernel need not see never reaches it. Every kernel call costs a round trip to
// the kernel (under wine, to wineserver: some microseconds each, and a hand-off between two
// threads makes a dozen of them), so:
//   - the state (event set, semaphore available) lives in an atomic word; a wait that finds it
//     as it wants returns at once, and on a machine with more than one processor a wait first
//     spins on it, yielding, for up to a millisecond before it sleeps (below: why);
//   - only a thread about to sleep uses the kernel object: it counts itself a sleeper, looks at
//     the state once more, and then waits on the handle. A Set or Release signals the kernel
//     object only when it finds a sleeper. The sleeper counts itself before its last look and
//     the Set publishes the state before it counts sleepers, so one of the two sees the other:
//     no wake-up is lost.
// A Reset clears only the state: the kernel event a Set signalled for a sleeper stays signalled
// until a thread about to sleep on it finds the state clear, and resets it then (Set, Reset and
// that look hold a small lock). So the kernel call of a Reset is made when the thread has nothing
// else to do, not on the busy path of the thread that resets (the copy's writer resets record
// ready just before it takes the record), and not at all when no one sleeps on the event again.
// A sleeper thus never sleeps on a stale signal; a kernel semaphore left at 1 by a wake-up nobody
// needed only makes the next sleeper look again. WaitForMultipleObjects reports the lowest
// index when several handles are signalled, which is the "first wins" rule of WaitAny.
//
// A waiter may close the object as soon as its wait returns, so a wait that has seen the new
// state returns only once no Set or Release is still at work on the object.

#include <windows.h>

#include <atomic>

#include "platform/sync.h"

namespace platform {

namespace {

// The waits of the copy and of the uninstall last as long as the other side takes for one item:
// creating and writing a file, or deleting one, which is 0.1 to 0.5 ms under wine. A sleep there
// costs more than such a wait: the sleeper's wait, the Set that wakes it and the Reset after it
// are each a round trip to wineserver, on the path of both threads. So a wait spins for up to a
// millisecond, and still sleeps after that (a question on the screen, a slow disk).
//
// Each round of the spin offers the processor to any other thread ready to run on it (Sleep(0)):
// a spin that kept it would hold up whatever the other side waits for, under wine wineserver
// itself. Measured on two cores under wine, the copy of a 2,500-file payload (3,900 hand-offs):
//   spin                    quiet machine                beside one busy process
//   4 us, keeping the core  1.24 to 1.43 s, 4,200 sleeps  1.7 to 2.2 s
//   1 ms, keeping the core  0.72 to 0.91 s, 20 sleeps     5.2 to 6.9 s
//   1 ms, yielding          0.74 to 0.78 s, 6 sleeps      1.2 to 1.4 s
// and the uninstall of the same tree on a quiet machine: 1.42 to 1.54 s, 1.17 to 1.42 s and 0.95
// to 0.96 s.
constexpr double kSpinSeconds = 1e-3;

bool MaySpin() {
    static const bool many_processors = [] {
        SYSTEM_INFO info = {};
        GetSystemInfo(&info);
        return info.dwNumberOfProcessors > 1;
    }();
    return many_processors;
}

LONGLONG SpinTicks() {
    static const LONGLONG ticks = [] {
        LARGE_INTEGER frequency = {};
        return QueryPerformanceFrequency(&frequency)
                   ? static_cast<LONGLONG>(static_cast<double>(frequency.QuadPart) * kSpinSeconds)
                   : 0;
    }();
    return ticks;
}

// Spins until `ready` holds; false when it did not within the spin time.
template <typename Ready>
bool SpinUntil(Ready ready) {
    if (ready()) {
        return true;
    }
    if (!MaySpin()) {
        return false;
    }
    LARGE_INTEGER now = {};
    QueryPerformanceCounter(&now);
    const LONGLONG until = now.QuadPart + SpinTicks();
    do {
        if (ready()) {
            return true;
        }
        Sleep(0);
        QueryPerformanceCounter(&now);
    } while (now.QuadPart < until);
    return ready();
}

// What events and semaphores share: the kernel object, the state word, the sleepers, and the
// lock that Set, Reset and Release hold while they change the state and signal the kernel.
struct SyncState {
    HANDLE handle = nullptr;
    std::atomic<LONG> state{0};     // event: 1 set; semaphore: 1 available
    std::atomic<LONG> sleepers{0};  // threads in, or about to enter, a kernel wait on handle
    std::atomic<LONG> busy{0};      // the lock: 1 while a Set, Reset or Release is at work

    void Lock() {
        while (busy.exchange(1) != 0) {
            Sleep(0);
        }
    }
    void Unlock() { busy.store(0); }
    // Waits until no Set, Reset or Release touches the object any more.
    void AwaitIdle() {
        while (busy.load() != 0) {
            Sleep(0);
        }
    }
    bool Holds() const { return state.load() != 0; }
};

struct EventState : SyncState {
    bool kernel_set = false;  // the kernel event is set; changed under the lock
};

// Called by a thread that has counted itself a sleeper, just before it looks at the state for the
// last time: a signal whose Set a Reset has undone since would end the sleep at once.
void ClearStaleSignal(EventState& event) {
    event.Lock();
    if (event.kernel_set && !event.Holds()) {
        ResetEvent(event.handle);
        event.kernel_set = false;
    }
    event.Unlock();
}

EventState* StateOf(void* impl) {
    return static_cast<EventState*>(impl);
}

SyncState* SemaphoreOf(void* impl) {
    return static_cast<SyncState*>(impl);
}

bool TryTake(SyncState& semaphore) {
    return semaphore.state.load(std::memory_order_relaxed) != 0 && semaphore.state.exchange(0) != 0;
}

}  // namespace

Event::Event() : impl_(nullptr) {
    if (SyncObjectCreationFails()) {
        return;
    }
    HANDLE handle = CreateEventA(nullptr, TRUE, FALSE, nullptr);
    if (handle != nullptr) {
        ResetEvent(handle);  // created non-signalled and reset once more before use
        auto* state = new EventState;
        state->handle = handle;
        impl_ = state;
    }
}

Event::~Event() {
    if (EventState* state = StateOf(impl_)) {
        CloseHandle(state->handle);
        delete state;
    }
}

void Event::Set() {
    EventState& event = *StateOf(impl_);
    event.Lock();
    event.state.store(1);
    if (!event.kernel_set && event.sleepers.load() != 0) {
        SetEvent(event.handle);
        event.kernel_set = true;
    }
    event.Unlock();
}

void Event::Reset() {
    EventState& event = *StateOf(impl_);
    event.Lock();
    event.state.store(0);  // the kernel event, if set, is reset by the next sleeper
    event.Unlock();
}

void Event::Wait() {
    EventState& event = *StateOf(impl_);
    if (!SpinUntil([&event] { return event.Holds(); })) {
        event.sleepers.fetch_add(1);
        ClearStaleSignal(event);
        if (!event.Holds()) {
            WaitForSingleObject(event.handle, INFINITE);
        }
        event.sleepers.fetch_sub(1);
    }
    event.AwaitIdle();
}

bool Event::IsSet() {
    return StateOf(impl_)->Holds();
}

int WaitAny(Event& first, Event& second) {
    EventState& a = *StateOf(first.impl_);
    EventState& b = *StateOf(second.impl_);
    if (&a == &b) {
        first.Wait();
        return 0;
    }
    DWORD woke = WAIT_OBJECT_0;
    if (!SpinUntil([&a, &b] { return a.Holds() || b.Holds(); })) {
        a.sleepers.fetch_add(1);
        b.sleepers.fetch_add(1);
        ClearStaleSignal(a);
        ClearStaleSignal(b);
        if (!a.Holds() && !b.Holds()) {
            HANDLE handles[2] = {a.handle, b.handle};
            woke = WaitForMultipleObjects(2, handles, FALSE, INFINITE);
        }
        a.sleepers.fetch_sub(1);
        b.sleepers.fetch_sub(1);
    }
    // The first wins when both are set; a failed wait counts as the first.
    const int which = a.Holds() ? 0 : b.Holds() || woke == WAIT_OBJECT_0 + 1 ? 1 : 0;
    a.AwaitIdle();
    b.AwaitIdle();
    return which;
}

Semaphore::Semaphore(bool available) : impl_(nullptr) {
    if (SyncObjectCreationFails()) {
        return;
    }
    HANDLE handle = CreateSemaphoreA(nullptr, 0, 1, nullptr);  // the count lives in `state`
    if (handle != nullptr) {
        auto* state = new SyncState;
        state->handle = handle;
        state->state.store(available ? 1 : 0);
        impl_ = state;
    }
}

Semaphore::~Semaphore() {
    if (SyncState* state = SemaphoreOf(impl_)) {
        CloseHandle(state->handle);
        delete state;
    }
}

void Semaphore::Acquire() {
    SyncState& semaphore = *SemaphoreOf(impl_);
    if (!SpinUntil([&semaphore] { return TryTake(semaphore); })) {
        semaphore.sleepers.fetch_add(1);
        while (!TryTake(semaphore)) {
            WaitForSingleObject(semaphore.handle, INFINITE);
        }
        semaphore.sleepers.fetch_sub(1);
    }
    semaphore.AwaitIdle();
}

void Semaphore::Release() {
    SyncState& semaphore = *SemaphoreOf(impl_);
    semaphore.Lock();
    semaphore.state.store(1);  // a release of an available semaphore changes nothing
    if (semaphore.sleepers.load() != 0) {
        ReleaseSemaphore(semaphore.handle, 1, nullptr);  // fails harmlessly at the maximum count
    }
    semaphore.Unlock();
}

}  // namespace platform
