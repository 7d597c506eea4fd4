// Threads through CreateThread at normal priority with the default stack. The Thread object owns
// the handle: Join waits and closes it, Detach (and the destructor) only closes it.

#include <windows.h>

#include "platform/thread.h"

namespace platform {

namespace {

// Handed to the new thread, which frees it: the thread may outlive its Thread object.
struct StartInfo {
    Thread::Proc proc;
    void* arg;
};

DWORD WINAPI Run(LPVOID start) {
    StartInfo info = *static_cast<StartInfo*>(start);
    delete static_cast<StartInfo*>(start);
    info.proc(info.arg);
    return 0;
}

}  // namespace

Thread::~Thread() {
    Detach();
}

bool Thread::Start(Proc proc, void* arg) {
    if (IsStarted()) {
        return false;
    }
    auto* start = new StartInfo{proc, arg};
    DWORD id = 0;
    HANDLE handle = CreateThread(nullptr, 0, Run, start, 0, &id);
    if (handle == nullptr) {
        delete start;
        return false;
    }
    impl_ = handle;
    return true;
}

void Thread::Join() {
    if (!IsStarted()) {
        return;
    }
    WaitForSingleObject(static_cast<HANDLE>(impl_), INFINITE);
    CloseHandle(static_cast<HANDLE>(impl_));
    impl_ = nullptr;
}

void Thread::Detach() {
    if (!IsStarted()) {
        return;
    }
    CloseHandle(static_cast<HANDLE>(impl_));
    impl_ = nullptr;
}

}  // namespace platform
