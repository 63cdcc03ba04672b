// SPDX-License-Identifier: MIT
#include "inputs.h"

#include <cstdlib>
#include <filesystem>
#include <map>
#include <random>
#include <system_error>

#include "opera_gen.h"

namespace quarvo::bench {
namespace {

const std::string& Cached(std::map<std::size_t, std::string>& cache, std::size_t mib,
                          std::string (*make)(std::size_t, const gen::Options&)) {
    auto found = cache.find(mib);
    if (found == cache.end()) found = cache.emplace(mib, make(mib * kMiB, gen::Options{})).first;
    return found->second;
}

struct Scratch {
    std::filesystem::path path;
    bool owned = false;
    Scratch() {
        if (const char* dir = std::getenv("QUARVO_BENCH_DIR"); dir && *dir) {
            path = dir;
            std::filesystem::create_directories(path);
            return;
        }
        // A memory-backed folder keeps the disk's write-back out of the
        // figures, which then show what the file layer itself costs.
        std::filesystem::path base = std::filesystem::temp_directory_path();
        std::error_code error;
        if (const auto shm = std::filesystem::space("/dev/shm", error);
            !error && shm.available > (std::uintmax_t{2} << 30))
            base = "/dev/shm";
        path = base / ("quarvo-bench-" + std::to_string(std::random_device{}()));
        std::filesystem::create_directories(path);
        owned = true;
    }
    ~Scratch() {
        std::error_code ignored;
        if (owned) std::filesystem::remove_all(path, ignored);
    }
};

}  // namespace

const std::string& ContactsInput(std::size_t mib) {
    static std::map<std::size_t, std::string> cache;
    return Cached(cache, mib, gen::MakeContacts);
}

const std::string& HotlistInput(std::size_t mib) {
    static std::map<std::size_t, std::string> cache;
    return Cached(cache, mib, gen::MakeHotlist);
}

const std::string& NotesInput(std::size_t mib) {
    static std::map<std::size_t, std::string> cache;
    return Cached(cache, mib, gen::MakeNotes);
}

const std::string& ScratchFolder() {
    static const Scratch scratch;
    static const std::string name = scratch.path.string();
    return name;
}

}  // namespace quarvo::bench
