// Fuzzes the reading of an installer's program file as dompack list, verify and extract read it:
// the PE headers and section table, the resource directory down to PACK 131, the resources the
// installer needs, and the pack found there checked in full. The input is copied to an
// allocation of exactly its size so that any read beyond it is caught. The seeds in
// corpus/setup are small program files with a resource directory, good and damaged.

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <string>

#include "engine/pack_verify.h"
#include "tools/dompack/pack_source.h"
#include "tools/dompack/pe_image.h"

namespace {

constexpr size_t kMaxInput = 1 << 20;

void Check(bool condition) {
    if (!condition) {
        std::abort();
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size > kMaxInput) {
        return 0;
    }
    std::unique_ptr<uint8_t[]> exact(new uint8_t[size > 0 ? size : 1]);
    if (size > 0) {
        std::memcpy(exact.get(), data, size);
    }
    PeImage image;
    std::string error;
    if (!image.Parse(exact.get(), size, &error)) {
        Check(!error.empty());
        return 0;
    }
    PeResource pack;
    if (image.FindResource("PACK", 131, &pack, &error)) {
        Check(pack.file_offset <= size && pack.size <= size - pack.file_offset);
        VerifyPack(exact.get() + pack.file_offset, pack.size);
    }
    CheckInstallerResources(image, &error);
    StampPlan plan;
    if (PlanStamp(exact.get(), size, &plan, &error)) {
        Check(plan.pack_offset >= size);
    }
    return 0;
}
