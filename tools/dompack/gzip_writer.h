#pragma once

// Writes a gzip stream to an open file as a series of members, one for each piece of
// `piece_size` bytes of the data (the last one shorter), compressed by worker threads and
// written in order. A piece's bounds depend only on the data and the piece size, so any number
// of threads writes the same bytes.
//
// The calling thread cuts the data into pieces and writes the finished members; the workers
// only compress. At most 2 * threads pieces are held at once (each with its member), so the
// memory is bounded whatever the size of the data.
//
// Hand-off: written_ <= taken_ <= submitted_ <= written_ + pieces_.size(); the piece numbered
// n lives in pieces_[n % pieces_.size()] and belongs to a worker from its take until `compressed`
// is set, and to the calling thread otherwise.

#include <condition_variable>
#include <cstddef>
#include <cstdint>
#include <memory>
#include <mutex>
#include <vector>

#include "platform/thread.h"
#include "tools/dompack/gzip_member.h"

// 2 MiB: the members of the benchmark payload come to 0.08 % more than one member would (plain
// source text 0.23 %; with 1 MiB pieces 0.15 % and 0.43 %), and a piece and its member in flight
// cost about 4 MiB, 8 MiB for each thread.
inline constexpr size_t kDefaultPieceSize = size_t{2} << 20;

struct GzipWriterOptions {
    int threads = 1;                            // worker threads, at least 1
    size_t piece_size = kDefaultPieceSize;      // uncompressed bytes per member, at least 1
    uint64_t max_compressed_size = UINT64_MAX;  // the most it may write; see passed_limit()
};

class GzipWriter {
  public:
    explicit GzipWriter(const GzipWriterOptions& options);
    // Stops the workers (each finishes the piece it is compressing) and waits for them.
    ~GzipWriter();
    GzipWriter(const GzipWriter&) = delete;
    GzipWriter& operator=(const GzipWriter&) = delete;

    // Each returns false when deflate, a thread or the file fails, or when the next member would
    // take the file past max_compressed_size (then nothing of it is written); errno tells the
    // failure.
    bool Begin(int fd);
    bool Write(const void* data, size_t size);
    bool Finish();

    uint64_t compressed_size() const { return compressed_size_; }
    // It failed because the data compresses to more than max_compressed_size.
    bool passed_limit() const { return passed_limit_; }

  private:
    struct Piece {
        std::vector<uint8_t> data;    // the piece's bytes, up to piece_size
        std::vector<uint8_t> member;  // its gzip member, once compressed
        bool compressed = false;      // the worker is done with it
        int error = 0;                // errno of a failed compression; 0 when it succeeded
    };

    struct Worker {
        GzipWriter* writer = nullptr;
        GzipMemberEncoder encoder;
        platform::Thread thread;
    };

    static void WorkerProc(void* arg);
    void Work(GzipMemberEncoder* encoder);
    void StopWorkers();
    Piece& Filling() { return pieces_[submitted_ % pieces_.size()]; }
    bool Submit();
    bool WriteOldest();
    bool WriteOut(const uint8_t* data, size_t size);

    GzipWriterOptions options_;
    int fd_ = -1;
    std::vector<Piece> pieces_;
    std::vector<std::unique_ptr<Worker>> workers_;
    std::mutex mutex_;                       // guards the counts, `compressed` and stopping_
    std::condition_variable submitted_cv_;   // a piece was submitted, or the workers must stop
    std::condition_variable compressed_cv_;  // a worker is done with a piece
    uint64_t submitted_ = 0;                 // pieces handed to the workers
    uint64_t taken_ = 0;                     // pieces a worker has started on
    uint64_t written_ = 0;                   // pieces whose members are in the file
    bool stopping_ = false;
    uint64_t compressed_size_ = 0;
    bool passed_limit_ = false;
};
