// Fuzzes the memory gzip stream. The first input byte says how many of the following bytes give
// the read lengths (cycled); the rest is the block, copied to an allocation of exactly its size so
// that any read beyond it is caught. Checks that the documented results hold: no read delivers
// more than asked, the end and the error are sticky, and the reads always come to an end.
// The seeds in corpus/memgz are gzip fixtures behind the four bytes 02 06 8E 7F.

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <vector>

#include "engine/memgz.h"

namespace {

constexpr size_t kMaxOutput = 8 << 20;  // enough to cross many refills; bounds inflate bombs
constexpr int kMaxReads = 200000;

uint32_t ReadLength(uint8_t code) {
    if (code < 128) {
        return code + 1u;
    }
    return (1u << ((code - 128) % 18)) - (code & 1);  // powers of two and one less, 0 included
}

void Check(bool condition) {
    if (!condition) {
        std::abort();
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size == 0) {
        return 0;
    }
    const size_t length_count = std::min<size_t>(data[0] % 8 + 1, size - 1);
    std::vector<uint32_t> lengths(data + 1, data + 1 + length_count);
    for (uint32_t& length : lengths) {
        length = ReadLength(static_cast<uint8_t>(length));
    }
    if (lengths.empty()) {
        lengths.push_back(4096);
    }
    const size_t block_size = size - 1 - length_count;
    uint8_t* block = static_cast<uint8_t*>(std::malloc(block_size));
    std::memcpy(block, data + 1 + length_count, block_size);

    memgz_stream* stream = memgz_open(block, "rb", static_cast<uint32_t>(block_size));
    Check(stream != nullptr);
    std::vector<uint8_t> buffer;
    size_t delivered = 0;
    int ended = 1;  // 0 or -1 once a read has ended the data
    for (int i = 0; i < kMaxReads && delivered < kMaxOutput; ++i) {
        const uint32_t length = lengths[i % lengths.size()];
        buffer.resize(length == 0 ? 1 : length);
        const int result = memgz_read(stream, buffer.data(), length);
        Check(result >= -1 && result <= static_cast<int>(length));
        if (ended == -1) {
            Check(result == -1);
        } else if (ended == 0) {
            Check(result <= 0);
        }
        if (length == 0) {
            continue;
        }
        if (result <= 0) {
            if (ended <= 0) {
                break;  // seen twice: it holds
            }
            ended = result;
            continue;
        }
        delivered += result;
    }
    Check(memgz_close(stream) <= 0);
    std::free(block);
    return 0;
}
