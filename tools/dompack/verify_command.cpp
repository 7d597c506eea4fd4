// dompack verify: the whole pack read through the installer's reader, checked end to end; of an
// installer, also every resource it needs.

#include <cstdio>
#include <string>

#include "engine/pack_verify.h"
#include "tools/dompack/commands.h"
#include "tools/dompack/pack_source.h"

int RunVerify(const std::string& file) {
    PackSource pack_file;
    std::string error;
    if (int open_status = kExitOk; !pack_file.Open(file, &error, &open_status)) {
        std::fprintf(stderr, "dompack verify: %s: %s\n", file.c_str(), error.c_str());
        return open_status;
    }
    // A program file must also hold everything the installer loads besides its payload.
    if (pack_file.is_program() && !CheckInstallerResources(pack_file.image(), &error)) {
        std::fprintf(stderr, "dompack verify: %s: %s\n", file.c_str(), error.c_str());
        return kExitFaulty;
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
