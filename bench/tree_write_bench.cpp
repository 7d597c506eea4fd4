// Reference figure for the extraction benchmark: the cost of writing the tree alone. Decompresses
// the whole pack into memory first (not timed), then writes its folders and files into FOLDER with
// the calls the installer's writer makes (create a folder and enter it, create a file, write it in
// chunks of the pipeline's size, close it), on one thread, with no hand-over and no waiting.
// A copy's processor time cannot come below the decompression's plus this.
//
// usage: tree_write_bench PACK FOLDER
// Prints "write WALL CPU": the seconds of the writing alone, wall time and processor time of the
// process (user + system). Exit status 0, 1 when the pack is faulty or a write fails, 2 for bad
// usage.

#include <time.h>

#include <chrono>
#include <cstdint>
#include <cstdio>
#include <string>
#include <vector>

#include "engine/pack_reader.h"
#include "platform/files.h"
#include "tools/dompack/mapped_file.h"

namespace {

struct Item {
    PackEntryKind kind;
    std::string name;
    std::vector<uint8_t> body;
};

double ProcessSeconds() {
    timespec now = {};
    clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &now);
    return static_cast<double>(now.tv_sec) + static_cast<double>(now.tv_nsec) / 1e9;
}

bool ReadAll(const MappedFile& pack, std::vector<Item>* items) {
    PackReader reader;
    if (reader.Open(pack.data(), static_cast<uint32_t>(pack.size())) != PackStatus::kOk) {
        return false;
    }
    for (int32_t i = 0; i < reader.EntryCount(); ++i) {
        const PackEntry entry = reader.Entry(i);
        Item item{entry.Kind(), std::string(entry.Name()), {}};
        if (item.kind == PackEntryKind::kFile) {
            item.body.resize(static_cast<size_t>(entry.SizeField()));
            for (size_t at = 0; at < item.body.size();) {
                const int got = reader.ReadBody(item.body.data() + at,
                                                static_cast<uint32_t>(item.body.size() - at));
                if (got <= 0) {
                    return false;
                }
                at += static_cast<size_t>(got);
            }
        }
        items->push_back(std::move(item));
    }
    return true;
}

bool WriteFile(const Item& item) {
    platform::OutputFile file;
    if (file.Create(item.name) != platform::FsError::kOk) {
        return false;
    }
    for (size_t at = 0; at < item.body.size(); at += kPackChunkSize) {
        const size_t left = item.body.size() - at;
        const uint32_t count = static_cast<uint32_t>(left < kPackChunkSize ? left : kPackChunkSize);
        uint32_t written = 0;
        if (file.Write(item.body.data() + at, count, &written) != platform::FsError::kOk) {
            return false;
        }
    }
    return file.Close() == platform::FsError::kOk;
}

bool WriteTree(const std::vector<Item>& items) {
    for (const Item& item : items) {
        bool ok = true;
        switch (item.kind) {
            case PackEntryKind::kFolder:
                ok = platform::CreateFolder(item.name) == platform::FsError::kOk &&
                     platform::SetCurrentFolder(item.name) == platform::FsError::kOk;
                break;
            case PackEntryKind::kUp:
                ok = platform::SetCurrentFolder(item.name) == platform::FsError::kOk;
                break;
            case PackEntryKind::kFile:
                ok = WriteFile(item);
                break;
        }
        if (!ok) {
            std::fprintf(stderr, "tree_write_bench: cannot write %s\n", item.name.c_str());
            return false;
        }
    }
    return true;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 3) {
        std::fputs("usage: tree_write_bench PACK FOLDER\n", stderr);
        return 2;
    }
    MappedFile pack;
    std::string error;
    std::vector<Item> items;
    if (!pack.Open(argv[1], &error) || !ReadAll(pack, &items)) {
        std::fprintf(stderr, "tree_write_bench: %s: cannot read the pack %s\n", argv[1],
                     error.c_str());
        return 1;
    }
    if (platform::SetCurrentFolder(argv[2]) != platform::FsError::kOk) {
        std::fprintf(stderr, "tree_write_bench: cannot enter %s\n", argv[2]);
        return 2;
    }
    const auto start = std::chrono::steady_clock::now();
    const double cpu_start = ProcessSeconds();
    if (!WriteTree(items)) {
        return 1;
    }
    const std::chrono::duration<double> wall = std::chrono::steady_clock::now() - start;
    std::printf("write %.4f %.4f\n", wall.count(), ProcessSeconds() - cpu_start);
    return 0;
}
