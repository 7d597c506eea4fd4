#pragma once

// Synchronisation objects shared by the worker threads. Events are manual-reset and start
// non-signalled; a Semaphore is binary (count 0 or 1) and used as a lock. Waits have no time limit.
//
// Making one can fail (the system may run out of handles): an object that was not made is not
// Valid, and must not be used at all; whoever made it refuses to start the work it was for.

namespace platform {

class Event {
  public:
    Event();
    ~Event();
    Event(const Event&) = delete;
    Event& operator=(const Event&) = delete;

    bool Valid() const { return impl_ != nullptr; }
    void Set();
    void Reset();
    void Wait();
    bool IsSet();

  private:
    friend int WaitAny(Event& first, Event& second);
    void* impl_;  // HANDLE, or the POSIX back end's state
};

// Blocks until either event is set and returns 0 for `first`, 1 for `second`; when both are set the
// first wins. A failed wait reports 0.
int WaitAny(Event& first, Event& second);

class Semaphore {
  public:
    explicit Semaphore(bool available = true);
    ~Semaphore();
    Semaphore(const Semaphore&) = delete;
    Semaphore& operator=(const Semaphore&) = delete;

    bool Valid() const { return impl_ != nullptr; }
    void Acquire();
    void Release();  // a release of an available semaphore is ignored (maximum count 1)

  private:
    void* impl_;
};

// A seam for tests: the `n`th event or semaphore made from now on (1: the next one) is not made,
// as when the system refuses; 0 makes every one again.
void FailSyncObjectCreation(int n);
// For the back ends: true when the object being made now is the one to fail.
bool SyncObjectCreationFails();

// Holds a Semaphore for a scope.
class SemaphoreLock {
  public:
    explicit SemaphoreLock(Semaphore& s) : s_(s) { s_.Acquire(); }
    ~SemaphoreLock() { s_.Release(); }
    SemaphoreLock(const SemaphoreLock&) = delete;
    SemaphoreLock& operator=(const SemaphoreLock&) = delete;

  private:
    Semaphore& s_;
};

}  // namespace platform
