#include "tools/dompack/temporary_file.h"

#include <limits.h>
#include <pthread.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <csignal>
#include <cstdlib>
#include <cstring>

namespace {

// Ctrl-C, a kill, a closed terminal: each stops dompack, and must not leave its temporary file.
constexpr int kStopSignals[] = {SIGINT, SIGTERM, SIGHUP};
constexpr int kStopSignalCount = sizeof kStopSignals / sizeof kStopSignals[0];

// The one temporary file that exists while the handler is installed (dompack writes one output
// at a time), and what the handler replaced.
char g_pending_path[PATH_MAX];
struct sigaction g_previous[kStopSignalCount];

extern "C" void RemovePendingAndStop(int signal) {
    unlink(g_pending_path);
    raise(signal);  // with the default action again (SA_RESETHAND): stops as it would have
}

sigset_t StopSignalSet() {
    sigset_t set;
    sigemptyset(&set);
    for (int signal : kStopSignals) {
        sigaddset(&set, signal);
    }
    return set;
}

// Has a stop signal remove `path` first; a signal the process ignores stays ignored.
void RemoveOnStopSignals(const std::string& path) {
    std::memcpy(g_pending_path, path.c_str(), path.size() + 1);
    struct sigaction action = {};
    action.sa_handler = RemovePendingAndStop;
    action.sa_flags = SA_RESETHAND;
    sigemptyset(&action.sa_mask);
    for (int i = 0; i < kStopSignalCount; ++i) {
        sigaction(kStopSignals[i], nullptr, &g_previous[i]);
        if (g_previous[i].sa_handler != SIG_IGN) {
            sigaction(kStopSignals[i], &action, nullptr);
        }
    }
}

void RestoreStopSignals() {
    for (int i = 0; i < kStopSignalCount; ++i) {
        sigaction(kStopSignals[i], &g_previous[i], nullptr);
    }
}

}  // namespace

TemporaryFile::~TemporaryFile() {
    if (fd_ >= 0) {
        close(fd_);
    }
    if (!path_.empty()) {
        unlink(path_.c_str());
        RestoreStopSignals();
    }
}

bool TemporaryFile::Create(const std::string& final_path) {
    std::string pattern = final_path + ".tmp-XXXXXX";
    if (pattern.size() >= sizeof g_pending_path) {
        errno = ENAMETOOLONG;
        return false;
    }
    // The stop signals wait until the handler knows the file, so none can come between.
    const sigset_t stop_signals = StopSignalSet();
    sigset_t before;
    pthread_sigmask(SIG_BLOCK, &stop_signals, &before);
    fd_ = mkstemp(pattern.data());
    if (fd_ >= 0) {
        path_ = pattern;
        RemoveOnStopSignals(path_);
    }
    const int saved = errno;
    pthread_sigmask(SIG_SETMASK, &before, nullptr);
    errno = saved;
    if (fd_ < 0) {
        return false;
    }
    // mkstemp makes the file private; give it the mode a new file normally gets.
    mode_t mask = umask(0);
    umask(mask);
    return fchmod(fd_, 0666 & ~mask) == 0;
}

bool TemporaryFile::Commit(const std::string& final_path) {
    int fd = fd_;
    fd_ = -1;
    if (close(fd) != 0 || rename(path_.c_str(), final_path.c_str()) != 0) {
        return false;
    }
    path_.clear();
    RestoreStopSignals();
    return true;
}
