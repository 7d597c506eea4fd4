// dompack setup: a game folder to a ready Setup.exe, with no compiler. The payload-free installer
// (the stub) is copied as it is and the pack written after it, as the data of a new last section
// that the stub's placeholder PACK 131 is pointed at; then the headers are set (section count,
// image size, checksum). The pack holds the stub itself as the game's top-level Setup.exe, which
// the uninstall entry and the Start-menu shortcut start. As for `dompack build`, the tree is
// scanned before a byte is written, and the program file appears under its name whole or not at
// all.

#include <fcntl.h>
#include <sys/mman.h>
#include <unistd.h>

#include <cerrno>
#include <climits>
#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include "tools/dompack/commands.h"
#include "tools/dompack/mapped_file.h"
#include "tools/dompack/pack_stream.h"
#include "tools/dompack/pe_image.h"
#include "tools/dompack/temporary_file.h"

namespace {

constexpr char kCommand[] = "setup";
constexpr char kSetupName[] = "Setup.exe";
constexpr char kStubName[] = "SetupBare.exe";

int Fail(const std::string& message, int status) {
    std::fprintf(stderr, "dompack setup: %s\n", message.c_str());
    return status;
}

int IoFailure(const std::string& path) {
    return Fail(path + ": " + std::strerror(errno), kExitUsage);
}

bool SameNameIgnoringCase(const std::string& a, const char* b) {
    return a.size() == std::strlen(b) && strncasecmp(a.c_str(), b, a.size()) == 0;
}

// The stub that lies beside this program, as the publisher's folder holds them.
std::string StubBesideThisProgram() {
    char self[PATH_MAX];
    const ssize_t length = readlink("/proc/self/exe", self, sizeof self - 1);
    if (length <= 0) {
        return kStubName;
    }
    std::string path(self, static_cast<size_t>(length));
    return path.substr(0, path.find_last_of('/') + 1) + kStubName;
}

// The depth of the walk after `entry`, from the depth before it.
int DepthAfter(const ScannedEntry& entry, int depth) {
    return depth + (entry.kind == PackEntryKind::kFolder ? 1 : 0) -
           (entry.kind == PackEntryKind::kUp ? 1 : 0);
}

// Puts the stub into the scanned tree as its top-level Setup.exe, in name order, packed from the
// bytes read (which may have come through a link, and cannot change between the stamp and the
// pack); a Setup.exe the folder holds there (in any letter case) is replaced, with a warning.
// False (with `error`) when a folder of that name stands there.
bool PutStubInTree(const std::string& stub_path, const std::vector<uint8_t>& stub,
                   std::vector<ScannedEntry>* entries, std::string* error) {
    int depth = 0;
    for (auto it = entries->begin(); it != entries->end();) {
        if (depth == 0 && it->kind != PackEntryKind::kUp &&
            SameNameIgnoringCase(it->name, kSetupName)) {
            if (it->kind == PackEntryKind::kFolder) {
                *error = "the game folder holds a folder named " + it->name +
                         " where the installer's Setup.exe goes";
                return false;
            }
            std::fprintf(stderr,
                         "dompack setup: warning: the game folder's %s is replaced in the pack "
                         "by the stub\n",
                         it->name.c_str());
            it = entries->erase(it);
            continue;
        }
        depth = DepthAfter(*it, depth);
        ++it;
    }
    auto at = entries->begin();
    for (depth = 0; at != entries->end(); ++at) {
        if (depth == 0 && at->kind != PackEntryKind::kUp && at->name > kSetupName) {
            break;
        }
        depth = DepthAfter(*at, depth);
    }
    entries->insert(at, ScannedEntry{PackEntryKind::kFile, kSetupName,
                                     static_cast<uint32_t>(stub.size()), stub_path, stub.data()});
    return true;
}

bool ReadStub(const std::string& path, std::vector<uint8_t>* stub, std::string* error) {
    MappedFile file;
    if (!file.Open(path, error)) {
        return false;
    }
    stub->assign(file.data(), file.data() + file.size());
    return true;
}

// Sets the headers of the file written so far, once the pack's size is known. kExitOk, or the
// exit status after a message: an I/O error, or a pack the program file cannot hold.
int FinishFile(int fd, const StampPlan& plan, uint64_t pack_size, const std::string& out) {
    const uint64_t size = StampedFileSize(plan, pack_size);
    if (ftruncate(fd, static_cast<off_t>(size)) != 0) {
        return IoFailure(out);
    }
    void* mapping = mmap(nullptr, size, PROT_READ | PROT_WRITE, MAP_SHARED, fd, 0);
    if (mapping == MAP_FAILED) {
        return IoFailure(out);
    }
    std::string error;
    const bool ok = FinishStamp(plan, pack_size, static_cast<uint8_t*>(mapping), size, &error);
    munmap(mapping, size);
    return ok ? kExitOk : Fail(error, kExitFaulty);
}

bool WriteAll(int fd, const uint8_t* data, size_t size) {
    while (size > 0) {
        const ssize_t n = write(fd, data, size);
        if (n < 0 && errno == EINTR) {
            continue;
        }
        if (n <= 0) {
            return false;
        }
        data += n;
        size -= static_cast<size_t>(n);
    }
    return true;
}

}  // namespace

int RunSetup(const std::string& folder, const std::string& out, const std::string& stub_option) {
    const std::string stub_path = stub_option.empty() ? StubBesideThisProgram() : stub_option;
    std::vector<uint8_t> stub;
    std::string error;
    if (!ReadStub(stub_path, &stub, &error)) {
        return Fail(stub_path + ": " + error, kExitUsage);
    }
    StampPlan plan;
    if (!PlanStamp(stub.data(), stub.size(), &plan, &error)) {
        return Fail(stub_path + ": " + error, kExitFaulty);
    }
    std::vector<ScannedEntry> entries;
    if (int status = ScanForPack(kCommand, folder, &entries); status != kExitOk) {
        return status;
    }
    if (!PutStubInTree(stub_path, stub, &entries, &error)) {
        return Fail(error, kExitFaulty);
    }

    TemporaryFile file;
    if (!file.Create(out)) {
        return IoFailure(out);
    }
    if (!WriteAll(file.fd(), stub.data(), stub.size()) ||
        lseek(file.fd(), static_cast<off_t>(plan.pack_offset), SEEK_SET) < 0) {
        return IoFailure(out);
    }
    PackSummary summary;
    if (int status =
            WritePackStream(kCommand, entries, file.fd(), out, kMaxInstallerPack, &summary);
        status != kExitOk) {
        return status;
    }
    if (int status = FinishFile(file.fd(), plan, summary.compressed_size, out); status != kExitOk) {
        return status;
    }
    if (!file.Commit(out)) {
        return IoFailure(out);
    }
    PrintPackSummary(out, summary);
    return kExitOk;
}
