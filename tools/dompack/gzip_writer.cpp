#include "tools/dompack/gzip_writer.h"

#include <unistd.h>

#include <cerrno>

#include "engine/pack_format.h"

namespace {

constexpr uint8_t kHeader[10] = {0x1F, 0x8B, 8, 0, 0, 0, 0, 0, 0, 11};
constexpr int kLevel = 9;
constexpr int kRawDeflateWindowBits = -15;
constexpr int kMemoryLevel = 9;
constexpr size_t kOutputSize = 1 << 16;

}  // namespace

GzipWriter::~GzipWriter() {
    if (started_) {
        deflateEnd(&zstream_);
    }
}

bool GzipWriter::Begin(int fd) {
    fd_ = fd;
    out_.resize(kOutputSize);
    if (deflateInit2(&zstream_, kLevel, Z_DEFLATED, kRawDeflateWindowBits, kMemoryLevel,
                     Z_DEFAULT_STRATEGY) != Z_OK) {
        errno = ENOMEM;
        return false;
    }
    started_ = true;
    crc_ = crc32(0, Z_NULL, 0);
    return WriteOut(kHeader, sizeof kHeader);
}

bool GzipWriter::Write(const void* data, size_t size) {
    const Bytef* bytes = static_cast<const Bytef*>(data);
    while (size > 0) {
        uInt piece = size < kOutputSize ? static_cast<uInt>(size) : static_cast<uInt>(kOutputSize);
        crc_ = crc32(crc_, bytes, piece);
        length_ += piece;
        zstream_.next_in = const_cast<Bytef*>(bytes);
        zstream_.avail_in = piece;
        if (!Deflate(Z_NO_FLUSH)) {
            return false;
        }
        bytes += piece;
        size -= piece;
    }
    return true;
}

bool GzipWriter::Finish() {
    if (!Deflate(Z_FINISH)) {
        return false;
    }
    uint8_t trailer[8];
    WriteLe32(crc_, trailer);
    WriteLe32(length_, trailer + 4);
    return WriteOut(trailer, sizeof trailer);
}

// Runs deflate until it has taken all input (and, with Z_FINISH, ended the stream).
bool GzipWriter::Deflate(int flush) {
    int result = Z_OK;
    do {
        zstream_.next_out = out_.data();
        zstream_.avail_out = static_cast<uInt>(out_.size());
        result = deflate(&zstream_, flush);
        if (result == Z_STREAM_ERROR) {
            errno = EINVAL;
            return false;
        }
        if (!WriteOut(out_.data(), out_.size() - zstream_.avail_out)) {
            return false;
        }
    } while (zstream_.avail_out == 0 || (flush == Z_FINISH && result != Z_STREAM_END));
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
