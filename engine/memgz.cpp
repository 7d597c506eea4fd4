// Memory gzip stream: a gzip file read from a block of memory.
//
// The reading scheme is the classic one of zlib's gzip file functions: the block is copied piece
// by piece into a 16,384-byte input buffer, the gzip member header is parsed by hand, the deflate
// data goes through zlib's raw inflate straight into the caller's buffer, and at the end of each
// member the CRC-32 trailer is checked and the next member (or plain trailing data) is looked for.
// Data that does not start with the gzip magic is handed out as it stands. The block itself is
// never read past its size. Errors are sticky: once a data error is met every read reports it.

#include "engine/memgz.h"

#include <climits>
#include <cstring>
#include <memory>
#include <new>

namespace {

constexpr int kEndOfInput = -1;
constexpr uint8_t kGzipMagic[2] = {0x1F, 0x8B};
constexpr int kMethodDeflate = 8;
constexpr int kRawDeflateWindowBits = -15;

constexpr int kFlagHeaderCrc = 0x02;
constexpr int kFlagExtraField = 0x04;
constexpr int kFlagFileName = 0x08;
constexpr int kFlagComment = 0x10;
constexpr int kFlagsReserved = 0xE0;

// A single read never hands out more than an int can count.
constexpr uint32_t kMaxReadLength = INT_MAX;

}  // namespace

// Copies up to n bytes of the block, from the position on, to destination; the count copied, 0
// once the block is used up.
static uint32_t memgz_fill(memgz_stream* stream, uint8_t* destination, uint32_t n) {
    const uint32_t consumed = static_cast<uint32_t>(stream->position - stream->block);
    const uint32_t left = stream->block_size - consumed;
    const uint32_t count = n < left ? n : left;
    if (count > 0) {
        std::memcpy(destination, stream->position, count);
        stream->position += count;
    }
    return count;
}

// Refills the empty input buffer from the block. When the block is used up, next_in is left
// where it is, so that the bytes just consumed can still be pushed back.
static void memgz_refill_input(memgz_stream* stream) {
    const uint32_t count = memgz_fill(stream, stream->input, kMemgzInputSize);
    if (count == 0) {
        stream->end_of_input = true;
        return;
    }
    stream->zstream.next_in = stream->input;
    stream->zstream.avail_in = count;
}

// The next input byte (0 to 255), or -1 at the end of input.
static int memgz_get_byte(memgz_stream* stream) {
    if (stream->end_of_input) {
        return kEndOfInput;
    }
    if (stream->zstream.avail_in == 0) {
        memgz_refill_input(stream);
        if (stream->end_of_input) {
            return kEndOfInput;
        }
    }
    stream->zstream.avail_in--;
    return *stream->zstream.next_in++;
}

// Four input bytes as a little-endian value; a data error when the input ends before the fourth.
static uint32_t memgz_get_long(memgz_stream* stream) {
    uint32_t value = static_cast<uint32_t>(memgz_get_byte(stream));
    value += static_cast<uint32_t>(memgz_get_byte(stream)) << 8;
    value += static_cast<uint32_t>(memgz_get_byte(stream)) << 16;
    const int last = memgz_get_byte(stream);
    if (last == kEndOfInput) {
        stream->last_error = Z_DATA_ERROR;
    }
    value += static_cast<uint32_t>(last) << 24;
    return value;
}

// A mismatch in the magic pushes the bytes read back into the input buffer, so both must lie in
// it side by side. When only one byte is left it is moved to the front and the rest refilled;
// otherwise the push-back could step in front of the buffer after a refill between the two.
static void memgz_keep_magic_together(memgz_stream* stream) {
    if (stream->zstream.avail_in != 1 || stream->end_of_input) {
        return;
    }
    stream->input[0] = *stream->zstream.next_in;
    const uint32_t added = memgz_fill(stream, stream->input + 1, kMemgzInputSize - 1);
    stream->zstream.next_in = stream->input;
    stream->zstream.avail_in = 1 + added;
}

// Looks for the gzip magic. False when it is not there: the bytes read are pushed back, plain
// data switches the stream to transparent, and last error tells whether input is left.
static bool memgz_check_magic(memgz_stream* stream) {
    memgz_keep_magic_together(stream);
    for (int i = 0; i < 2; ++i) {
        const int c = memgz_get_byte(stream);
        if (c == kGzipMagic[i]) {
            continue;
        }
        if (i != 0) {
            stream->zstream.avail_in++;
            stream->zstream.next_in--;
        }
        if (c != kEndOfInput) {
            stream->zstream.avail_in++;
            stream->zstream.next_in--;
            stream->transparent = true;
        }
        stream->last_error = stream->zstream.avail_in != 0 ? Z_OK : Z_STREAM_END;
        return false;
    }
    return true;
}

// Skips bytes up to and including a zero byte, or to the end of input.
static void memgz_skip_string(memgz_stream* stream) {
    int c;
    do {
        c = memgz_get_byte(stream);
    } while (c != 0 && c != kEndOfInput);
}

// Consumes one gzip member header. Last error: Z_OK when deflate data (or plain data) follows,
// Z_STREAM_END when the input has ended, Z_DATA_ERROR for a bad or cut-off header.
static void memgz_check_header(memgz_stream* stream) {
    if (!memgz_check_magic(stream)) {
        return;
    }
    const int method = memgz_get_byte(stream);
    const int flags = memgz_get_byte(stream);
    if (method != kMethodDeflate || (flags & kFlagsReserved) != 0) {
        stream->last_error = Z_DATA_ERROR;
        return;
    }
    for (int i = 0; i < 6; ++i) {  // modification time, extra flags, operating system
        memgz_get_byte(stream);
    }
    if (flags & kFlagExtraField) {
        uint32_t length = static_cast<uint32_t>(memgz_get_byte(stream));
        length += static_cast<uint32_t>(memgz_get_byte(stream)) << 8;
        while (length-- != 0 && memgz_get_byte(stream) != kEndOfInput) {
        }
    }
    if (flags & kFlagFileName) {
        memgz_skip_string(stream);
    }
    if (flags & kFlagComment) {
        memgz_skip_string(stream);
    }
    if (flags & kFlagHeaderCrc) {
        memgz_get_byte(stream);
        memgz_get_byte(stream);
    }
    stream->last_error = stream->end_of_input ? Z_DATA_ERROR : Z_OK;
}

memgz_stream* memgz_open(const void* block, const char* mode, uint32_t size) {
    if (block == nullptr || mode == nullptr) {
        return nullptr;
    }
    std::unique_ptr<memgz_stream> stream(new (std::nothrow) memgz_stream{});
    if (!stream) {
        return nullptr;
    }
    stream->crc = crc32(0L, Z_NULL, 0);
    stream->last_error = Z_OK;
    // Digits, 'f' and 'h' choose compression options, which reading ignores; so does 'b'.
    for (const char* c = mode; *c != '\0'; ++c) {
        if (*c == 'r') {
            stream->mode = 'r';
        }
    }
    if (stream->mode != 'r') {
        return nullptr;
    }
    std::unique_ptr<uint8_t[]> input(new (std::nothrow) uint8_t[kMemgzInputSize]);
    if (!input) {
        return nullptr;
    }
    stream->zstream.next_in = input.get();
    if (inflateInit2(&stream->zstream, kRawDeflateWindowBits) != Z_OK) {
        return nullptr;
    }
    stream->input = input.release();
    stream->block = static_cast<const uint8_t*>(block);
    stream->position = stream->block;
    stream->block_size = size;
    memgz_check_header(stream.get());
    return stream.release();
}

// Transparent data: the bytes left in the input buffer, then the rest straight from the block.
static int memgz_read_transparent(memgz_stream* stream, uint32_t length) {
    z_stream& z = stream->zstream;
    const uint32_t buffered = z.avail_in < z.avail_out ? z.avail_in : z.avail_out;
    if (buffered > 0) {
        std::memcpy(z.next_out, z.next_in, buffered);
        z.next_out += buffered;
        z.next_in += buffered;
        z.avail_out -= buffered;
        z.avail_in -= buffered;
    }
    if (z.avail_out > 0) {
        const uint32_t copied = memgz_fill(stream, z.next_out, z.avail_out);
        z.next_out += copied;
        z.avail_out -= copied;
    }
    const uint32_t delivered = length - z.avail_out;
    z.total_in += delivered;
    z.total_out += delivered;
    if (delivered == 0) {
        stream->end_of_input = true;
    }
    return static_cast<int>(delivered);
}

// A member's deflate data has ended: checks its trailer and looks for a following member.
static void memgz_finish_member(memgz_stream* stream) {
    if (memgz_get_long(stream) != stream->crc) {
        stream->last_error = Z_DATA_ERROR;
        return;
    }
    // The stored length does not decide the reading, but it must be there whole, and a member
    // whose length disagrees is noted for a checker.
    const uint32_t stored_length = memgz_get_long(stream);
    if (stream->last_error == Z_DATA_ERROR) {
        return;  // a member cut off in its trailer is damaged, not ended
    }
    const auto member_length =
        static_cast<uint32_t>(stream->zstream.total_out - stream->member_start);
    if (stored_length != member_length && !stream->length_mismatch) {
        stream->length_mismatch = true;
        stream->stored_length = stored_length;
        stream->member_length = member_length;
    }
    memgz_check_header(stream);
    if (stream->last_error == Z_OK) {
        const uLong total_in = stream->zstream.total_in;
        const uLong total_out = stream->zstream.total_out;
        inflateReset(&stream->zstream);
        stream->zstream.total_in = total_in;
        stream->zstream.total_out = total_out;
        stream->member_start = total_out;
        stream->crc = crc32(0L, Z_NULL, 0);
    }
}

static bool memgz_has_failed(const memgz_stream* stream) {
    return stream->last_error == Z_DATA_ERROR || stream->last_error == Z_ERRNO;
}

int memgz_read(memgz_stream* stream, void* buffer, uint32_t length) {
    if (stream == nullptr || stream->mode != 'r') {
        return Z_STREAM_ERROR;
    }
    if (memgz_has_failed(stream)) {
        return -1;
    }
    if (stream->last_error == Z_STREAM_END || length == 0) {
        return 0;
    }
    if (buffer == nullptr) {
        return Z_STREAM_ERROR;
    }
    if (length > kMaxReadLength) {
        length = kMaxReadLength;
    }
    z_stream& z = stream->zstream;
    Bytef* start = static_cast<Bytef*>(buffer);
    z.next_out = start;
    z.avail_out = length;
    while (z.avail_out != 0) {
        if (stream->transparent) {
            return memgz_read_transparent(stream, length);
        }
        if (z.avail_in == 0 && !stream->end_of_input) {
            memgz_refill_input(stream);
        }
        stream->last_error = inflate(&z, Z_NO_FLUSH);
        if (stream->last_error == Z_STREAM_END) {
            stream->crc = crc32(stream->crc, start, static_cast<uInt>(z.next_out - start));
            start = z.next_out;
            memgz_finish_member(stream);
        }
        if (stream->last_error != Z_OK || stream->end_of_input) {
            break;
        }
    }
    stream->crc = crc32(stream->crc, start, static_cast<uInt>(z.next_out - start));
    const uint32_t delivered = length - z.avail_out;
    // A read that meets a data error with nothing to hand out reports it at once: a 0 here
    // would read as a clean end of the data.
    if (delivered == 0 && memgz_has_failed(stream)) {
        return -1;
    }
    return static_cast<int>(delivered);
}

int memgz_close(memgz_stream* stream) {
    if (stream == nullptr) {
        return Z_STREAM_ERROR;
    }
    const int end_result = inflateEnd(&stream->zstream);
    const int result = stream->last_error < 0 ? stream->last_error : end_result;
    delete[] stream->input;
    delete stream;
    return result;
}
