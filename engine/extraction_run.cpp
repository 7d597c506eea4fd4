#include "engine/extraction_run.h"

namespace {

// Control bytes of a hostile name must not reach a terminal as they stand.
std::string Printable(std::string_view name) {
    std::string printable(name);
    for (char& c : printable) {
        if (static_cast<uint8_t>(c) < 0x20 || c == 0x7F) {
            c = '?';
        }
    }
    return printable;
}

}  // namespace

void EntryPath::Enter(std::string_view host_name) {
    starts_.push_back(path_.size());
    path_ += Printable(host_name) + "/";
}

void EntryPath::Leave() {
    if (!starts_.empty()) {
        path_.resize(starts_.back());
        starts_.pop_back();
    }
}

std::string EntryPath::Of(std::string_view host_name) const {
    return path_ + Printable(host_name);
}

const char* DescribeFsError(platform::FsError error) {
    using platform::FsError;
    switch (error) {
        case FsError::kOk:
            return "no error";
        case FsError::kPathNotFound:
            return "path not found";
        case FsError::kAccessDenied:
            return "access denied";
        case FsError::kHandleDiskFull:
        case FsError::kDiskFull:
            return "disk full";
        case FsError::kNoSpoolSpace:
            return "directory full";
        case FsError::kDirNotEmpty:
            return "folder not empty";
        case FsError::kAlreadyExists:
            return "already exists";
        case FsError::kOther:
            break;
    }
    return "I/O error";
}

std::string DescribeFsFailure(platform::FsError error) {
    const platform::SystemError last = platform::LastSystemError();
    if (last.code != 0 && last.mapped_to == error) {
        std::string words = platform::SystemErrorText(last.code);
        if (!words.empty()) {
            return words;
        }
    }
    return DescribeFsError(error);
}
