// Events and semaphores as Win32 kernel objects. WaitForMultipleObjects reports the lowest index
// when several handles are signalled, which is the "first wins" rule of WaitAny.

#include <windows.h>

#include "platform/sync.h"

namespace platform {

namespace {

HANDLE HandleOf(void* impl) {
    return static_cast<HANDLE>(impl);
}

}  // namespace

Event::Event()
    : impl_(SyncObjectCreationFails() ? nullptr : CreateEventA(nullptr, TRUE, FALSE, nullptr)) {
    if (impl_ != nullptr) {
        ResetEvent(HandleOf(impl_));  // created non-signalled and reset once more before use
    }
}

Event::~Event() {
    if (impl_ != nullptr) {
        CloseHandle(HandleOf(impl_));
    }
}

void Event::Set() {
    SetEvent(HandleOf(impl_));
}

void Event::Reset() {
    ResetEvent(HandleOf(impl_));
}

void Event::Wait() {
    WaitForSingleObject(HandleOf(impl_), INFINITE);
}

bool Event::IsSet() {
    return WaitForSingleObject(HandleOf(impl_), 0) == WAIT_OBJECT_0;
}

int WaitAny(Event& first, Event& second) {
    HANDLE handles[2] = {HandleOf(first.impl_), HandleOf(second.impl_)};
    if (handles[0] == handles[1]) {
        // The same object twice is refused by WaitForMultipleObjects; it is a single wait.
        WaitForSingleObject(handles[0], INFINITE);
        return 0;
    }
    DWORD result = WaitForMultipleObjects(2, handles, FALSE, INFINITE);
    return result == WAIT_OBJECT_0 + 1 ? 1 : 0;  // a failed wait counts as the first
}

Semaphore::Semaphore(bool available)
    : impl_(SyncObjectCreationFails() ? nullptr
                                      : CreateSemaphoreA(nullptr, available ? 1 : 0, 1, nullptr)) {}

Semaphore::~Semaphore() {
    if (impl_ != nullptr) {
        CloseHandle(HandleOf(impl_));
    }
}

void Semaphore::Acquire() {
    WaitForSingleObject(HandleOf(impl_), INFINITE);
}

void Semaphore::Release() {
    ReleaseSemaphore(HandleOf(impl_), 1, nullptr);  // fails harmlessly at the maximum count
}

}  // namespace platform
