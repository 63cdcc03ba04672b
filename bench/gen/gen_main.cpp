// SPDX-License-Identifier: MIT
// quarvo-gen-opera: writes a generated Opera file, for measuring the
// converter on files larger than anyone would keep in the repository.
//
//   quarvo-gen-opera contacts|hotlist|notes MIN_BYTES OUT [--seed N] [--lf]
//   quarvo-gen-opera mail MESSAGES MAILFOLDER [--seed N] [--average BYTES]
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <iostream>
#include <string>
#include <string_view>

#include "mail_gen.h"
#include "opera_gen.h"

namespace {

int Usage() {
    std::cerr << "usage: quarvo-gen-opera contacts|hotlist|notes MIN_BYTES OUT [--seed N] [--lf]\n"
                 "       quarvo-gen-opera mail MESSAGES MAILFOLDER [--seed N] [--average BYTES]\n"
                 "  MIN_BYTES may end in K or M (1024-based); messages average about 11 KB\n";
    return 2;
}

bool ParseSize(std::string_view text, std::size_t& size) {
    if (text.empty()) return false;
    std::size_t factor = 1;
    if (text.back() == 'K' || text.back() == 'k') factor = 1024;
    if (text.back() == 'M' || text.back() == 'm') factor = 1024 * 1024;
    if (factor != 1) text.remove_suffix(1);
    std::size_t value = 0;
    for (char c : text) {
        if (c < '0' || c > '9') return false;
        value = value * 10 + static_cast<std::size_t>(c - '0');
    }
    size = value * factor;
    return !text.empty();
}

}  // namespace

int main(int argc, char** argv) {
    if (argc < 4) return Usage();
    const std::string_view kind = argv[1];
    std::size_t size = 0;
    if (!ParseSize(argv[2], size)) return Usage();
    quarvo::gen::Options options;
    std::size_t average = 7000;  // with the attachments, about 11 KB a message
    for (int i = 4; i < argc; ++i) {
        const std::string_view arg = argv[i];
        if (arg == "--average" && i + 1 < argc) {
            average = std::strtoull(argv[++i], nullptr, 10);
        } else if (arg == "--lf") {
            options.bare_line_feeds = true;
        } else if (arg == "--seed" && i + 1 < argc) {
            options.seed = std::strtoull(argv[++i], nullptr, 10);
        } else {
            return Usage();
        }
    }
    if (kind == "mail") {
        try {
            const std::uint64_t bytes =
                quarvo::gen::WriteMailFolder(argv[3], size, average, options);
            std::cout << size << " messages, " << bytes << " bytes\n";
        } catch (const std::exception& error) {
            std::cerr << error.what() << "\n";
            return 1;
        }
        return 0;
    }
    std::string bytes;
    if (kind == "contacts") {
        bytes = quarvo::gen::MakeContacts(size, options);
    } else if (kind == "hotlist") {
        bytes = quarvo::gen::MakeHotlist(size, options);
    } else if (kind == "notes") {
        bytes = quarvo::gen::MakeNotes(size, options);
    } else {
        return Usage();
    }
    std::ofstream out(argv[3], std::ios::binary | std::ios::trunc);
    out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
    out.close();
    if (!out) {
        std::perror(argv[3]);
        return 1;
    }
    return 0;
}
