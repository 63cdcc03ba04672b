// SPDX-License-Identifier: MIT
// Plain, slow models of what the core promises, written independently of its
// code, for the fuzz targets to compare against.
#pragma once

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <string_view>

namespace quarvo::fuzz {

// Stops the fuzzer with a readable reason; libFuzzer records the input.
#define QUARVO_LAW(condition)                                                                 \
    do {                                                                                      \
        if (!(condition)) {                                                                   \
            std::fprintf(stderr, "law broken: %s (%s:%d)\n", #condition, __FILE__, __LINE__); \
            std::abort();                                                                     \
        }                                                                                     \
    } while (0)

inline std::string_view AsText(const std::uint8_t* data, std::size_t size) {
    return {reinterpret_cast<const char*>(data), size};
}

// Where to cut a text for a conversion in two parts: a place that the
// input itself picks, so that the fuzzer explores every boundary.
inline std::size_t CutPoint(std::string_view text) {
    if (text.empty()) return 0;
    return static_cast<unsigned char>(text.back()) * text.size() / 255;
}

// The text as the converters read it: a text holding a CR LF anywhere is
// taken as it is; else every LF is written as CR LF, or every CR where it
// holds no LF.
inline std::string CrLfTwin(std::string_view text) {
    if (text.find("\r\n") != std::string_view::npos) return std::string(text);
    const char end = text.find('\n') != std::string_view::npos ? '\n' : '\r';
    std::string out;
    for (const char c : text) {
        if (c == end)
            out += "\r\n";
        else
            out.push_back(c);
    }
    return out;
}

// Non-overlapping occurrences, as a reader counts tags.
inline std::size_t CountTags(std::string_view text, std::string_view tag) {
    std::size_t count = 0;
    for (std::size_t at = text.find(tag); at != std::string_view::npos;
         at = text.find(tag, at + tag.size()))
        ++count;
    return count;
}

inline std::size_t CountByte(std::string_view text, char byte) {
    std::size_t count = 0;
    for (char c : text) count += c == byte;
    return count;
}

inline bool Contains(std::string_view text, std::string_view part) {
    return text.find(part) != std::string_view::npos;
}

}  // namespace quarvo::fuzz
