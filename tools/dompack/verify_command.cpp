// dompack verify: the whole pack read through the installer's reader, checked end to end.

#include <cstdio>
#include <string>

#include "engine/pack_verify.h"
#include "tools/dompack/commands.h"
#include "tools/dompack/mapped_file.h"

int RunVerify(const std::string& file) {
    MappedFile pack_file;
    std::string error;
    if (!pack_file.Open(file, &error)) {
        std::fprintf(stderr, "dompack verify: %s: %s\n", file.c_str(), error.c_str());
        return kExitUsage;
    }
    PackVerdict verdict = VerifyPack(pack_file.data(), pack_file.size());
    if (!verdict.ok) {
        std::fprintf(stderr, "dompack verify: %s: %s\n", file.c_str(),
                     DescribeVerdict(verdict).c_str());
        return kExitFaulty;
    }
    std::printf("%s: ok: %d files, %d folders, %llu bytes\n", file.c_str(), verdict.files,
                verdict.folders, static_cast<unsigned long long>(verdict.body_bytes));
    return kExitOk;
}
