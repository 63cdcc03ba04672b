// SPDX-License-Identifier: MIT
#include "text/line_ends.h"

#include <cstring>

#include "text/large_buffer.h"
#include "text/scan/line_end_scan.h"

namespace quarvo {
namespace {

bool HoldsByte(std::string_view text, char byte) noexcept {
    return !text.empty() && std::memchr(text.data(), byte, text.size()) != nullptr;
}

std::size_t CountByte(std::string_view text, char byte) noexcept {
    std::size_t count = 0;
    for (const char c : text) count += c == byte;
    return count;
}

}  // namespace

bool NeedsCrLfLineEnds(std::string_view text) noexcept {
    // A CR LF file, the usual kind, answers at its first line end.
    if (scan::HoldsCrLf(text)) return false;
    return HoldsByte(text, '\n') || HoldsByte(text, '\r');
}

std::size_t CrLfLineEndsGrowth(std::string_view text) noexcept {
    if (!NeedsCrLfLineEnds(text)) return 0;
    return CountByte(text, HoldsByte(text, '\n') ? '\n' : '\r');
}

void MakeLineEndsCrLfInPlace(char* data, std::size_t size, std::size_t growth) noexcept {
    if (growth == 0) return;
    // An LF gets a CR before it; where there is no LF, a CR gets an LF after
    // it. Either way each line end becomes the same two bytes.
    const char end = std::memchr(data, '\n', size) != nullptr ? '\n' : '\r';
    scan::WidenLineEnds(data, size, growth, end);
}

std::string WithCrLfLineEnds(std::string_view text) {
    std::string result;
    const std::size_t growth = CrLfLineEndsGrowth(text);
    result.reserve(text.size() + growth);
    AdviseHugePages(result);
    result.assign(text);
    result.resize(text.size() + growth);
    MakeLineEndsCrLfInPlace(result.data(), text.size(), growth);
    return result;
}

}  // namespace quarvo
