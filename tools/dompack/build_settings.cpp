#include "tools/dompack/build_settings.h"

#include <algorithm>
#include <cstdlib>
#include <thread>

namespace {

constexpr unsigned long long kMaxThreads = 256;
constexpr unsigned long long kMaxPieceSize = 1ull << 30;

// The variable's value, `fallback` when it is unset; false when it is not a number from 1 to
// `max`.
bool ReadCount(const char* name, unsigned long long fallback, unsigned long long max,
               unsigned long long* value, std::string* error) {
    const char* text = std::getenv(name);
    if (text == nullptr) {
        *value = fallback;
        return true;
    }
    char* end = nullptr;
    *value = std::strtoull(text, &end, 10);
    if (*text < '0' || *text > '9' || *end != '\0' || *value < 1 || *value > max) {
        *error = std::string(name) + " must be a whole number from 1 to " + std::to_string(max);
        return false;
    }
    return true;
}

}  // namespace

bool GzipWriterOptionsFromEnvironment(GzipWriterOptions* options, std::string* error) {
    const unsigned long long cores =
        std::clamp<unsigned long long>(std::thread::hardware_concurrency(), 1, kMaxThreads);
    unsigned long long threads = 0;
    unsigned long long piece_size = 0;
    if (!ReadCount("DOMPACK_THREADS", cores, kMaxThreads, &threads, error) ||
        !ReadCount("DOMPACK_PIECE_SIZE", kDefaultPieceSize, kMaxPieceSize, &piece_size, error)) {
        return false;
    }
    options->threads = static_cast<int>(threads);
    options->piece_size = static_cast<size_t>(piece_size);
    return true;
}
