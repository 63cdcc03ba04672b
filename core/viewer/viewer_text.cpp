// SPDX-License-Identifier: MIT
#include "quarvo/viewer/viewer_text.h"

#include <algorithm>
#include <array>

#include "text/text_encoding.h"

namespace quarvo {
namespace {

unsigned char At(std::string_view s, std::size_t i) {
    return static_cast<unsigned char>(s[i]);
}

bool IsStandIn(char32_t code) {
    return code == kZeroByteStandIn ||
           (code >= kStrayByteStandIns + 0x80 && code <= kStrayByteStandIns + 0xFF);
}

// Bytes 0x80 to 0x9F as Windows-1252 shows them, the code page Opera files
// written on Windows were in. Its five unassigned bytes keep their Latin-1
// control codes, so that every byte has a character of its own and back.
constexpr char16_t kHighControls[32] = {
    0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
    0x2039, 0x0152, 0x008D, 0x017D, 0x008F, 0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
    0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178,
};

char32_t CharOfByte(unsigned char byte) {
    if (byte >= 0x80 && byte <= 0x9F) return kHighControls[byte - 0x80];
    return byte;
}

// The byte `code` stands for in an 8-bit file; -1 for none.
int ByteOfChar(char32_t code) {
    if (code < 0x80 || (code >= 0xA0 && code <= 0xFF)) return static_cast<int>(code);
    for (int i = 0; i < 32; ++i) {
        if (kHighControls[i] == code) return 0x80 + i;
    }
    return -1;
}

// Bytes that both conversions copy as they are: ASCII but for the zero
// byte. Most of a file is runs of them.
constexpr std::array<bool, 256> kPlainBytes = [] {
    std::array<bool, 256> plain{};
    for (int b = 1; b < 0x80; ++b) plain[b] = true;
    return plain;
}();

std::size_t PlainRunEnd(std::string_view s, std::size_t i) {
    while (i < s.size() && kPlainBytes[At(s, i)]) ++i;
    return i;
}

}  // namespace

TextEncoding ChooseEncoding(std::string_view bytes) {
    std::size_t good = 0, stray = 0;
    for (std::size_t i = 0; i < bytes.size();) {
        if (At(bytes, i) < 0x80) {
            ++i;
            continue;
        }
        const std::size_t length = formats::Utf8SequenceLength(bytes, i);
        if (length == 0) {
            ++stray;
            ++i;
        } else {
            ++good;
            i += length;
        }
    }
    return stray <= good ? TextEncoding::Utf8 : TextEncoding::OneCharPerByte;
}

std::string ToEditorText(std::string_view bytes, TextEncoding encoding) {
    std::string out;
    // Room for a few characters of more than one byte, without growing.
    out.reserve(bytes.size() + bytes.size() / 16 + 16);
    AppendEditorText(bytes, encoding, out);
    return out;
}

void AppendEditorText(std::string_view bytes, TextEncoding encoding, std::string& out) {
    for (std::size_t i = 0; i < bytes.size();) {
        const std::size_t run_end = PlainRunEnd(bytes, i);
        out.append(bytes.substr(i, run_end - i));
        i = run_end;
        if (i == bytes.size()) break;
        const unsigned char c = At(bytes, i);
        if (c == 0) {
            formats::AppendUtf8(out, kZeroByteStandIn);
            ++i;
        } else if (encoding == TextEncoding::OneCharPerByte) {
            formats::AppendUtf8(out, CharOfByte(c));
            ++i;
        } else if (const std::size_t length = formats::Utf8SequenceLength(bytes, i);
                   length != 0 && !IsStandIn(formats::DecodeUtf8(bytes, i, length))) {
            out.append(bytes.substr(i, length));
            i += length;
        } else {
            // A stray byte, or one byte of a stand-in the file itself holds.
            const std::size_t end = i + (length == 0 ? 1 : length);
            for (; i < end; ++i) formats::AppendUtf8(out, kStrayByteStandIns + At(bytes, i));
        }
    }
}

void ForEachEditorPiece(std::string_view bytes, TextEncoding encoding,
                        const std::function<void(std::string_view)>& take) {
    std::string piece;
    for (std::size_t start = 0; start < bytes.size();) {
        // Cut after an ASCII byte, which is never part of a longer character.
        std::size_t end = std::min(start + kEditorPieceBytes, bytes.size());
        while (end < bytes.size() && At(bytes, end - 1) >= 0x80) ++end;
        piece.clear();
        AppendEditorText(bytes.substr(start, end - start), encoding, piece);
        take(piece);
        start = end;
    }
}

LineBreak FirstLineBreak(std::string_view bytes) {
    const std::size_t at = bytes.find_first_of("\r\n");
    if (at == std::string_view::npos) return LineBreak::CrLf;
    if (bytes[at] == '\n') return LineBreak::Lf;
    // A CR that ends the file may yet be followed by the LF of a CR LF.
    return at + 1 == bytes.size() || bytes[at + 1] == '\n' ? LineBreak::CrLf : LineBreak::Cr;
}

std::vector<StandInName> StandInNames() {
    std::vector<StandInName> names;
    names.reserve(0x81);
    std::string stand_in;
    formats::AppendUtf8(stand_in, kZeroByteStandIn);
    names.push_back({stand_in, "NUL"});
    constexpr char kHex[] = "0123456789ABCDEF";
    for (int byte = 0x80; byte <= 0xFF; ++byte) {
        stand_in.clear();
        formats::AppendUtf8(stand_in, kStrayByteStandIns + static_cast<char32_t>(byte));
        names.push_back({stand_in, {'x', kHex[byte >> 4], kHex[byte & 15]}});
    }
    return names;
}

EncodedText FromEditorText(std::string_view text, TextEncoding encoding) {
    EncodedText result;
    std::string& out = result.bytes;
    out.reserve(text.size());
    for (std::size_t i = 0; i < text.size();) {
        const unsigned char c = At(text, i);
        if (c < 0x80) {
            const std::size_t run_end = PlainRunEnd(text, i + 1);
            out.append(text.substr(i, run_end - i));
            i = run_end;
            continue;
        }
        const std::size_t length = formats::Utf8SequenceLength(text, i);
        if (length == 0) {
            out.push_back(static_cast<char>(c));
            ++i;
            continue;
        }
        const char32_t code = formats::DecodeUtf8(text, i, length);
        int byte = -1;
        if (code == kZeroByteStandIn) {
            byte = 0;
        } else if (IsStandIn(code)) {
            byte = static_cast<int>(code - kStrayByteStandIns);
        } else if (encoding == TextEncoding::Utf8) {
            out.append(text.substr(i, length));
        } else if (byte = ByteOfChar(code); byte < 0) {
            if (result.unencodable++ == 0) result.first_unencodable = code;
            byte = '?';
        }
        if (byte >= 0) out.push_back(static_cast<char>(byte));
        i += length;
    }
    return result;
}

}  // namespace quarvo
