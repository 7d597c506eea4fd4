#include "tools/dompack/gzip_member.h"

#include <cerrno>
#include <cstring>

#include "engine/pack_format.h"

namespace {

constexpr uint8_t kHeader[10] = {0x1F, 0x8B, 8, 0, 0, 0, 0, 0, 0, 11};
constexpr size_t kTrailerSize = 8;
constexpr int kLevel = 9;
constexpr int kRawDeflateWindowBits = -15;
constexpr int kMemoryLevel = 9;

}  // namespace

GzipMemberEncoder::~GzipMemberEncoder() {
    if (started_) {
        deflateEnd(&zstream_);
    }
}

bool GzipMemberEncoder::Init() {
    if (deflateInit2(&zstream_, kLevel, Z_DEFLATED, kRawDeflateWindowBits, kMemoryLevel,
                     Z_DEFAULT_STRATEGY) != Z_OK) {
        errno = ENOMEM;
        return false;
    }
    started_ = true;
    return true;
}

// The whole block goes through deflate in one call, into room for deflateBound's worst case, so
// the stream must end in that call.
bool GzipMemberEncoder::Encode(const uint8_t* data, size_t size, std::vector<uint8_t>* member) {
    const auto length = static_cast<uLong>(size);
    const size_t bound = deflateBound(&zstream_, length);
    member->resize(sizeof kHeader + bound + kTrailerSize);
    std::memcpy(member->data(), kHeader, sizeof kHeader);
    zstream_.next_in = const_cast<Bytef*>(data);
    zstream_.avail_in = static_cast<uInt>(length);
    zstream_.next_out = member->data() + sizeof kHeader;
    zstream_.avail_out = static_cast<uInt>(bound);
    const int result = deflate(&zstream_, Z_FINISH);
    const size_t deflated = bound - zstream_.avail_out;
    if (deflateReset(&zstream_) != Z_OK || result != Z_STREAM_END) {
        errno = EINVAL;
        return false;
    }
    uint8_t* trailer = member->data() + sizeof kHeader + deflated;
    WriteLe32(static_cast<uint32_t>(crc32(crc32(0, Z_NULL, 0), data, static_cast<uInt>(length))),
              trailer);
    WriteLe32(static_cast<uint32_t>(length), trailer + 4);
    member->resize(sizeof kHeader + deflated + kTrailerSize);
    return true;
}
