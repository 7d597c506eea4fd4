#include "engine/pack_verify.h"

#include <memory>
#include <new>

#include "engine/pack_names.h"
#include "engine/pack_reader.h"

namespace {

constexpr uint8_t kGzipMagic[2] = {0x1F, 0x8B};
constexpr char kDataError[] = "gzip data error (corrupt data, CRC mismatch or cut-off trailer)";

class Verifier {
  public:
    Verifier(const uint8_t* block, uint32_t size) : block_(block), size_(size) {}

    PackVerdict Run() {
        if (CheckGzipMagic() && OpenPack() && CheckDirectory() && CheckBodies() && CheckEnd()) {
            verdict_.ok = true;
            verdict_.message = "pack is valid";
        }
        return verdict_;
    }

  private:
    bool Fail(int32_t entry, std::string message) {
        verdict_.entry = entry;
        verdict_.message = std::move(message);
        return false;
    }

    // True when the gzip data ended cleanly; otherwise false with the fault named (a data error
    // or a cut). Asked once a read has come up short.
    bool CheckCleanEnd(int32_t entry) {
        switch (reader_.StreamEnd()) {
            case PackStreamEnd::kClean:
                return true;
            case PackStreamEnd::kDataError:
                return Fail(entry, kDataError);
            case PackStreamEnd::kTruncated:
                break;
        }
        return Fail(entry, "stream truncated: the gzip data ends before its trailer");
    }

    // The data stopped early: a cut or a data error, or else the pack's own fault.
    bool FailAtEnd(int32_t entry, const std::string& clean_end_message) {
        return CheckCleanEnd(entry) && Fail(entry, clean_end_message);
    }

    bool CheckGzipMagic() {
        if (size_ < 2 || block_[0] != kGzipMagic[0] || block_[1] != kGzipMagic[1]) {
            return Fail(-1, "not gzip data (no gzip magic)");
        }
        return true;
    }

    bool OpenPack() {
        PackStatus status = reader_.Open(block_, size_);
        switch (status) {
            case PackStatus::kOk:
                return true;
            case PackStatus::kWrongMagic:
                return Fail(-1, reader_.StreamEnd() == PackStreamEnd::kDataError
                                    ? kDataError
                                    : PackStatusMessage(status));
            case PackStatus::kEmptyDirectory:
                if (reader_.DirectoryByteCount() == 0) {
                    return true;  // an empty tree
                }
                [[fallthrough]];
            case PackStatus::kShortDirectory:
                if (reader_.DirectoryByteCount() == 0) {  // the count itself was cut off
                    return FailAtEnd(-1, "stream ends inside the directory byte count");
                }
                return FailAtEnd(-1, "stream ends inside the directory (" +
                                         std::to_string(reader_.DirectoryBytesRead()) + " of " +
                                         std::to_string(reader_.DirectoryByteCount()) + " bytes)");
            default:
                return Fail(-1, PackStatusMessage(status));
        }
    }

    bool CheckDirectory() {
        if (reader_.DirectoryByteCount() % kPackEntrySize != 0) {
            return Fail(-1, "directory byte count " + std::to_string(reader_.DirectoryByteCount()) +
                                " is not a multiple of 64");
        }
        PackWalk walk;
        for (int32_t i = 0; i < reader_.EntryCount(); ++i) {
            PackEntry entry = reader_.Entry(i);
            if (NameFault fault = CheckEntryName(entry); fault != NameFault::kNone) {
                return Fail(i, NameFaultMessage(fault));
            }
            if (WalkFault fault = walk.Step(entry); fault != WalkFault::kNone) {
                return Fail(i, WalkFaultMessage(fault));
            }
            if (entry.Kind() == PackEntryKind::kFile) {
                ++verdict_.files;
            } else if (entry.Kind() == PackEntryKind::kFolder) {
                ++verdict_.folders;
            }
        }
        if (WalkFault fault = walk.Finish(); fault != WalkFault::kNone) {
            return Fail(-1, WalkFaultMessage(fault));
        }
        return true;
    }

    bool CheckBodies() {
        std::unique_ptr<uint8_t[]> chunk(new (std::nothrow) uint8_t[kPackChunkSize]);
        if (!chunk) {
            return Fail(-1, "out of memory for a chunk");
        }
        for (int32_t i = 0; i < reader_.EntryCount(); ++i) {
            int32_t size = reader_.Entry(i).SizeField();
            if (size >= 0 && !ReadBody(i, static_cast<uint32_t>(size), chunk.get())) {
                return false;
            }
        }
        return true;
    }

    bool ReadBody(int32_t entry, uint32_t size, uint8_t* chunk) {
        uint32_t remaining = size;
        while (remaining > 0) {
            uint32_t wanted = remaining < kPackChunkSize ? remaining : kPackChunkSize;
            int got = reader_.ReadBody(chunk, wanted);
            if (got < 0) {
                return Fail(entry, kDataError);
            }
            remaining -= static_cast<uint32_t>(got);
            verdict_.body_bytes += static_cast<uint32_t>(got);
            if (static_cast<uint32_t>(got) < wanted) {
                return FailAtEnd(entry, "body cut short: the stream ends after " +
                                            std::to_string(size - remaining) + " of its " +
                                            std::to_string(size) +
                                            " bytes (the bodies are longer than the stream)");
            }
        }
        return true;
    }

    bool CheckEnd() {
        uint8_t chunk[4096];
        uint64_t extra = 0;
        int got = 0;
        while ((got = reader_.ReadBody(chunk, sizeof chunk)) > 0) {
            extra += static_cast<uint32_t>(got);
        }
        if (extra > 0) {
            return Fail(-1, "the stream holds " + std::to_string(extra) +
                                " bytes after the last body (the bodies are shorter than the "
                                "stream)");
        }
        if (got < 0) {
            return Fail(-1, kDataError);
        }
        return CheckCleanEnd(-1) && CheckLengthField();
    }

    // The reader reads on whatever a trailer's length field says; a valid pack's members each
    // hold the length their field gives (modulo 2^32).
    bool CheckLengthField() {
        uint32_t stored = 0;
        uint32_t actual = 0;
        if (!reader_.LengthFieldsMatch(&stored, &actual)) {
            return Fail(-1, "gzip length field (" + std::to_string(stored) +
                                ") does not match its member's data (" + std::to_string(actual) +
                                " bytes)");
        }
        return true;
    }

    const uint8_t* block_;
    uint32_t size_;
    PackReader reader_;
    PackVerdict verdict_;
};

}  // namespace

PackVerdict VerifyPack(const uint8_t* block, uint32_t size) {
    return Verifier(block, size).Run();
}

std::string DescribeVerdict(const PackVerdict& verdict) {
    if (verdict.entry < 0) {
        return verdict.message;
    }
    return "entry " + std::to_string(verdict.entry) + ": " + verdict.message;
}
