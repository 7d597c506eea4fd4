// Fuzzes the whole extraction: the input is the PACK resource, extracted through the installer's
// pipeline into a scratch install folder that already holds links leading outside it (a folder
// link, a file link, and a saved-games folder that is a link). After every run:
//  - nothing outside the scratch folder was created, changed or deleted: the folder beside it
//    (what the links lead to) holds exactly what it held, and the process's current folder is
//    back where it was;
//  - a run reported as a finished copy had an intact stream: an independent reading of the gzip
//    framing (zlib's raw inflate, every member's CRC and length checked, nothing after the last)
//    must agree.
// The first input byte chooses a first installation (odd: rolled back on failure, the saved games
// offered for deletion and deleted) or a reinstall; the rest is the resource. Inputs that are not
// gzip data are also tried wrapped in a gzip member, so that the pack layout itself is explored.

#include <unistd.h>
#include <zlib.h>

#include <climits>
#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <map>
#include <string>
#include <vector>

#include "engine/extraction.h"
#include "engine/pack_format.h"
#include "engine/progress_indicator.h"
#include "install/copy_rollback.h"
#include "platform/dialogs.h"
#include "res/resource_ids.h"
#include "tools/dompack/waiting_listener.h"

namespace {

namespace fs = std::filesystem;

constexpr size_t kMaxInput = 1 << 16;

void Check(bool condition) {
    if (!condition) {
        std::abort();
    }
}

// Every entry below `root` (links as links, never followed), with the files' contents.
std::map<std::string, std::string> Snapshot(const fs::path& root) {
    std::map<std::string, std::string> entries;
    std::error_code error;
    for (auto it = fs::recursive_directory_iterator(root, error); it != fs::end(it);
         it.increment(error)) {
        const std::string name = fs::relative(it->path(), root).string();
        if (it->is_symlink()) {
            entries[name] = "-> " + fs::read_symlink(it->path()).string();
        } else if (it->is_directory()) {
            entries[name] = "<folder>";
        } else {
            std::ifstream file(it->path(), std::ios::binary);
            entries[name].assign(std::istreambuf_iterator<char>(file), {});
        }
    }
    return entries;
}

// The answers a user may give: give up on a full disk, and delete the saved games.
class Answers : public platform::DialogHost {
  public:
    int Show(int resource_id) override {
        return resource_id == IDD_DELETE_SAVES ? platform::kDialogOk : platform::kDialogCancel;
    }
};

class QuietProgress : public ProgressIndicator {
  public:
    void Reset() override {}
    void SetTotal(uint32_t) override {}
    void Advance(uint32_t) override {}
    bool CancelRequested() override { return false; }
    void ClearCancelRequest() override {}
};

// True when `data` is one or more whole gzip members and nothing else, each member's CRC and
// length matching what it inflates to. Written apart from the installer's own reader.
bool IsIntactGzip(const std::vector<uint8_t>& data) {
    size_t at = 0;
    do {
        if (data.size() - at < 10 || data[at] != 0x1F || data[at + 1] != 0x8B ||
            data[at + 2] != 8 || (data[at + 3] & 0xE0) != 0) {
            return false;
        }
        const uint8_t flags = data[at + 3];
        at += 10;
        if (flags & 0x04) {
            if (data.size() - at < 2) {
                return false;
            }
            const size_t extra = data[at] | data[at + 1] << 8;
            at += 2;
            if (data.size() - at < extra) {
                return false;
            }
            at += extra;
        }
        for (uint8_t string_flag : {uint8_t{0x08}, uint8_t{0x10}}) {
            if (flags & string_flag) {
                while (at < data.size() && data[at] != 0) {
                    ++at;
                }
                if (at++ >= data.size()) {
                    return false;
                }
            }
        }
        if (flags & 0x02) {
            at += 2;
        }
        if (at > data.size()) {
            return false;
        }
        z_stream z = {};
        if (inflateInit2(&z, -MAX_WBITS) != Z_OK) {
            return false;
        }
        z.next_in = const_cast<Bytef*>(data.data() + at);
        z.avail_in = static_cast<uInt>(data.size() - at);
        uLong crc = crc32(0, nullptr, 0);
        uint8_t out[16384];
        int status = Z_OK;
        while (status == Z_OK) {
            z.next_out = out;
            z.avail_out = sizeof out;
            status = inflate(&z, Z_NO_FLUSH);
            crc = crc32(crc, out, static_cast<uInt>(sizeof out - z.avail_out));
        }
        const uLong length = z.total_out;
        at = data.size() - z.avail_in;
        inflateEnd(&z);
        if (status != Z_STREAM_END || data.size() - at < 8) {
            return false;
        }
        const uint32_t stored_crc = ReadLe32(data.data() + at);
        const uint32_t stored_length = ReadLe32(data.data() + at + 4);
        at += 8;
        if (stored_crc != crc || stored_length != static_cast<uint32_t>(length)) {
            return false;
        }
    } while (at < data.size());
    return true;
}

struct Scratch {
    fs::path root;     // holds the two folders below and nothing else
    fs::path install;  // root/work/Dominarch, made afresh for every run
    fs::path outside;  // root/outside, what the links lead to
    std::map<std::string, std::string> outside_snapshot;
    std::string current_folder;
};

Scratch& TheScratch();

void RemoveScratch() {
    std::error_code error;
    fs::remove_all(TheScratch().root, error);
}

Scratch& TheScratch() {
    static Scratch scratch = [] {
        Scratch s;
        std::string pattern = (fs::temp_directory_path() / "pipeline_fuzz.XXXXXX").string();
        Check(mkdtemp(pattern.data()) != nullptr);
        s.root = pattern;
        s.install = s.root / "work" / "Dominarch";
        s.outside = s.root / "outside";
        fs::create_directories(s.outside / "saves");
        fs::create_directories(s.outside / "data");
        std::ofstream(s.outside / "saves" / "game1.sav") << "saved";
        std::ofstream(s.outside / "data" / "level.dat") << "level";
        std::ofstream(s.outside / "sentinel.txt") << "sentinel";
        s.outside_snapshot = Snapshot(s.outside);
        s.current_folder = fs::current_path().string();
        std::atexit(RemoveScratch);
        return s;
    }();
    return scratch;
}

// The install folder as an earlier installation and a user's links left it.
void PrepareInstallFolder(const Scratch& s) {
    std::error_code error;
    fs::remove_all(s.root / "work", error);
    fs::create_directories(s.install / "data");
    fs::create_directory_symlink(s.outside / "saves", s.install / "save");
    fs::create_directory_symlink(s.outside / "data", s.install / "data" / "linked");
    fs::create_directory_symlink(s.outside / "data", s.install / "maps");
    fs::create_symlink(s.outside / "sentinel.txt", s.install / "Manual.txt");
    fs::create_symlink(s.outside / "sentinel.txt", s.install / "data" / "linked.txt");
}

void Extract(const std::vector<uint8_t>& pack, bool first_installation) {
    Scratch& s = TheScratch();
    PrepareInstallFolder(s);
    const std::vector<uint8_t> block(pack);  // an allocation of exactly the pack's size
    QuietProgress progress;
    Answers answers;
    WaitingListener listener;
    ExtractionRequest request;
    request.payload = block.data();
    request.payload_size = static_cast<uint32_t>(block.size());
    request.install_folder = s.install.string();
    request.progress = &progress;
    request.dialogs = &answers;
    request.listener = &listener;
    request.rollback = install::RollbackOfFailedCopy(s.install.string(), first_installation);
    Check(StartExtraction(std::move(request)));
    ExtractionFailure failure;
    const int result = listener.Wait(&failure);

    Check(fs::current_path().string() == s.current_folder);
    Check(Snapshot(s.outside) == s.outside_snapshot);
    std::error_code error;
    size_t beside = 0;
    for (const auto& entry : fs::directory_iterator(s.root, error)) {
        Check(entry.path() == s.root / "work" || entry.path() == s.outside);
        ++beside;
    }
    Check(beside == 2);
    Check(result == 0 || IsIntactGzip(pack));
}

std::vector<uint8_t> Gzipped(const uint8_t* data, size_t size) {
    std::vector<uint8_t> out(compressBound(static_cast<uLong>(size)) + 64);
    z_stream z = {};
    Check(deflateInit2(&z, 6, Z_DEFLATED, MAX_WBITS + 16, 8, Z_DEFAULT_STRATEGY) == Z_OK);
    z.next_in = const_cast<Bytef*>(data);
    z.avail_in = static_cast<uInt>(size);
    z.next_out = out.data();
    z.avail_out = static_cast<uInt>(out.size());
    Check(deflate(&z, Z_FINISH) == Z_STREAM_END);
    out.resize(z.total_out);
    deflateEnd(&z);
    return out;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size < 1 || size > kMaxInput) {
        return 0;
    }
    const bool first_installation = (data[0] & 1) != 0;
    const std::vector<uint8_t> pack(data + 1, data + size);
    Extract(pack, first_installation);
    if (pack.size() < 2 || pack[0] != 0x1F || pack[1] != 0x8B) {
        Extract(Gzipped(pack.data(), pack.size()), first_installation);
    }
    return 0;
}
