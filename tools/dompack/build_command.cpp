// dompack build: scans the tree first (so every refusal comes before a byte is written), then
// streams the pack through the gzip writer (a series of members compressed on every core) into a
// temporary file beside OUT, which is renamed to OUT only once it is complete.

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <vector>

#include "tools/dompack/build_settings.h"
#include "tools/dompack/commands.h"
#include "tools/dompack/gzip_writer.h"
#include "tools/dompack/tree_scan.h"

namespace {

// A file created under a temporary name beside its final path; removed unless committed.
class TemporaryFile {
  public:
    ~TemporaryFile() {
        if (fd_ >= 0) {
            close(fd_);
        }
        if (!path_.empty()) {
            unlink(path_.c_str());
        }
    }

    bool Create(const std::string& final_path) {
        std::string pattern = final_path + ".tmp-XXXXXX";
        fd_ = mkstemp(pattern.data());
        if (fd_ < 0) {
            return false;
        }
        path_ = pattern;
        // mkstemp makes the file private; give it the mode a new file normally gets.
        mode_t mask = umask(0);
        umask(mask);
        return fchmod(fd_, 0666 & ~mask) == 0;
    }

    // Closes the file and renames it to `final_path`.
    bool Commit(const std::string& final_path) {
        int fd = fd_;
        fd_ = -1;
        if (close(fd) != 0 || rename(path_.c_str(), final_path.c_str()) != 0) {
            return false;
        }
        path_.clear();
        return true;
    }

    int fd() const { return fd_; }

  private:
    int fd_ = -1;
    std::string path_;  // empty once committed
};

class PackWriter {
  public:
    explicit PackWriter(GzipWriter* gzip) : gzip_(gzip), chunk_(kPackChunkSize) {}

    bool WriteHeader(size_t entry_count) {
        uint8_t header[kPackHeaderSize];
        WriteLe32(kPackMagic, header);
        WriteLe32(static_cast<uint32_t>(entry_count * kPackEntrySize), header + 4);
        return gzip_->Write(header, sizeof header);
    }

    bool WriteDirectory(const std::vector<ScannedEntry>& entries) {
        uint8_t entry[kPackEntrySize];
        for (const ScannedEntry& scanned : entries) {
            uint32_t size_field =
                scanned.kind == PackEntryKind::kFile ? scanned.size : kPackFolderSizeField;
            WritePackEntry(scanned.name, size_field, entry);
            if (!gzip_->Write(entry, sizeof entry)) {
                return false;
            }
        }
        return true;
    }

    enum class BodyResult { kOk, kReadError, kChanged, kWriteError };

    // Copies exactly `entry.size` bytes of the file; a file whose size differs from the scan's
    // is kChanged. errno tells a read or write error.
    BodyResult WriteBody(const ScannedEntry& entry) {
        int fd = open(entry.path.c_str(), O_RDONLY | O_NOFOLLOW | O_CLOEXEC);
        if (fd < 0) {
            return BodyResult::kReadError;
        }
        BodyResult result = CopyBody(fd, entry.size);
        int saved = errno;
        close(fd);
        errno = saved;
        return result;
    }

  private:
    BodyResult CopyBody(int fd, uint32_t size) {
        uint32_t remaining = size;
        for (;;) {
            ssize_t got = read(fd, chunk_.data(), chunk_.size());
            if (got < 0 && errno == EINTR) {
                continue;
            }
            if (got < 0) {
                return BodyResult::kReadError;
            }
            if (static_cast<uint64_t>(got) > remaining || (got == 0 && remaining > 0)) {
                return BodyResult::kChanged;
            }
            if (got == 0) {
                return BodyResult::kOk;
            }
            if (!gzip_->Write(chunk_.data(), static_cast<size_t>(got))) {
                return BodyResult::kWriteError;
            }
            remaining -= static_cast<uint32_t>(got);
        }
    }

    GzipWriter* gzip_;
    std::vector<uint8_t> chunk_;
};

int Fail(const std::string& message, int status) {
    std::fprintf(stderr, "dompack build: %s\n", message.c_str());
    return status;
}

int IoFailure(const std::string& path) {
    return Fail(path + ": " + std::strerror(errno), kExitUsage);
}

}  // namespace

int RunBuild(const std::string& folder, const std::string& out) {
    GzipWriterOptions options;
    std::string error;
    if (!GzipWriterOptionsFromEnvironment(&options, &error)) {
        return Fail(error, kExitUsage);
    }
    std::vector<ScannedEntry> entries;
    switch (ScanTree(folder, &entries, &error)) {
        case ScanResult::kOk:
            break;
        case ScanResult::kRefused:
            return Fail(error, kExitFaulty);
        case ScanResult::kIoError:
            return Fail(error, kExitUsage);
    }

    TemporaryFile file;
    if (!file.Create(out)) {
        return IoFailure(out);
    }
    GzipWriter gzip(options);
    PackWriter pack(&gzip);
    if (!gzip.Begin(file.fd()) || !pack.WriteHeader(entries.size()) ||
        !pack.WriteDirectory(entries)) {
        return IoFailure(out);
    }
    int files = 0;
    uint64_t body_bytes = 0;
    for (const ScannedEntry& entry : entries) {
        if (entry.kind != PackEntryKind::kFile) {
            continue;
        }
        switch (pack.WriteBody(entry)) {
            case PackWriter::BodyResult::kOk:
                break;
            case PackWriter::BodyResult::kReadError:
                return IoFailure(entry.path);
            case PackWriter::BodyResult::kChanged:
                return Fail(entry.path + ": file changed while it was packed", kExitUsage);
            case PackWriter::BodyResult::kWriteError:
                return IoFailure(out);
        }
        ++files;
        body_bytes += entry.size;
    }
    if (!gzip.Finish() || !file.Commit(out)) {
        return IoFailure(out);
    }
    std::printf("%s: %d files, %d folders, %llu bytes packed into %llu bytes\n", out.c_str(), files,
                static_cast<int>((entries.size() - files) / 2),
                static_cast<unsigned long long>(body_bytes),
                static_cast<unsigned long long>(gzip.compressed_size()));
    return kExitOk;
}
