#pragma once

// Synchronisation objects shared by the worker threads. Events are manual-reset and start
// non-signalled; a Semaphore is binary (count 0 or 1) and used as a lock. Waits have no time limit.

namespace platform {

class Event {
  public:
    Event();
    ~Event();
    Event(const Event&) = delete;
    Event& operator=(const Event&) = delete;

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

    void Acquire();
    void Release();  // a release of an available semaphore is ignored (maximum count 1)

  private:
    void* impl_;
};

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
