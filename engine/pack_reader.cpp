#include "engine/pack_reader.h"

#include <cassert>
#include <cstdlib>

namespace {

constexpr uint32_t kFieldSize = 4;
// Deflate expands its input at most 1032 times (and plain data not at all), so no block yields
// more decompressed bytes than this many times its size.
constexpr uint64_t kMaxExpansion = 1032;

}  // namespace

const char* PackStatusMessage(PackStatus status) {
    switch (status) {
        case PackStatus::kOk:
            return "pack is readable";
        case PackStatus::kStreamNotOpened:
            return "gzip stream could not be opened";
        case PackStatus::kWrongMagic:
            return "wrong magic: not a pack archive";
        case PackStatus::kEmptyDirectory:
            return "directory is empty";
        case PackStatus::kShortDirectory:
            return "stream ends inside the directory";
        case PackStatus::kOutOfMemory:
            return "out of memory for the directory";
        case PackStatus::kDirectoryTooLarge:
            return "directory byte count is larger than the pack can hold";
    }
    return "unknown pack status";
}

PackReader::~PackReader() {
    Close();
}

void PackReader::Close() {
    std::free(directory_);
    directory_ = nullptr;
    if (stream_ != nullptr) {
        memgz_close(stream_);
        stream_ = nullptr;
    }
    directory_byte_count_ = 0;
    directory_bytes_read_ = 0;
    entry_count_ = 0;
}

PackStatus PackReader::Open(const void* block, uint32_t size) {
    Close();
    block_size_ = size;
    stream_ = memgz_open(block, "rb", size);
    if (stream_ == nullptr) {
        return PackStatus::kStreamNotOpened;
    }
    uint8_t field[kFieldSize];
    if (memgz_read(stream_, field, kFieldSize) != static_cast<int>(kFieldSize) ||
        ReadLe32(field) != kPackMagic) {
        return PackStatus::kWrongMagic;
    }
    if (memgz_read(stream_, field, kFieldSize) != static_cast<int>(kFieldSize)) {
        return PackStatus::kShortDirectory;
    }
    directory_byte_count_ = ReadLe32(field);
    return ReadDirectory();
}

// One allocation of exactly the stored size and one read into it. Only a directory read whole is
// walked: entries that never arrived are never looked at.
PackStatus PackReader::ReadDirectory() {
    if (directory_byte_count_ == 0) {
        return PackStatus::kEmptyDirectory;
    }
    // A single read reports its count as an int, so a larger directory could not be read; and
    // no buffer is set aside for more than the block could ever decompress to.
    if (directory_byte_count_ > kPackMaxFileSize ||
        directory_byte_count_ > kMaxExpansion * block_size_) {
        return PackStatus::kDirectoryTooLarge;
    }
    directory_ = static_cast<uint8_t*>(std::malloc(directory_byte_count_));
    if (directory_ == nullptr) {
        return PackStatus::kOutOfMemory;
    }
    int got = memgz_read(stream_, directory_, directory_byte_count_);
    if (got < 0) {  // a data error: the buffer holds nothing that can be trusted
        return PackStatus::kShortDirectory;
    }
    directory_bytes_read_ = static_cast<uint32_t>(got);
    if (directory_bytes_read_ == 0) {
        return PackStatus::kEmptyDirectory;
    }
    if (directory_bytes_read_ < directory_byte_count_) {
        return PackStatus::kShortDirectory;
    }
    entry_count_ = PackEntryCount(directory_byte_count_);
    return PackStatus::kOk;
}

PackEntry PackReader::Entry(int32_t index) const {
    assert(index >= 0 && index < entry_count_);
    return PackEntry(directory_ + static_cast<size_t>(index) * kPackEntrySize);
}

uint32_t PackReader::ProgressTotal() const {
    return PackProgressTotal(directory_, entry_count_);
}

int PackReader::ReadBody(void* buffer, uint32_t length) {
    return memgz_read(stream_, buffer, length < kPackChunkSize ? length : kPackChunkSize);
}

PackStreamEnd PackReader::StreamEnd() {
    if (stream_ == nullptr) {
        return PackStreamEnd::kTruncated;
    }
    if (memgz_ended_cleanly(stream_)) {
        return PackStreamEnd::kClean;
    }
    // A read of nothing changes nothing, but reports a data error met earlier.
    uint8_t unused = 0;
    return memgz_read(stream_, &unused, 0) < 0 ? PackStreamEnd::kDataError
                                               : PackStreamEnd::kTruncated;
}

bool PackReader::LengthFieldsMatch(uint32_t* stored, uint32_t* actual) const {
    if (stream_ == nullptr || !stream_->length_mismatch) {
        return true;
    }
    *stored = stream_->stored_length;
    *actual = stream_->member_length;
    return false;
}
