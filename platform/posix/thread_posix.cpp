// Threads on POSIX: pthreads at the default priority and stack size.

#include <pthread.h>

#include "platform/thread.h"

namespace platform {

namespace {

// Handed to the new thread, which frees it: the thread may outlive its Thread object.
struct StartInfo {
    Thread::Proc proc;
    void* arg;
};

void* Run(void* start) {
    StartInfo info = *static_cast<StartInfo*>(start);
    delete static_cast<StartInfo*>(start);
    info.proc(info.arg);
    return nullptr;
}

pthread_t& IdOf(void* impl) {
    return *static_cast<pthread_t*>(impl);
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
    auto* id = new pthread_t;
    if (pthread_create(id, nullptr, Run, start) != 0) {
        delete start;
        delete id;
        return false;
    }
    impl_ = id;
    return true;
}

void Thread::Join() {
    if (!IsStarted()) {
        return;
    }
    pthread_join(IdOf(impl_), nullptr);
    delete &IdOf(impl_);
    impl_ = nullptr;
}

void Thread::Detach() {
    if (!IsStarted()) {
        return;
    }
    pthread_detach(IdOf(impl_));
    delete &IdOf(impl_);
    impl_ = nullptr;
}

}  // namespace platform
