// dompack as a publisher runs it: build a folder, list and verify the pack, and the refusals,
// each checked by exit status, message and what is left on disk; and the pack writer's size limit,
// called directly (a pack that passes the installer's would take gigabytes).

#include <fcntl.h>
#include <spawn.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>
#include <zlib.h>

#include <gtest/gtest.h>

#include <chrono>
#include <csignal>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <map>
#include <string>
#include <vector>

#include "tests/engine/pack_fixture.h"
#include "tools/dompack/pack_stream.h"

namespace fs = std::filesystem;

namespace {

class TempFolder {
  public:
    TempFolder() {
        std::string pattern = (fs::temp_directory_path() / "dompack_test.XXXXXX").string();
        path_ = mkdtemp(pattern.data()) ? pattern : "";
        EXPECT_FALSE(path_.empty());
    }
    ~TempFolder() {
        std::error_code ignored;
        fs::remove_all(path_, ignored);
    }
    const fs::path& path() const { return path_; }

  private:
    fs::path path_;
};

struct Outcome {
    int status;
    std::string out;
    std::string err;
};

std::string Quote(const std::string& text) {
    std::string quoted = "'";
    for (char c : text) {
        quoted += c == '\'' ? std::string("'\\''") : std::string(1, c);
    }
    return quoted + "'";
}

Bytes ReadFile(const fs::path& path) {
    std::ifstream file(path, std::ios::binary);
    return Bytes(std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>());
}

std::string ReadText(const fs::path& path) {
    Bytes bytes = ReadFile(path);
    return std::string(bytes.begin(), bytes.end());
}

void WriteFile(const fs::path& path, const Bytes& bytes) {
    fs::create_directories(path.parent_path());
    std::ofstream file(path, std::ios::binary);
    file.write(reinterpret_cast<const char*>(bytes.data()),
               static_cast<std::streamsize>(bytes.size()));
}

void WriteText(const fs::path& path, const std::string& text) {
    WriteFile(path, Bytes(text.begin(), text.end()));
}

// Runs dompack with the arguments, after `environment` ("NAME=value ..."); its output is caught
// in files of a folder of its own.
Outcome Dompack(const std::vector<std::string>& arguments, const std::string& environment = "") {
    TempFolder capture;
    std::string command = environment + " " + Quote(DOMPACK_PATH);
    for (const std::string& argument : arguments) {
        command += " " + Quote(argument);
    }
    command += " >" + Quote((capture.path() / "out").string()) + " 2>" +
               Quote((capture.path() / "err").string());
    int raw = std::system(command.c_str());
    return {WIFEXITED(raw) ? WEXITSTATUS(raw) : -1, ReadText(capture.path() / "out"),
            ReadText(capture.path() / "err")};
}

// Decompresses a series of gzip members with zlib's own reader; the uncompressed size of each.
bool GunzipMembers(const Bytes& gz, Bytes* raw, std::vector<size_t>* sizes) {
    z_stream z{};
    inflateInit2(&z, 16 + 15);
    raw->resize(1 << 20);
    z.next_in = const_cast<Bytef*>(gz.data());
    z.avail_in = static_cast<uInt>(gz.size());
    z.next_out = raw->data();
    z.avail_out = static_cast<uInt>(raw->size());
    int result = Z_STREAM_END;
    while (z.avail_in > 0 && result == Z_STREAM_END) {
        const uLong before = z.total_out;
        result = inflate(&z, Z_FINISH);
        sizes->push_back(z.total_out - before);
        const uLong total_out = z.total_out;
        inflateReset(&z);
        z.total_out = total_out;
    }
    raw->resize(z.total_out);
    inflateEnd(&z);
    return result == Z_STREAM_END;
}

// Decompresses one gzip member with zlib's own reader, which checks the CRC and the length field.
bool Gunzip(const Bytes& gz, Bytes* raw) {
    std::vector<size_t> sizes;
    return GunzipMembers(gz, raw, &sizes) && sizes.size() == 1;
}

std::vector<std::string> Entries(const fs::path& folder) {
    std::vector<std::string> names;
    for (const fs::directory_entry& entry : fs::directory_iterator(folder)) {
        names.push_back(entry.path().filename().string());
    }
    return names;
}

// The publisher's game folder: nested folders, an empty file and folder, a body of exactly two
// chunks, a name with a cp1252 letter.
void MakeGameTree(const fs::path& root) {
    WriteText(root / "Dominarch.exe", "MZ stand-in");
    WriteFile(root / "data" / "empty.dat", {});
    WriteFile(root / "data" / "maps" / "big.map", Pattern(131072, 9));
    fs::create_directories(root / "data" / "save");
    WriteText(root / "caf\xC3\xA9.txt", "menu");
    WriteText(root / "Zeta" / "a" / "b" / "c" / "deep.txt", "deep");
}

constexpr char kGameTreeListing[] =
    "11 Dominarch.exe\n"
    "Zeta/\n"
    "Zeta/a/\n"
    "Zeta/a/b/\n"
    "Zeta/a/b/c/\n"
    "4 Zeta/a/b/c/deep.txt\n"
    "4 caf\xC3\xA9.txt\n"
    "data/\n"
    "0 data/empty.dat\n"
    "data/maps/\n"
    "131072 data/maps/big.map\n"
    "data/save/\n";

TEST(Dompack, BuildThenListReproducesTheTree) {
    TempFolder work;
    MakeGameTree(work.path() / "game");
    std::string pack = (work.path() / "game.pack").string();

    Outcome build = Dompack({"build", (work.path() / "game").string(), pack});
    ASSERT_EQ(build.status, 0) << build.err;
    Outcome list = Dompack({"list", pack});
    EXPECT_EQ(list.status, 0) << list.err;
    EXPECT_EQ(list.out, kGameTreeListing);
    Outcome verify = Dompack({"verify", pack});
    EXPECT_EQ(verify.status, 0) << verify.err;
    EXPECT_NE(verify.out.find("ok: 5 files, 7 folders, 131091 bytes"), std::string::npos)
        << verify.out;
    EXPECT_EQ(Entries(work.path()).size(), 2u) << "no temporary file left beside the pack";
}

TEST(Dompack, BuildWritesOneStandardGzipMember) {
    TempFolder work;
    MakeGameTree(work.path() / "game");
    fs::path pack = work.path() / "game.pack";
    ASSERT_EQ(Dompack({"build", (work.path() / "game").string(), pack.string()}).status, 0);

    Bytes gz = ReadFile(pack);
    ASSERT_GE(gz.size(), 18u);
    EXPECT_EQ(Bytes(gz.begin(), gz.begin() + 10), Bytes({0x1F, 0x8B, 8, 0, 0, 0, 0, 0, 0, 11}));
    Bytes raw;
    ASSERT_TRUE(Gunzip(gz, &raw));
    const size_t entries = 5 + 7 * 2;
    EXPECT_EQ(raw.size(), 8 + entries * 64 + 131091);
    EXPECT_EQ(Bytes(raw.begin(), raw.begin() + 8), Bytes({'Z', 'O', 'L', 'T', 0xC0, 0x04, 0, 0}));
    // The second entry is the folder "Zeta", with the size field folders get.
    EXPECT_EQ(std::string(raw.begin() + 72, raw.begin() + 77), std::string("Zeta\0", 5));
    EXPECT_EQ(Bytes(raw.begin() + 132, raw.begin() + 136), Bytes({0, 0, 0, 0x80}));
    EXPECT_EQ(Dompack({"build", (work.path() / "game").string(), pack.string() + "2"}).status, 0);
    EXPECT_EQ(ReadFile(pack.string() + "2"), gz) << "the same tree gives the same bytes";
}

// Pieces of 1,000 bytes: the directory (1,224 bytes) and the bodies run across members.
TEST(Dompack, BuildCutsTheSameMembersOnAnyNumberOfThreads) {
    TempFolder work;
    MakeGameTree(work.path() / "game");
    const size_t raw_size = 8 + 19 * 64 + 131091;
    Bytes first;
    for (const char* threads : {"1", "2", "7"}) {
        fs::path pack = work.path() / (std::string(threads) + ".pack");
        Outcome build = Dompack({"build", (work.path() / "game").string(), pack.string()},
                                std::string("DOMPACK_PIECE_SIZE=1000 DOMPACK_THREADS=") + threads);
        ASSERT_EQ(build.status, 0) << threads << ": " << build.err;
        Bytes gz = ReadFile(pack);
        Bytes raw;
        std::vector<size_t> sizes;
        ASSERT_TRUE(GunzipMembers(gz, &raw, &sizes)) << threads;
        EXPECT_EQ(raw.size(), raw_size) << threads;
        ASSERT_EQ(sizes.size(), raw_size / 1000 + 1) << threads;
        EXPECT_EQ(std::vector<size_t>(sizes.begin(), sizes.end() - 1),
                  std::vector<size_t>(sizes.size() - 1, 1000))
            << threads;
        if (first.empty()) {
            first = gz;
        }
        EXPECT_EQ(gz, first) << threads << " threads give other bytes than 1";
    }
}

// The limit dompack setup puts on an installer's pack: refused (status 1) as soon as the pack
// passes it, with nothing past it written.
TEST(DompackPackStream, StopsAsSoonAsThePackPassesItsLimit) {
    const Bytes noise = Pattern(5 << 20, 3);  // three members that deflate cannot shrink
    const std::vector<ScannedEntry> entries = {{PackEntryKind::kFile, "noise",
                                                static_cast<uint32_t>(noise.size()), "noise",
                                                noise.data()}};
    TempFolder work;
    const std::string out = (work.path() / "pack").string();
    auto write = [&](uint64_t limit, PackSummary* summary) {
        const int fd = open(out.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0600);
        const int status = WritePackStream("setup", entries, fd, out, limit, summary);
        close(fd);
        return status;
    };
    PackSummary whole;
    ASSERT_EQ(write(kNoPackLimit, &whole), 0);
    const std::pair<uint64_t, int> rows[] = {
        {whole.compressed_size, 0}, {whole.compressed_size - 1, 1}, {1 << 20, 1}};
    for (const auto& [limit, status] : rows) {
        PackSummary summary;
        EXPECT_EQ(write(limit, &summary), status) << limit;
        EXPECT_LE(fs::file_size(out), limit) << limit;
    }
}

TEST(Dompack, BuildRefusesBadSettings) {
    TempFolder work;
    fs::create_directories(work.path() / "game");
    const std::string pack = (work.path() / "game.pack").string();
    const std::pair<const char*, const char*> rows[] = {
        {"DOMPACK_THREADS=0", "DOMPACK_THREADS must be a whole number from 1 to 256"},
        {"DOMPACK_THREADS=2x", "DOMPACK_THREADS must be"},
        {"DOMPACK_PIECE_SIZE=-1", "DOMPACK_PIECE_SIZE must be a whole number from 1 to"},
        {"DOMPACK_PIECE_SIZE=", "DOMPACK_PIECE_SIZE must be"},
    };
    for (const auto& [environment, message] : rows) {
        Outcome build = Dompack({"build", (work.path() / "game").string(), pack}, environment);
        EXPECT_EQ(build.status, 2) << environment;
        EXPECT_NE(build.err.find(message), std::string::npos) << environment << ": " << build.err;
    }
    EXPECT_EQ(Entries(work.path()).size(), 1u) << "nothing written";
}

TEST(Dompack, EmptyFolderGivesAnEmptyPack) {
    TempFolder work;
    fs::create_directories(work.path() / "nothing");
    std::string pack = (work.path() / "nothing.pack").string();
    ASSERT_EQ(Dompack({"build", (work.path() / "nothing").string(), pack}).status, 0);
    Outcome list = Dompack({"list", pack});
    EXPECT_EQ(list.status, 0) << list.err;
    EXPECT_EQ(list.out, "");
    EXPECT_EQ(Dompack({"verify", pack}).status, 0);
}

TEST(Dompack, VerifyNamesTheFaultOfEveryHostilePack) {
    TempFolder work;
    for (const HostilePack& hostile : HostilePacks()) {
        fs::path pack = work.path() / (std::string(hostile.label) + ".pack");
        WriteFile(pack, hostile.bytes);
        Outcome verify = Dompack({"verify", pack.string()});
        EXPECT_EQ(verify.status, 1) << hostile.label;
        EXPECT_NE(verify.err.find(hostile.fault), std::string::npos)
            << hostile.label << ": " << verify.err;
        if (hostile.entry >= 0) {
            std::string entry = "entry " + std::to_string(hostile.entry) + ": ";
            EXPECT_NE(verify.err.find(entry), std::string::npos)
                << hostile.label << ": " << verify.err;
        }
    }
}

TEST(Dompack, ListStopsAtAFaultyEntry) {
    TempFolder work;
    fs::path pack = work.path() / "climb.pack";
    WriteFile(pack, Gzip(PackBytes().File("a", "1").Up().File("b", "2").Raw()));
    Outcome list = Dompack({"list", pack.string()});
    EXPECT_EQ(list.status, 1);
    EXPECT_EQ(list.out, "1 a\n");
    EXPECT_NE(list.err.find("entry 1: up entry climbs above the install folder"), std::string::npos)
        << list.err;
}

TEST(Dompack, BuildRefusesWhatAPackCannotCarry) {
    struct Row {
        const char* label;
        void (*make)(const fs::path& root);
        const char* fault;
    };
    const Row rows[] = {
        {"name_of_60_bytes",
         [](const fs::path& root) { WriteText(root / "d" / std::string(60, 'n'), "x"); },
         "longer than 59 bytes"},
        {"name_of_60_bytes_in_cp1252",  // 59 letters and an e acute (two bytes in UTF-8)
         [](const fs::path& root) { WriteText(root / (std::string(59, 'n') + "\xC3\xA9"), ""); },
         "longer than 59 bytes"},
        {"chinese_name", [](const fs::path& root) { WriteText(root / "\xE4\xB8\xAD.txt", "x"); },
         "code page 1252"},
        {"invalid_utf8_name", [](const fs::path& root) { WriteText(root / "\xFF", "x"); },
         "code page 1252"},
        {"backslash_in_name", [](const fs::path& root) { WriteText(root / "a\\b", "x"); },
         "path separator"},
        {"colon_in_name", [](const fs::path& root) { WriteText(root / "a:b", "x"); }, "colon"},
        {"device_name", [](const fs::path& root) { WriteText(root / "sub" / "CON.txt", "x"); },
         "device"},
        {"trailing_dot", [](const fs::path& root) { fs::create_directories(root / "saves."); },
         "dot or a blank"},
        {"names_differing_in_case",
         [](const fs::path& root) {
             WriteText(root / "ReadMe.txt", "1");
             WriteText(root / "README.TXT", "2");
         },
         "used twice"},
        {"symbolic_link",
         [](const fs::path& root) {
             WriteText(root / "real", "x");
             fs::create_symlink("real", root / "link");
         },
         "symbolic link"},
        {"fifo", [](const fs::path& root) { mkfifo((root / "pipe").c_str(), 0600); },
         "special file"},
        {"file_of_2_gib",
         [](const fs::path& root) {
             WriteText(root / "huge", "");
             fs::resize_file(root / "huge", uint64_t{1} << 31);  // sparse: no disk used
         },
         "larger than 2147483647 bytes"},
    };
    for (const Row& row : rows) {
        TempFolder work;
        fs::create_directories(work.path() / "game" / "ok");
        WriteText(work.path() / "game" / "ok" / "fine.txt", "fine");
        row.make(work.path() / "game");
        fs::create_directories(work.path() / "out");
        std::string pack = (work.path() / "out" / "game.pack").string();
        Outcome build = Dompack({"build", (work.path() / "game").string(), pack});
        EXPECT_EQ(build.status, 1) << row.label << ": " << build.err;
        EXPECT_NE(build.err.find(row.fault), std::string::npos) << row.label << ": " << build.err;
        EXPECT_TRUE(Entries(work.path() / "out").empty()) << row.label << ": output left behind";
    }
}

// Ctrl-C or a kill while the pack is written: dompack stops by the signal, and its temporary file
// goes with it.
TEST(Dompack, AStopSignalRemovesTheTemporaryFile) {
    TempFolder work;
    WriteText(work.path() / "game" / "zeros", "");
    fs::resize_file(work.path() / "game" / "zeros", uint64_t{1} << 30);  // sparse; seconds to pack
    fs::create_directories(work.path() / "out");
    const std::string game = (work.path() / "game").string();
    const std::string pack = (work.path() / "out" / "game.pack").string();
    for (int signal : {SIGINT, SIGTERM}) {
        const char* arguments[] = {DOMPACK_PATH, "build", game.c_str(), pack.c_str(), nullptr};
        posix_spawn_file_actions_t quiet;
        posix_spawn_file_actions_init(&quiet);
        posix_spawn_file_actions_addopen(&quiet, 1, "/dev/null", O_WRONLY, 0);
        pid_t pid = 0;
        ASSERT_EQ(posix_spawn(&pid, DOMPACK_PATH, &quiet, nullptr,
                              const_cast<char* const*>(arguments), environ),
                  0);
        posix_spawn_file_actions_destroy(&quiet);
        const auto give_up = std::chrono::steady_clock::now() + std::chrono::seconds(20);
        while (fs::is_empty(work.path() / "out") && std::chrono::steady_clock::now() < give_up) {
            usleep(1000);
        }
        const bool writing = !fs::is_empty(work.path() / "out") && !fs::exists(pack);
        kill(pid, signal);
        int status = 0;
        waitpid(pid, &status, 0);
        ASSERT_TRUE(writing) << "no temporary file, or the pack done before the signal";
        EXPECT_TRUE(WIFSIGNALED(status) && WTERMSIG(status) == signal) << signal;
        EXPECT_TRUE(fs::is_empty(work.path() / "out")) << signal << ": temporary file left";
    }
}

TEST(Dompack, BuildTakesANameOf59Bytes) {
    TempFolder work;
    std::string name(58, 'n');
    WriteText(work.path() / "game" / (name + "\xC3\xA9"), "x");  // 59 bytes in cp1252
    std::string pack = (work.path() / "game.pack").string();
    Outcome build = Dompack({"build", (work.path() / "game").string(), pack});
    ASSERT_EQ(build.status, 0) << build.err;
    EXPECT_EQ(Dompack({"list", pack}).out, "1 " + name + "\xC3\xA9\n");
}

TEST(Dompack, UsageAndInputOutputErrors) {
    TempFolder work;
    fs::create_directories(work.path() / "game");
    std::string missing = (work.path() / "missing").string();
    struct Row {
        std::vector<std::string> arguments;
        int status;
        const char* text;  // in the output or the error output
    };
    const Row rows[] = {
        {{}, 2, "usage: dompack COMMAND"},
        {{"--help"}, 0, "usage: dompack COMMAND"},
        {{"build", "--help"}, 0, "usage: dompack build DIR OUT"},
        {{"list", "--help"}, 0, "usage: dompack list FILE"},
        {{"verify", "--help"}, 0, "usage: dompack verify FILE"},
        {{"pack", "x"}, 2, "unknown command 'pack'"},
        {{"build", "only-one"}, 2, "usage: dompack build"},
        {{"verify"}, 2, "usage: dompack verify"},
        {{"list", missing}, 2, "No such file"},
        {{"verify", missing}, 2, "No such file"},
        {{"verify", (work.path() / "game").string()}, 2, "not a regular file"},
        {{"build", missing, (work.path() / "x.pack").string()}, 2, "No such file"},
        {{"build", (work.path() / "game").string(), missing + "/x.pack"}, 2, "No such file"},
    };
    for (const Row& row : rows) {
        Outcome run = Dompack(row.arguments);
        EXPECT_EQ(run.status, row.status) << row.text;
        EXPECT_NE((run.out + run.err).find(row.text), std::string::npos) << run.out << run.err;
    }
    EXPECT_EQ(Entries(work.path()).size(), 1u) << "nothing written";
}

// The tree under a folder: "path/" for a folder, "path" -> content for a file.
std::map<std::string, std::string> TreeOf(const fs::path& root) {
    std::map<std::string, std::string> tree;
    for (const fs::directory_entry& entry : fs::recursive_directory_iterator(root)) {
        std::string path = fs::relative(entry.path(), root).string();
        if (entry.is_directory()) {
            tree[path + "/"] = "";
        } else {
            tree[path] = ReadText(entry.path());
        }
    }
    return tree;
}

TEST(DompackExtract, BuildThenExtractReproducesTheTree) {
    TempFolder work;
    MakeGameTree(work.path() / "game");
    std::string pack = (work.path() / "game.pack").string();
    // One member, then 133 members of 1,000 bytes, which the reader takes as one stream.
    for (const char* environment : {"", "DOMPACK_PIECE_SIZE=1000 DOMPACK_THREADS=3"}) {
        ASSERT_EQ(Dompack({"build", (work.path() / "game").string(), pack}, environment).status, 0);
        Outcome verify = Dompack({"verify", pack});
        EXPECT_EQ(verify.status, 0) << environment << ": " << verify.err;
        fs::remove_all(work.path() / "Dominarch");
        Outcome fresh = Dompack({"extract", pack, (work.path() / "Dominarch").string()});
        EXPECT_EQ(fresh.status, 0) << environment << ": " << fresh.err;
        EXPECT_EQ(TreeOf(work.path() / "Dominarch"), TreeOf(work.path() / "game")) << environment;
    }

    // Into an existing folder, given relative to the current one: other files stay.
    fs::create_directories(work.path() / "existing");
    WriteText(work.path() / "existing" / "mine.txt", "mine");
    const std::string command = "cd " + Quote(work.path().string()) + " && " + Quote(DOMPACK_PATH) +
                                " extract game.pack existing >/dev/null";
    ASSERT_EQ(std::system(command.c_str()), 0);
    auto expected = TreeOf(work.path() / "game");
    expected["mine.txt"] = "mine";
    EXPECT_EQ(TreeOf(work.path() / "existing"), expected);
}

TEST(DompackExtract, FailureNamesTheEntryAndRollsBackADominarchFolder) {
    struct Row {
        const char* label;
        Bytes pack;
        const char* folder;  // created by the extraction
        const char* message;
        std::map<std::string, std::string> left;  // in the folder afterwards; "-" : no folder
    };
    const Bytes climbing = Gzip(PackBytes().File("a", "1").Up().Folder("b").Up().Raw());
    const Bytes broken = GzipThenDataError(PackBytes()
                                               .File("first", "1")
                                               .Folder("d")
                                               .File("broken", Pattern(100000, 6))
                                               .Up()
                                               .DropBodyBytes(50000)
                                               .Raw());
    const Bytes good = Gzip(SampleTree().Raw());
    const Row rows[] = {
        {"wrong_magic",
         Gzip(SampleTree().Magic(0x544C4F59u).Raw()),
         "Dominarch",
         "wrong magic",
         {{"-", ""}}},
        {"data_after_the_last_body",
         Gzip(SampleTree().ExtraBodyBytes("!").Raw()),
         "Dominarch",
         "data follows the last body",
         {{"-", ""}}},
        {"trailer_cut_off",
         Bytes(good.begin(), good.end() - 3),
         "Dominarch",
         "cut off",
         {{"-", ""}}},
        {"climbing_into_dominarch",
         climbing,
         "Dominarch",
         "game.pack: ..: up entry climbs above the install folder",
         {{"-", ""}}},
        {"climbing_elsewhere", climbing, "elsewhere", "is left as it is", {}},
        {"data_error_into_dominarch",
         broken,
         "Dominarch",
         "game.pack: d/broken: data error",
         {{"-", ""}}},
        {"data_error_elsewhere",
         broken,
         "elsewhere",
         "d/broken: data error",
         {{"first", "1"}, {"d/", ""}}},
    };
    for (const Row& row : rows) {
        TempFolder work;
        fs::path pack = work.path() / "game.pack";
        WriteFile(pack, row.pack);
        fs::path folder = work.path() / row.folder;
        Outcome run = Dompack({"extract", pack.string(), folder.string()});
        EXPECT_EQ(run.status, 1) << row.label;
        EXPECT_NE(run.err.find(row.message), std::string::npos) << row.label << ": " << run.err;
        if (row.left.count("-") != 0) {
            EXPECT_FALSE(fs::exists(folder)) << row.label;
        } else {
            EXPECT_EQ(TreeOf(folder), row.left) << row.label;
        }
    }
}

// A pipe (or any file that is not a regular one) under a payload file's name is refused at once:
// opening it for writing would wait for a reader for ever.
TEST(DompackExtract, NeverWaitsOnAPipe) {
    TempFolder work;
    const fs::path pack = work.path() / "game.pack";
    WriteFile(pack, Gzip(PackBytes().File("first", "1").File("piped", "2").Raw()));
    const fs::path folder = work.path() / "into";
    fs::create_directory(folder);
    ASSERT_EQ(mkfifo((folder / "piped").c_str(), 0644), 0);
    Outcome run = Dompack({"extract", pack.string(), folder.string()});
    EXPECT_EQ(run.status, 1);
    EXPECT_NE(run.err.find("piped: is not a regular file"), std::string::npos) << run.err;
    EXPECT_TRUE(fs::is_fifo(folder / "piped"));
}

TEST(DompackExtract, UsageAndRefusals) {
    TempFolder work;
    WriteText(work.path() / "file", "x");
    WriteFile(work.path() / "game.pack", Gzip(SampleTree().Raw()));
    const std::string pack = (work.path() / "game.pack").string();
    struct Row {
        std::vector<std::string> arguments;
        int status;
        const char* text;
    };
    const Row rows[] = {
        {{"extract", "--help"}, 0, "usage: dompack extract PACK DIR"},
        {{"extract", pack}, 2, "usage: dompack extract"},
        {{"extract", (work.path() / "missing").string(), "x"}, 2, "No such file"},
        {{"extract", pack, (work.path() / "file").string()}, 1, "not a folder"},
        {{"extract", pack, (work.path() / "no" / "such").string()}, 1, "cannot create"},
    };
    for (const Row& row : rows) {
        Outcome run = Dompack(row.arguments);
        EXPECT_EQ(run.status, row.status) << row.text;
        EXPECT_NE((run.out + run.err).find(row.text), std::string::npos) << run.out << run.err;
    }
}

}  // namespace
