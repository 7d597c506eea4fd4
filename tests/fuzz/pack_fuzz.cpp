// Fuzzes the pack reader and the full check. The input is a PACK block as the installer would
// find it, copied to an allocation of exactly its size so that any read beyond it is caught:
//  - read the way the extraction pipeline reads it, walk going on past short bodies, every
//    count checked against what was asked;
//  - checked in full by VerifyPack;
//  - when it is not gzip data, the same again with the input wrapped in a gzip member, so that
//    the fuzzer can steer the pack layout itself while the gzip side stays honest.
// The seeds in corpus/pack are small packs, gzipped and plain, good and hostile.

#include <zlib.h>

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <vector>

#include "engine/pack_names.h"
#include "engine/pack_reader.h"
#include "engine/pack_verify.h"

namespace {

constexpr size_t kMaxInput = 1 << 20;

void Check(bool condition) {
    if (!condition) {
        std::abort();
    }
}

void ReadLikeThePipeline(const uint8_t* block, uint32_t size) {
    PackReader reader;
    if (reader.Open(block, size) != PackStatus::kOk) {
        Check(reader.EntryCount() == 0);
        return;
    }
    Check(reader.EntryCount() == PackEntryCount(reader.DirectoryByteCount()));
    std::vector<uint8_t> chunk(kPackChunkSize);
    PackWalk walk;
    for (int32_t i = 0; i < reader.EntryCount(); ++i) {
        PackEntry entry = reader.Entry(i);
        CheckEntryName(entry);
        walk.Step(entry);
        int32_t remaining = entry.SizeField();
        while (remaining >= 0) {
            uint32_t wanted = remaining < int32_t{kPackChunkSize} ? remaining : kPackChunkSize;
            int got = reader.ReadBody(chunk.data(), wanted);
            Check(got >= -1 && got <= static_cast<int>(wanted));
            if (got != static_cast<int>(kPackChunkSize)) {
                break;
            }
            remaining -= got;
        }
    }
    walk.Finish();
    reader.StreamEnd();
}

void Exercise(const std::vector<uint8_t>& bytes) {
    std::unique_ptr<uint8_t[]> block(new uint8_t[bytes.size() + (bytes.empty() ? 1 : 0)]);
    if (!bytes.empty()) {
        std::memcpy(block.get(), bytes.data(), bytes.size());
    }
    uint32_t size = static_cast<uint32_t>(bytes.size());
    ReadLikeThePipeline(block.get(), size);
    PackVerdict verdict = VerifyPack(block.get(), size);
    Check(verdict.ok == (verdict.message == "pack is valid"));
}

std::vector<uint8_t> GzipMember(const uint8_t* data, size_t size) {
    std::vector<uint8_t> out = {0x1F, 0x8B, 8, 0, 0, 0, 0, 0, 0, 11};
    z_stream z{};
    deflateInit2(&z, 1, Z_DEFLATED, -15, 8, Z_DEFAULT_STRATEGY);
    size_t start = out.size();
    out.resize(start + deflateBound(&z, static_cast<uLong>(size)) + 8);
    z.next_in = const_cast<Bytef*>(data);
    z.avail_in = static_cast<uInt>(size);
    z.next_out = out.data() + start;
    z.avail_out = static_cast<uInt>(out.size() - start);
    deflate(&z, Z_FINISH);
    out.resize(start + z.total_out);
    deflateEnd(&z);
    uint32_t trailer[2] = {static_cast<uint32_t>(crc32(0, data, static_cast<uInt>(size))),
                           static_cast<uint32_t>(size)};
    for (uint32_t value : trailer) {
        for (int i = 0; i < 4; ++i) {
            out.push_back(static_cast<uint8_t>(value >> (8 * i)));
        }
    }
    return out;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size > kMaxInput) {
        return 0;
    }
    Exercise(std::vector<uint8_t>(data, data + size));
    if (size < 2 || data[0] != 0x1F || data[1] != 0x8B) {
        Exercise(GzipMember(data, size));
    }
    return 0;
}
