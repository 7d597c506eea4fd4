#include "tests/engine/pack_fixture.h"

#include <zlib.h>

#include <cstring>

namespace {

void Append(Bytes* out, const void* data, size_t size) {
    const uint8_t* bytes = static_cast<const uint8_t*>(data);
    out->insert(out->end(), bytes, bytes + size);
}

void AppendLe32(Bytes* out, uint32_t value) {
    for (int i = 0; i < 4; ++i) {
        out->push_back(static_cast<uint8_t>(value >> (8 * i)));
    }
}

// Raw deflate of `raw` at level 9, ended with `flush` (Z_FINISH or Z_SYNC_FLUSH).
Bytes Deflate(const Bytes& raw, int flush) {
    z_stream z{};
    deflateInit2(&z, 9, Z_DEFLATED, -15, 9, Z_DEFAULT_STRATEGY);
    Bytes out(deflateBound(&z, static_cast<uLong>(raw.size())) + 16);
    z.next_in = const_cast<Bytef*>(raw.data());
    z.avail_in = static_cast<uInt>(raw.size());
    z.next_out = out.data();
    z.avail_out = static_cast<uInt>(out.size());
    deflate(&z, flush);
    out.resize(z.total_out);
    deflateEnd(&z);
    return out;
}

Bytes GzipHeader() {
    return {0x1F, 0x8B, 8, 0, 0, 0, 0, 0, 0, 11};
}

}  // namespace

PackBytes& PackBytes::File(std::string_view name, std::string_view body) {
    Entry(name, static_cast<uint32_t>(body.size()));
    Append(&bodies_, body.data(), body.size());
    return *this;
}

PackBytes& PackBytes::File(std::string_view name, const Bytes& body) {
    Entry(name, static_cast<uint32_t>(body.size()));
    Append(&bodies_, body.data(), body.size());
    return *this;
}

PackBytes& PackBytes::Folder(std::string_view name) {
    return Entry(name, 0x80000000u);
}

PackBytes& PackBytes::Up() {
    return Entry("..", 0x80000000u);
}

PackBytes& PackBytes::Entry(std::string_view name_field, uint32_t size_field) {
    uint8_t name[60] = {};
    std::memcpy(name, name_field.data(), name_field.size() < 60 ? name_field.size() : 60);
    Append(&directory_, name, sizeof name);
    AppendLe32(&directory_, size_field);
    return *this;
}

PackBytes& PackBytes::Magic(uint32_t magic) {
    magic_ = magic;
    return *this;
}

PackBytes& PackBytes::DirectoryByteCount(uint32_t count) {
    count_set_ = true;
    count_ = count;
    return *this;
}

PackBytes& PackBytes::ExtraBodyBytes(std::string_view bytes) {
    Append(&bodies_, bytes.data(), bytes.size());
    return *this;
}

PackBytes& PackBytes::DropBodyBytes(size_t count) {
    bodies_.resize(bodies_.size() - count);
    return *this;
}

Bytes PackBytes::Raw() const {
    Bytes raw;
    AppendLe32(&raw, magic_);
    AppendLe32(&raw, count_set_ ? count_ : static_cast<uint32_t>(directory_.size()));
    Append(&raw, directory_.data(), directory_.size());
    Append(&raw, bodies_.data(), bodies_.size());
    return raw;
}

Bytes Gzip(const Bytes& raw) {
    Bytes out = GzipHeader();
    Bytes deflated = Deflate(raw, Z_FINISH);
    Append(&out, deflated.data(), deflated.size());
    AppendLe32(&out, static_cast<uint32_t>(crc32(0, raw.data(), static_cast<uInt>(raw.size()))));
    AppendLe32(&out, static_cast<uint32_t>(raw.size()));
    return out;
}

Bytes GzipThenDataError(const Bytes& raw) {
    Bytes out = GzipHeader();
    Bytes deflated = Deflate(raw, Z_SYNC_FLUSH);
    Append(&out, deflated.data(), deflated.size());
    out.push_back(0x07);  // a final block of the reserved type 3
    out.resize(out.size() + 16);
    return out;
}

Bytes Concat(const Bytes& first, const Bytes& second) {
    Bytes out = first;
    Append(&out, second.data(), second.size());
    return out;
}

ExactBlock::ExactBlock(const Bytes& bytes)
    : data_(new uint8_t[bytes.empty() ? 1 : bytes.size()]),
      size_(static_cast<uint32_t>(bytes.size())) {
    if (!bytes.empty()) {
        std::memcpy(data_.get(), bytes.data(), bytes.size());
    }
}

Bytes Pattern(size_t size, uint32_t seed) {
    Bytes out(size);
    uint32_t state = seed * 2654435761u + 1;
    for (uint8_t& byte : out) {
        state = state * 1664525u + 1013904223u;
        byte = static_cast<uint8_t>(state >> 24);
    }
    return out;
}

PackBytes SampleTree() {
    PackBytes pack;
    pack.File("Dominarch.exe", "MZ stand-in")
        .Folder("data")
        .File("empty.dat", "")
        .Folder("maps")
        .File("big.map", Pattern(131072, 1))
        .Up()
        .Folder("save")
        .Up()
        .Up()
        .File("caf\xE9.txt", "x");
    return pack;
}

Bytes TwoMembers(const Bytes& raw, size_t split) {
    return Concat(Gzip(Bytes(raw.begin(), raw.begin() + static_cast<std::ptrdiff_t>(split))),
                  Gzip(Bytes(raw.begin() + static_cast<std::ptrdiff_t>(split), raw.end())));
}

std::vector<HostilePack> HostilePacks() {
    Bytes good = Gzip(SampleTree().Raw());
    std::vector<HostilePack> packs;

    Bytes bad_crc = good;
    bad_crc.at(bad_crc.size() - 8) ^= 0x01;  // at(): GCC cannot see the pack is never empty
    packs.push_back({"bad_crc", bad_crc, -1, "CRC"});

    Bytes bad_length = good;
    bad_length.at(bad_length.size() - 1) ^= 0x40;
    packs.push_back({"bad_length_field", bad_length, -1, "length field"});

    // The last body is noise, so the cut falls inside it.
    Bytes noisy = Gzip(PackBytes().File("a", "1").File("noise", Pattern(50000, 7)).Raw());
    packs.push_back({"truncated_deflate", Bytes(noisy.begin(), noisy.end() - 20), 1, "truncated"});
    packs.push_back(
        {"cut_off_trailer", Bytes(good.begin(), good.end() - 4), -1, "cut-off trailer"});
    packs.push_back({"trailer_missing", Bytes(good.begin(), good.end() - 8), -1, "trailer"});
    packs.push_back(
        {"truncated_in_body", Bytes(good.begin(), good.begin() + good.size() / 2), 4, "truncated"});
    packs.push_back({"not_gzip", SampleTree().Raw(), -1, "not gzip"});
    packs.push_back({"wrong_magic", Gzip(SampleTree().Magic(0x544C4F59u).Raw()), -1, "magic"});
    packs.push_back({"up_above_root", Gzip(PackBytes().File("a", "1").Up().Folder("b").Raw()), 1,
                     "climbs above the install folder"});
    packs.push_back({"path_separator",
                     Gzip(PackBytes().Folder("d").File("..\\boot.ini", "x").Up().Raw()), 1,
                     "path separator"});
    packs.push_back({"name_unterminated", Gzip(PackBytes().File(std::string(60, 'n'), "x").Raw()),
                     0, "terminating zero"});
    packs.push_back({"dot_dot_file", Gzip(PackBytes().File("..", "x").Raw()), 0, "outside an up"});
    packs.push_back({"device_name", Gzip(PackBytes().File("aux.txt", "x").Raw()), 0, "reserved"});
    packs.push_back({"name_clash",
                     Gzip(PackBytes().File("Read.me", "1").File("READ.ME", "2").Raw()), 1,
                     "used twice"});
    packs.push_back(
        {"unbalanced", Gzip(PackBytes().Folder("a").File("b", "1").Raw()), -1, "does not end"});
    packs.push_back(
        {"bodies_longer_than_stream", Gzip(SampleTree().DropBodyBytes(1).Raw()), 9, "cut short"});
    packs.push_back({"bodies_shorter_than_stream", Gzip(SampleTree().ExtraBodyBytes("!!").Raw()),
                     -1, "2 bytes after the last body"});
    packs.push_back({"directory_not_whole_entries",
                     Gzip(PackBytes()
                              .File("a", "")
                              .DirectoryByteCount(65)
                              .ExtraBodyBytes(std::string_view("\0", 1))
                              .Raw()),
                     -1, "multiple of 64"});
    packs.push_back({"directory_cut_short",
                     Gzip(PackBytes().File("a", "").DirectoryByteCount(128).Raw()), -1,
                     "inside the directory"});
    packs.push_back(
        {"data_error_in_body",
         GzipThenDataError(PackBytes().File("a", std::string(100, 'a')).DropBodyBytes(50).Raw()), 0,
         "data error"});
    // Two members are a valid pack; the first one's length field is what is wrong here.
    const Bytes raw = SampleTree().Raw();
    Bytes two = TwoMembers(raw, 100);
    const size_t first_size = Gzip(Bytes(raw.begin(), raw.begin() + 100)).size();
    two.at(first_size - 4) ^= 0x01;  // the first member's length field: 101 instead of 100
    packs.push_back({"first_member_length_field", two, -1, "length field (101)"});
    return packs;
}
