// SPDX-License-Identifier: MIT
#include "quarvo/text/shown_text.h"

#include <cstdio>

#include "text/text_encoding.h"

namespace quarvo {
namespace {

void AppendEscape(std::string& out, const char* format, unsigned value) {
    char escape[16];
    std::snprintf(escape, sizeof escape, format, value);
    out += escape;
}

void AppendControl(std::string& out, unsigned char byte) {
    switch (byte) {
        case '\t':
            out += "\\t";
            return;
        case '\n':
            out += "\\n";
            return;
        case '\r':
            out += "\\r";
            return;
        case 0x1B:
            out += "\\e";
            return;
        default:
            AppendEscape(out, "\\x%02X", byte);
    }
}

}  // namespace

std::string Shown(std::string_view text) {
    std::string out;
    out.reserve(text.size());
    for (std::size_t at = 0; at < text.size();) {
        const auto byte = static_cast<unsigned char>(text[at]);
        if (byte < 0x20 || byte == 0x7F) {
            AppendControl(out, byte);
            ++at;
            continue;
        }
#ifndef _WIN32
        if (byte >= 0x80) {
            const std::size_t length = formats::Utf8SequenceLength(text, at);
            if (length == 0) {
                AppendEscape(out, "\\x%02X", byte);
                ++at;
                continue;
            }
            const char32_t code = formats::DecodeUtf8(text, at, length);
            if (code <= 0x9F || code == 0x2028 || code == 0x2029)
                AppendEscape(out, "\\u%04X", static_cast<unsigned>(code));
            else
                out.append(text.substr(at, length));
            at += length;
            continue;
        }
#endif
        out += static_cast<char>(byte);
        ++at;
    }
    return out;
}

std::string ShownBriefly(std::string_view text, std::size_t most) {
    if (text.size() <= most) return Shown(text);
    std::size_t end = most;
    // Not inside a UTF-8 sequence: continuation bytes are 10xxxxxx.
    while (end > 0 && (static_cast<unsigned char>(text[end]) & 0xC0) == 0x80) --end;
    return Shown(text.substr(0, end)) + "...";
}

}  // namespace quarvo
