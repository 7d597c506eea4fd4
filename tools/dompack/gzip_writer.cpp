#include "tools/dompack/gzip_writer.h"

#include <unistd.h>

#include <algorithm>
#include <cerrno>

GzipWriter::GzipWriter(const GzipWriterOptions& options)
    : options_(options), pieces_(2 * static_cast<size_t>(options.threads)) {}

GzipWriter::~GzipWriter() {
    StopWorkers();
}

bool GzipWriter::Begin(int fd) {
    fd_ = fd;
    for (int i = 0; i < options_.threads; ++i) {
        workers_.push_back(std::make_unique<Worker>());
        Worker& worker = *workers_.back();
        worker.writer = this;
        if (!worker.encoder.Init()) {
            return false;
        }
        if (!worker.thread.Start(WorkerProc, &worker)) {
            errno = EAGAIN;
            return false;
        }
    }
    return true;
}

// Joins every worker started; one whose start failed is skipped by Join.
void GzipWriter::StopWorkers() {
    {
        std::lock_guard<std::mutex> lock(mutex_);
        stopping_ = true;
    }
    submitted_cv_.notify_all();
    for (auto& worker : workers_) {
        worker->thread.Join();
    }
}

void GzipWriter::WorkerProc(void* arg) {
    auto* worker = static_cast<Worker*>(arg);
    worker->writer->Work(&worker->encoder);
}

// A worker's loop: takes the oldest piece not yet taken, compresses it outside the lock, and
// marks it done, until told to stop.
void GzipWriter::Work(GzipMemberEncoder* encoder) {
    std::unique_lock<std::mutex> lock(mutex_);
    for (;;) {
        submitted_cv_.wait(lock, [this] { return stopping_ || taken_ < submitted_; });
        if (stopping_) {
            return;
        }
        Piece& piece = pieces_[taken_++ % pieces_.size()];
        lock.unlock();
        const bool ok = encoder->Encode(piece.data.data(), piece.data.size(), &piece.member);
        const int error = ok ? 0 : errno;
        lock.lock();
        piece.error = error;
        piece.compressed = true;
        compressed_cv_.notify_one();
    }
}

bool GzipWriter::Write(const void* data, size_t size) {
    const auto* bytes = static_cast<const uint8_t*>(data);
    while (size > 0) {
        Piece& piece = Filling();
        if (piece.data.capacity() < options_.piece_size) {
            piece.data.reserve(options_.piece_size);
        }
        const size_t taken = std::min(size, options_.piece_size - piece.data.size());
        piece.data.insert(piece.data.end(), bytes, bytes + taken);
        bytes += taken;
        size -= taken;
        if (piece.data.size() == options_.piece_size && !Submit()) {
            return false;
        }
    }
    return true;
}

// The last piece goes even when it is short, and an empty stream still gets its one member.
bool GzipWriter::Finish() {
    if ((!Filling().data.empty() || submitted_ == 0) && !Submit()) {
        return false;
    }
    while (written_ < submitted_) {
        if (!WriteOldest()) {
            return false;
        }
    }
    return true;
}

// Hands the piece being filled to the workers; when every piece is then in use, the oldest is
// waited for and written, so that the next one to fill is free.
bool GzipWriter::Submit() {
    {
        std::lock_guard<std::mutex> lock(mutex_);
        Filling().compressed = false;
        ++submitted_;
    }
    submitted_cv_.notify_one();
    return submitted_ < written_ + pieces_.size() || WriteOldest();
}

bool GzipWriter::WriteOldest() {
    Piece& piece = pieces_[written_ % pieces_.size()];
    {
        std::unique_lock<std::mutex> lock(mutex_);
        compressed_cv_.wait(lock, [&piece] { return piece.compressed; });
    }
    if (piece.error != 0) {
        errno = piece.error;
        return false;
    }
    if (piece.member.size() > options_.max_compressed_size - compressed_size_) {
        passed_limit_ = true;
        errno = EFBIG;
        return false;
    }
    if (!WriteOut(piece.member.data(), piece.member.size())) {
        return false;
    }
    piece.data.clear();
    ++written_;
    return true;
}

bool GzipWriter::WriteOut(const uint8_t* data, size_t size) {
    while (size > 0) {
        ssize_t written = write(fd_, data, size);
        if (written < 0) {
            if (errno == EINTR) {
                continue;
            }
            return false;
        }
        data += written;
        size -= static_cast<size_t>(written);
        compressed_size_ += static_cast<size_t>(written);
    }
    return true;
}
