#pragma once

// A gzip file read straight from a block of memory (the program's PACK resource): the gzip
// framing is ours, the deflate decoding is zlib's raw inflate. The block must stay valid and
// unchanged until the stream is closed; no byte outside it is ever read.

#include <cstdint>

#include <zlib.h>

constexpr uint32_t kMemgzInputSize = 16384;

struct memgz_stream {
    z_stream zstream;         // inflate state; next_in/avail_in cover the unread input buffer
    int last_error;           // zlib status of the last operation (Z_OK, Z_STREAM_END, ...)
    bool end_of_input;        // the block has no more bytes to give
    const uint8_t* block;     // first byte of the block (not owned)
    uint32_t block_size;      // length of the block
    const uint8_t* position;  // next byte of the block not yet copied into the input buffer
    uint8_t* input;           // kMemgzInputSize bytes, owned
    uint32_t crc;             // CRC-32 of the bytes delivered since the member began
    bool transparent;         // not gzip data: bytes are delivered as they stand
    char mode;                // 'r' while open for reading
    uLong member_start;       // total_out when the current member began
    bool length_mismatch;     // some member's stored length is not its size (mod 2^32); reading
                              // goes on regardless, a checker may look
    uint32_t stored_length;   // of the first such member: its length field
    uint32_t member_length;   // and the bytes it held (mod 2^32)
};

// Opens a stream over `size` bytes at `block`; null when block or mode is null, the mode has no
// 'r', or memory or inflate cannot be set up.
memgz_stream* memgz_open(const void* block, const char* mode, uint32_t size);

// Delivers up to `length` decompressed bytes: the count delivered (short only at the end of the
// data or after an error), 0 once the data has ended, -1 once a data error has been met, -2 for a
// null stream, one not open for reading, or a null buffer with a nonzero length.
int memgz_read(memgz_stream* stream, void* buffer, uint32_t length);

// Releases everything: the last error when it is negative, otherwise inflateEnd's result; -2 for
// a null stream.
int memgz_close(memgz_stream* stream);

// True once the data has ended cleanly: the last member's trailer matched and nothing followed it.
// An empty block counts as ended; a stream cut off before its trailer, or one that met a data
// error, never ends cleanly.
inline bool memgz_ended_cleanly(const memgz_stream* stream) {
    return stream != nullptr && stream->last_error == Z_STREAM_END;
}
