#pragma once

// PackReader performs the reading steps of a pack over a memory gzip stream: it opens the stream
// over a block, checks the magic, reads the directory byte count and then the whole directory
// with one read into one allocation, and lets the caller walk the entries in place and read each
// body, front to back, in chunks. It throws nothing: every failure is a status. The buffer and
// the stream are released by the destructor.

#include <cstdint>

#include "engine/memgz.h"
#include "engine/pack_format.h"

enum class PackStatus {
    kOk,                 // the directory is read; EntryCount() entries can be walked
    kStreamNotOpened,    // memgz_open refused the block
    kWrongMagic,         // the first 4 bytes are not "ZOLT" (or fewer than 4 came)
    kEmptyDirectory,     // the directory read delivered nothing (a count of 0 included)
    kShortDirectory,     // the stream ended (or met a data error) inside the directory or its count
    kOutOfMemory,        // no buffer of the directory's size could be allocated
    kDirectoryTooLarge,  // a directory byte count of 2^31 or more (one read cannot take it), or
                         // more than the block can decompress to
};

const char* PackStatusMessage(PackStatus status);

// How the stream stands once a read has come up short.
enum class PackStreamEnd {
    kClean,      // the gzip data ended with a matching trailer
    kDataError,  // corrupt deflate data or a CRC mismatch
    kTruncated,  // the block ended before the trailer (or the data was not gzip)
};

class PackReader {
  public:
    PackReader() = default;
    ~PackReader();
    PackReader(const PackReader&) = delete;
    PackReader& operator=(const PackReader&) = delete;

    // Opens the pack in `size` bytes at `block` (which stays valid and unchanged while the
    // reader lives) and reads its directory. A second Open releases the first pack.
    PackStatus Open(const void* block, uint32_t size);

    // Entries of the directory read; 0 unless Open returned kOk.
    int32_t EntryCount() const { return entry_count_; }
    // The entry at `index` (0 <= index < EntryCount()), viewed in place.
    PackEntry Entry(int32_t index) const;
    uint32_t ProgressTotal() const;

    uint32_t DirectoryByteCount() const { return directory_byte_count_; }
    uint32_t DirectoryBytesRead() const { return directory_bytes_read_; }

    // memgz_read of at most kPackChunkSize bytes (a longer request is cut to that): the count
    // delivered, 0 at the end of the data, -1 after a data error, -2 when no stream is open.
    int ReadBody(void* buffer, uint32_t length);

    // Where the stream stands; meaningful once a read has delivered fewer bytes than asked.
    PackStreamEnd StreamEnd();

    // True while every gzip member ended so far holds as many bytes (mod 2^32) as its trailer's
    // length field says; otherwise false with the first disagreeing member's figures.
    bool LengthFieldsMatch(uint32_t* stored, uint32_t* actual) const;

  private:
    PackStatus ReadDirectory();
    void Close();

    memgz_stream* stream_ = nullptr;
    uint8_t* directory_ = nullptr;       // owned, std::malloc'ed, DirectoryByteCount() bytes
    uint32_t directory_byte_count_ = 0;  // as stored after the magic
    uint32_t directory_bytes_read_ = 0;  // what the directory read delivered
    int32_t entry_count_ = 0;            // entries in the directory; 0 until it is read whole
    uint32_t block_size_ = 0;            // of the block the stream reads
};
