// Processes on POSIX: posix_spawn with the command line split the Windows way (blanks separate
// arguments, double quotes group them and are dropped). Without an application name the program
// is the first argument, looked up on PATH. A process that nobody waited for is reaped in the
// background once its owner goes, so it leaves no zombie behind.

#include <spawn.h>
#include <sys/types.h>
#include <sys/wait.h>

#include <cerrno>
#include <thread>
#include <vector>

#include "platform/process.h"

extern char** environ;

namespace platform {

namespace {

struct ChildState {
    pid_t pid;
    bool reaped;  // waited for; the id may belong to another process by now
};

ChildState& StateOf(void* process) {
    return *static_cast<ChildState*>(process);
}

std::vector<std::string> SplitCommandLine(const std::string& line) {
    std::vector<std::string> arguments;
    std::string current;
    bool in_argument = false;
    bool quoted = false;
    for (char c : line) {
        if (c == '"') {
            quoted = !quoted;
            in_argument = true;
        } else if ((c == ' ' || c == '\t') && !quoted) {
            if (in_argument) {
                arguments.push_back(current);
                current.clear();
                in_argument = false;
            }
        } else {
            current += c;
            in_argument = true;
        }
    }
    if (in_argument) {
        arguments.push_back(current);
    }
    return arguments;
}

bool Spawn(const ProcessStart& start, pid_t* pid) {
    std::vector<std::string> arguments = SplitCommandLine(start.command_line);
    const std::string program = start.application.empty()
                                    ? (arguments.empty() ? std::string() : arguments.front())
                                    : start.application;
    if (program.empty()) {
        return false;
    }
    if (arguments.empty()) {
        arguments.push_back(program);
    }
    std::vector<char*> argv;
    for (std::string& argument : arguments) {
        argv.push_back(argument.data());
    }
    argv.push_back(nullptr);

    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    int error = 0;
    if (!start.current_folder.empty()) {
        error = posix_spawn_file_actions_addchdir_np(&actions, start.current_folder.c_str());
    }
    if (error == 0) {
        error = start.application.empty()
                    ? posix_spawnp(pid, program.c_str(), &actions, nullptr, argv.data(), environ)
                    : posix_spawn(pid, program.c_str(), &actions, nullptr, argv.data(), environ);
    }
    posix_spawn_file_actions_destroy(&actions);
    return error == 0;
}

}  // namespace

Process::~Process() {
    if (process_ == nullptr) {
        return;
    }
    ChildState& child = StateOf(process_);
    if (!child.reaped && waitpid(child.pid, nullptr, WNOHANG) == 0) {
        pid_t pid = child.pid;
        std::thread([pid] { waitpid(pid, nullptr, 0); }).detach();
    }
    delete &child;
}

bool Process::Start(const ProcessStart& start) {
    pid_t pid = 0;
    if (process_ != nullptr || !Spawn(start, &pid)) {
        return false;
    }
    process_ = new ChildState{pid, false};
    id_ = static_cast<uint32_t>(pid);
    return true;
}

uint32_t Process::WaitForInputIdle(uint32_t /*milliseconds*/) {
    return process_ != nullptr ? 0 : 0xFFFFFFFFu;
}

bool Process::WaitForExit() {
    if (process_ == nullptr) {
        return false;
    }
    ChildState& child = StateOf(process_);
    while (!child.reaped) {
        if (waitpid(child.pid, nullptr, 0) == child.pid) {
            child.reaped = true;
        } else if (errno != EINTR) {
            return false;
        }
    }
    return true;
}

}  // namespace platform
