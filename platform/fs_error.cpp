#include "platform/fs_error.h"

namespace platform {

namespace {
thread_local SystemError t_last_error;
}

SystemError LastSystemError() {
    return t_last_error;
}

void NoteSystemError(uint32_t code, FsError mapped_to) {
    t_last_error = {code, mapped_to};
}

FsError Refusal() {
    NoteSystemError(0, FsError::kAccessDenied);
    return FsError::kAccessDenied;
}

}  // namespace platform
