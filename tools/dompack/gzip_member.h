#pragma once

// Compresses one block of data into one complete gzip member: a fixed 10-byte header (no
// optional fields, modification time 0, extra flags 0, operating system 11), raw deflate at
// level 9, and the CRC-32 and length trailer. The deflate state is made once and reset for each
// member, so one encoder serves a worker thread for the whole pack.

#include <zlib.h>

#include <cstddef>
#include <cstdint>
#include <vector>

class GzipMemberEncoder {
  public:
    GzipMemberEncoder() = default;
    ~GzipMemberEncoder();
    GzipMemberEncoder(const GzipMemberEncoder&) = delete;
    GzipMemberEncoder& operator=(const GzipMemberEncoder&) = delete;

    // False (errno ENOMEM) when deflate cannot be set up.
    bool Init();

    // Replaces `member` with the gzip member of the `size` bytes at `data` (at most 4 GiB - 1);
    // false (errno EINVAL) when deflate fails. `member` keeps its capacity from one call to the
    // next.
    bool Encode(const uint8_t* data, size_t size, std::vector<uint8_t>* member);

  private:
    z_stream zstream_{};
    bool started_ = false;  // deflate is initialised and must be ended
};
