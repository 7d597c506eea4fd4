// Reference figure for the extraction benchmark: the cost of decompression alone. Maps a pack
// and reads its whole decompressed stream through memgz_read in pieces of the size the installer's
// reader asks for, into one buffer whose content is thrown away. Nothing is written anywhere.
//
// usage: memgz_discard_bench PACK
// Prints the decompressed byte count and the time taken by the reads (the mapping and the opening
// of the stream included). Exit status 0 when the stream ended cleanly, 1 otherwise, 2 for bad
// usage or a pack that cannot be mapped.

#include <chrono>
#include <cstdint>
#include <cstdio>
#include <memory>
#include <string>

#include "engine/memgz.h"
#include "engine/pack_format.h"
#include "tools/dompack/mapped_file.h"

namespace {

struct StreamCloser {
    void operator()(memgz_stream* stream) const { memgz_close(stream); }
};

// Reads the stream to its end; the total delivered, or -1 after a data error.
int64_t DiscardAll(memgz_stream* stream) {
    static uint8_t discard[kPackChunkSize];
    int64_t total = 0;
    for (;;) {
        int got = memgz_read(stream, discard, sizeof discard);
        if (got < 0) {
            return -1;
        }
        if (got == 0) {
            return total;
        }
        total += got;
    }
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fputs("usage: memgz_discard_bench PACK\n", stderr);
        return 2;
    }
    auto start = std::chrono::steady_clock::now();
    MappedFile pack;
    std::string error;
    if (!pack.Open(argv[1], &error)) {
        std::fprintf(stderr, "memgz_discard_bench: %s: %s\n", argv[1], error.c_str());
        return 2;
    }
    std::unique_ptr<memgz_stream, StreamCloser> stream(memgz_open(pack.data(), "rb", pack.size()));
    if (!stream) {
        std::fputs("memgz_discard_bench: memgz_open failed\n", stderr);
        return 2;
    }
    int64_t total = DiscardAll(stream.get());
    std::chrono::duration<double> elapsed = std::chrono::steady_clock::now() - start;
    if (total < 0 || !memgz_ended_cleanly(stream.get())) {
        std::fprintf(stderr, "memgz_discard_bench: %s: the gzip data is faulty\n", argv[1]);
        return 1;
    }
    std::printf("%lld bytes in %.3f s (%.1f MB/s)\n", static_cast<long long>(total),
                elapsed.count(), static_cast<double>(total) / 1e6 / elapsed.count());
    return 0;
}
