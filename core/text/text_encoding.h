// SPDX-License-Identifier: MIT
// UTF-8 and the Windows ANSI code page (Windows-1252), for readers of 8-bit
// Opera files and writers of 8-bit output.
#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>

namespace quarvo::formats {

// Length of the well-formed UTF-8 sequence of two or more bytes starting at
// `at`, or 0. RFC 3629: no overlong forms, no surrogates, nothing above
// U+10FFFF, so that decoding and encoding again gives the same bytes.
[[nodiscard]] std::size_t Utf8SequenceLength(std::string_view text, std::size_t at) noexcept;

// The code point of the well-formed sequence of `length` bytes at `at`.
[[nodiscard]] char32_t DecodeUtf8(std::string_view text, std::size_t at,
                                  std::size_t length) noexcept;

void AppendUtf8(std::string& out, char32_t code);

// Whether every byte of `text` is ASCII or part of a well-formed sequence.
[[nodiscard]] bool IsValidUtf8(std::string_view text) noexcept;

// The character of a Windows-1252 byte. The five bytes the code page leaves
// undefined give the C1 control of the same number, as browsers read them.
[[nodiscard]] char32_t Windows1252ToCodePoint(unsigned char byte) noexcept;

// The Windows-1252 byte of a character, or nothing when the code page lacks it.
[[nodiscard]] std::optional<unsigned char> CodePointToWindows1252(char32_t code) noexcept;

// `text` read as Windows-1252, in UTF-8.
[[nodiscard]] std::string Windows1252ToUtf8(std::string_view text);

}  // namespace quarvo::formats
