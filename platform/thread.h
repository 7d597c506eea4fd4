#pragma once

namespace platform {

// A thread at normal priority with the default stack. A thread that is neither joined nor
// detached when its owner goes is detached then: worker threads of the installer end on their own.
class Thread {
  public:
    using Proc = void (*)(void* arg);

    Thread() = default;
    ~Thread();
    Thread(const Thread&) = delete;
    Thread& operator=(const Thread&) = delete;

    bool Start(Proc proc, void* arg);
    void Join();
    void Detach();
    bool IsStarted() const { return impl_ != nullptr; }

  private:
    void* impl_ = nullptr;
};

}  // namespace platform
