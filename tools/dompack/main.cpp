// dompack: the publisher's tool for pack archives, the payload format of the installer.
//
//   dompack build DIR OUT   packs DIR's tree into OUT (gzip members compressed on every core)
//   dompack list FILE       prints the tree a pack holds
//   dompack verify FILE     reads a pack as the installer does and checks every part of it
//   dompack extract PACK DIR  unpacks a pack into DIR through the installer's own pipeline
//   dompack setup DIR OUT.exe [--stub STUB.exe]  a ready installer carrying DIR's pack

#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include "tools/dompack/commands.h"

namespace {

struct Command {
    const char* name;
    int arguments;  // how many the command takes; -1: its run checks them
    const char* help;
    int (*run)(const std::vector<std::string>& arguments);
};

constexpr int kUsageError = -1;

// GAME_DIR OUT.exe, with "--stub STUB.exe" before, between or after them.
int RunSetupArguments(const std::vector<std::string>& arguments) {
    std::vector<std::string> plain;
    std::string stub;
    for (size_t i = 0; i < arguments.size(); ++i) {
        if (arguments[i] == "--stub" && i + 1 < arguments.size() && stub.empty()) {
            stub = arguments[++i];
        } else {
            plain.push_back(arguments[i]);
        }
    }
    if (plain.size() != 2 || (stub.empty() && arguments.size() != 2)) {
        return kUsageError;
    }
    return RunSetup(plain[0], plain[1], stub);
}

constexpr char kOverview[] =
    "usage: dompack COMMAND ARGUMENTS...\n"
    "\n"
    "Builds, lists and verifies pack archives, the installer's payload format.\n"
    "\n"
    "commands:\n"
    "  build DIR OUT   pack the tree of folder DIR into the file OUT\n"
    "  list FILE       print the tree a pack holds\n"
    "  verify FILE     check a pack from end to end\n"
    "  extract PACK DIR  unpack PACK into folder DIR as the installer does\n"
    "  setup DIR OUT.exe [--stub STUB.exe]  make a ready installer of folder DIR\n"
    "\n"
    "list, verify and extract take a pack or an installer (Setup.exe) that carries one.\n"
    "\n"
    "'dompack COMMAND --help' describes one command.\n"
    "exit status: 0 success, 1 a faulty pack, a tree that cannot be packed or a\n"
    "failed extraction, 2 bad usage or an I/O error.\n";

const Command kCommands[] = {
    {"build", 2,
     "usage: dompack build DIR OUT\n"
     "\n"
     "Packs the tree of folder DIR into OUT: the pack layout, the tree walked in name order,\n"
     "as a series of gzip members (deflate level 9), one for each 2 MiB of the layout,\n"
     "compressed on every core. Names are stored in code page 1252. DOMPACK_THREADS=N\n"
     "compresses on N threads instead (the output stays the same); DOMPACK_PIECE_SIZE=BYTES\n"
     "makes the members hold BYTES each (this changes the output).\n"
     "\n"
     "Refused (exit status 1), naming the path: a name longer than 59 bytes in cp1252, a\n"
     "name cp1252 cannot store, a name Windows cannot use (path or drive separators, control\n"
     "or reserved characters, device names such as CON or LPT1, a trailing dot or blank), two\n"
     "names in one folder that differ only in case, a file of 2 GiB or more, symbolic links\n"
     "and special files. Exit status 2: bad usage or an I/O error.\n"
     "OUT is written under a temporary name and renamed when complete; on any failure\n"
     "nothing is left behind.\n",
     [](const std::vector<std::string>& a) { return RunBuild(a[0], a[1]); }},
    {"list", 1,
     "usage: dompack list FILE\n"
     "\n"
     "Prints one line per entry in directory order: a file as '<size> <path>', a folder as\n"
     "'<path>/', paths relative to the install folder with '/' between names, names in UTF-8.\n"
     "Only the directory is read. Exit status 1 when the directory is faulty, 2 for bad usage\n"
     "or an I/O error.\n",
     [](const std::vector<std::string>& a) { return RunList(a[0]); }},
    {"verify", 1,
     "usage: dompack verify FILE\n"
     "\n"
     "Reads the whole pack through the installer's reader and checks the gzip data (CRC,\n"
     "length field, no truncation), the magic, every name, the walk of folder and up entries\n"
     "(never above the install folder, ending in it) and that the bodies fill the rest of the\n"
     "stream exactly. Stops at the first fault and names it, with the entry's number (from 0,\n"
     "in directory order) when the fault is an entry's. Of an installer (Setup.exe), also\n"
     "checks every resource it needs (its dialogs, bitmaps, glyph table, ReadMe, strings and\n"
     "icon with its images) and names a missing or damaged one by its id.\n"
     "Exit status 0 for a good pack, 1 for a faulty one, 2 for bad usage or an I/O error.\n",
     [](const std::vector<std::string>& a) { return RunVerify(a[0]); }},
    {"extract", 2,
     "usage: dompack extract PACK DIR\n"
     "\n"
     "Unpacks the pack in file PACK into folder DIR through the installer's own reader and\n"
     "extraction pipeline, with a progress bar when stderr is a terminal. Files of the pack\n"
     "replace files of the same names in DIR; everything else in DIR stays. Names are\n"
     "written in UTF-8. Symbolic links in DIR are never followed: a folder of the pack that is\n"
     "a link in DIR fails the extraction, and a file of the pack replaces the link itself.\n"
     "A pack whose names or up entries would lead outside DIR is refused before anything is\n"
     "written; a full disk ends the extraction.\n"
     "\n"
     "A missing DIR is created, and the extraction counts as a first installation: when it\n"
     "fails, what it wrote is removed again together with DIR -- but only if DIR is named\n"
     "'Dominarch' (for instance /games/Dominarch), the installer's guard against emptying a\n"
     "folder that is not a game folder. Under any other name DIR and whatever was extracted\n"
     "before the failure stay. An existing DIR is never removed.\n"
     "\n"
     "Exit status 0 when the whole tree was extracted, 1 when the extraction failed (the\n"
     "message names the entry and what went wrong), 2 for bad usage or a PACK that cannot be\n"
     "read.\n",
     [](const std::vector<std::string>& a) { return RunExtract(a[0], a[1]); }},
    {"setup", -1,
     "usage: dompack setup DIR OUT.exe [--stub STUB.exe]\n"
     "\n"
     "Makes a ready installer of the game folder DIR, with no compiler: packs DIR exactly as\n"
     "'dompack build' does and writes OUT.exe, the payload-free installer STUB.exe (by\n"
     "default the SetupBare.exe beside this program) carrying that pack as its PACK 131, in a\n"
     "section of its own. The pack holds the stub itself as the game's top-level Setup.exe,\n"
     "which the uninstall entry and the Start-menu shortcut start; a Setup.exe at the top of\n"
     "DIR is replaced in the pack by it, with a warning (DIR itself is never changed).\n"
     "The same DIR and stub give the same bytes on every run and every machine. Sign OUT.exe\n"
     "afterwards if you sign (osslsigncode sign ...): a signed stub is refused.\n"
     "\n"
     "Refused (exit status 1): everything 'dompack build' refuses; a pack of more than\n"
     "1800 MiB, the most the 32-bit installer can carry (dompack stops as soon as the pack\n"
     "passes it); and a stub that is not a payload-free installer (it carries a payload\n"
     "already, is signed, is no PE image, or is linked with a file alignment other than its\n"
     "section alignment of 4096 or more, which the system could not map).\n"
     "Exit status 2: bad usage or an I/O error. OUT.exe is written under a temporary name and\n"
     "renamed when complete; on any failure nothing is left behind.\n",
     RunSetupArguments},
};

bool IsHelp(const char* argument) {
    return std::strcmp(argument, "--help") == 0 || std::strcmp(argument, "-h") == 0;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc < 2) {
        std::fputs(kOverview, stderr);
        return kExitUsage;
    }
    if (IsHelp(argv[1])) {
        std::fputs(kOverview, stdout);
        return kExitOk;
    }
    for (const Command& command : kCommands) {
        if (std::strcmp(argv[1], command.name) != 0) {
            continue;
        }
        std::vector<std::string> arguments(argv + 2, argv + argc);
        for (const std::string& argument : arguments) {
            if (IsHelp(argument.c_str())) {
                std::fputs(command.help, stdout);
                return kExitOk;
            }
        }
        const int status =
            command.arguments < 0 || static_cast<int>(arguments.size()) == command.arguments
                ? command.run(arguments)
                : kUsageError;
        if (status == kUsageError) {
            std::fputs(command.help, stderr);
            return kExitUsage;
        }
        return status;
    }
    std::fprintf(stderr, "dompack: unknown command '%s'\n\n%s", argv[1], kOverview);
    return kExitUsage;
}
