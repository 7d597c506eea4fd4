#pragma once

// Writes one gzip member to an open file: a fixed 10-byte header (no optional fields,
// modification time 0, extra flags 0, operating system 11), raw deflate at level 9, and the
// CRC-32 and length trailer. Data is compressed as it comes, so nothing is held whole.

#include <zlib.h>

#include <cstddef>
#include <cstdint>
#include <vector>

class GzipWriter {
  public:
    GzipWriter() = default;
    ~GzipWriter();
    GzipWriter(const GzipWriter&) = delete;
    GzipWriter& operator=(const GzipWriter&) = delete;

    // Each returns false when deflate or the file fails; errno tells a file failure.
    bool Begin(int fd);
    bool Write(const void* data, size_t size);
    bool Finish();

    uint64_t compressed_size() const { return compressed_size_; }

  private:
    bool Deflate(int flush);
    bool WriteOut(const uint8_t* data, size_t size);

    int fd_ = -1;
    z_stream zstream_{};
    bool started_ = false;  // deflate is initialised and must be ended
    uint32_t crc_ = 0;      // of the data so far
    uint32_t length_ = 0;   // of the data so far, modulo 2^32
    uint64_t compressed_size_ = 0;
    std::vector<uint8_t> out_;
};
