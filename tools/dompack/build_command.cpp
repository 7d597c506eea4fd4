// dompack build: scans the tree first (so every refusal comes before a byte is written), then
// streams the pack through the gzip writer (a series of members compressed on every core) into a
// temporary file beside OUT, which is renamed to OUT only once it is complete.

#include <fcntl.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <vector>

#include "tools/dompack/build_settings.h"
#include "tools/dompack/commands.h"
#include "tools/dompack/gzip_writer.h"
#include "tools/dompack/pack_stream.h"
#include "tools/dompack/temporary_file.h"
#include "tools/dompack/tree_scan.h"

namespace {

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
        if (entry.contents != nullptr) {
            return gzip_->Write(entry.contents, entry.size) ? BodyResult::kOk
                                                            : BodyResult::kWriteError;
        }
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

int Fail(const char* command, const std::string& message, int status) {
    std::fprintf(stderr, "dompack %s: %s\n", command, message.c_str());
    return status;
}

int IoFailure(const char* command, const std::string& path) {
    return Fail(command, path + ": " + std::strerror(errno), kExitUsage);
}

// A failed write of the pack to `out`: the writer's limit, or an I/O error.
int WriteFailure(const char* command, const std::string& out, const GzipWriter& gzip,
                 uint64_t max_size) {
    if (!gzip.passed_limit()) {
        return IoFailure(command, out);
    }
    const std::string limit = std::to_string(max_size >> 20) + " MiB";
    return Fail(command,
                "the pack comes to more than " + limit +
                    ": the 32-bit installer can carry at most " + limit +
                    " (its whole program file must fit into its 2 GB of addresses)",
                kExitFaulty);
}

}  // namespace

int WritePackStream(const char* command, const std::vector<ScannedEntry>& entries, int fd,
                    const std::string& out, uint64_t max_size, PackSummary* summary) {
    GzipWriterOptions options;
    std::string error;
    if (!GzipWriterOptionsFromEnvironment(&options, &error)) {
        return Fail(command, error, kExitUsage);
    }
    options.max_compressed_size = max_size;
    GzipWriter gzip(options);
    PackWriter pack(&gzip);
    if (!gzip.Begin(fd) || !pack.WriteHeader(entries.size()) || !pack.WriteDirectory(entries)) {
        return WriteFailure(command, out, gzip, max_size);
    }
    *summary = PackSummary{};
    for (const ScannedEntry& entry : entries) {
        if (entry.kind != PackEntryKind::kFile) {
            continue;
        }
        switch (pack.WriteBody(entry)) {
            case PackWriter::BodyResult::kOk:
                break;
            case PackWriter::BodyResult::kReadError:
                return IoFailure(command, entry.path);
            case PackWriter::BodyResult::kChanged:
                return Fail(command, entry.path + ": file changed while it was packed", kExitUsage);
            case PackWriter::BodyResult::kWriteError:
                return WriteFailure(command, out, gzip, max_size);
        }
        ++summary->files;
        summary->body_bytes += entry.size;
    }
    if (!gzip.Finish()) {
        return WriteFailure(command, out, gzip, max_size);
    }
    summary->folders = static_cast<int>((entries.size() - summary->files) / 2);
    summary->compressed_size = gzip.compressed_size();
    return kExitOk;
}

int ScanForPack(const char* command, const std::string& folder,
                std::vector<ScannedEntry>* entries) {
    std::string error;
    switch (ScanTree(folder, entries, &error)) {
        case ScanResult::kOk:
            return kExitOk;
        case ScanResult::kRefused:
            return Fail(command, error, kExitFaulty);
        case ScanResult::kIoError:
            break;
    }
    return Fail(command, error, kExitUsage);
}

void PrintPackSummary(const std::string& out, const PackSummary& summary) {
    std::printf("%s: %d files, %d folders, %llu bytes packed into %llu bytes\n", out.c_str(),
                summary.files, summary.folders, static_cast<unsigned long long>(summary.body_bytes),
                static_cast<unsigned long long>(summary.compressed_size));
}

int RunBuild(const std::string& folder, const std::string& out) {
    constexpr char kCommand[] = "build";
    std::vector<ScannedEntry> entries;
    if (int status = ScanForPack(kCommand, folder, &entries); status != kExitOk) {
        return status;
    }
    TemporaryFile file;
    if (!file.Create(out)) {
        return IoFailure(kCommand, out);
    }
    PackSummary summary;
    if (int status = WritePackStream(kCommand, entries, file.fd(), out, kNoPackLimit, &summary);
        status != kExitOk) {
        return status;
    }
    if (!file.Commit(out)) {
        return IoFailure(kCommand, out);
    }
    PrintPackSummary(out, summary);
    return kExitOk;
}
