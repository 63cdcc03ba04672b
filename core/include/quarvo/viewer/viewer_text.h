// SPDX-License-Identifier: MIT
// The file viewer's two conversions between a file's bytes and the UTF-8
// text its editor shows. Opera files may be UTF-8 or an 8-bit code page, may
// hold stray bytes that are valid in neither, and may even hold zero bytes;
// a viewer that saves them back must not alter a byte the user did not touch.
//
// So every byte has a character that stands for it and comes back as that
// byte: a zero byte is shown as U+2400 (SYMBOL FOR NULL), and in a UTF-8 file
// a byte that is no part of a well-formed sequence is shown as U+F700 plus
// the byte (U+F780 to U+F7FF, private use), the way a surrogate escape keeps
// it. A file that itself holds one of these stand-in characters has that
// character's bytes escaped one by one, so that it too comes back unchanged.
#pragma once

#include <cstddef>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

namespace quarvo {

enum class TextEncoding {
    Utf8,
    // Every byte its own character: Windows-1252, with its five unassigned
    // bytes shown as the Latin-1 control codes of the same value.
    OneCharPerByte,
};

// The character a zero byte is shown as.
inline constexpr char32_t kZeroByteStandIn = 0x2400;
// In a UTF-8 file, byte b (0x80 to 0xFF) outside any well-formed sequence is
// shown as kStrayByteStandIns + b.
inline constexpr char32_t kStrayByteStandIns = 0xF700;

// Utf8 unless the bytes that are no part of a well-formed UTF-8 sequence
// outnumber the well-formed sequences of two to four bytes: an 8-bit file
// forms such sequences only by chance, while a UTF-8 file with a stray byte
// usually holds many good ones.
[[nodiscard]] TextEncoding ChooseEncoding(std::string_view bytes);

// The text the editor shows for `bytes`, in UTF-8: every byte decoded as
// `encoding` says (stand-ins above). Tabs and line breaks stay as they are,
// each line keeping its own break (CR LF, a lone CR or a lone LF), so that
// a text saved without edits gives back the file's bytes exactly.
[[nodiscard]] std::string ToEditorText(std::string_view bytes, TextEncoding encoding);

// The same for a file given piece by piece, appended to `out`: `bytes` must
// not end inside a character of more than one byte.
void AppendEditorText(std::string_view bytes, TextEncoding encoding, std::string& out);

// About how many of the file's bytes ForEachEditorPiece hands on at a time.
inline constexpr std::size_t kEditorPieceBytes = std::size_t{1} << 20;

// ToEditorText's text for `bytes`, handed to `take` in pieces of about
// kEditorPieceBytes, each cut after an ASCII byte: an editor is filled
// without the converted text ever being held whole beside the file's bytes
// and the editor's own copy.
void ForEachEditorPiece(std::string_view bytes, TextEncoding encoding,
                        const std::function<void(std::string_view)>& take);

// The line break of the file's first line, which a line the user adds gets
// too; CR LF for a file without any.
enum class LineBreak { CrLf, Lf, Cr };
[[nodiscard]] LineBreak FirstLineBreak(std::string_view bytes);

// How both front ends' editors show the text: a fixed-pitch font, a silver
// line after column 80, and a tab two columns wide, the two blanks that
// Opera's indenting tab takes at a line's start.
inline constexpr const char* kEditorFontFamily = "Courier New";
inline constexpr int kEditorFontPixels = 13;  // 10 points at 96 dots per inch
inline constexpr int kEditorRightMargin = 80;
inline constexpr int kEditorTabWidth = 2;
inline constexpr unsigned char kEditorMarginGrey = 192;

// What an editor shows, boxed, in place of a stand-in: the byte it stands
// for, "NUL" or "x80" to "xFF", the way the editor names control codes and
// bytes it cannot decode. A private-use stand-in has no glyph, and few
// fonts have one for U+2400.
struct StandInName {
    std::string stand_in;  // in UTF-8
    std::string name;
};
[[nodiscard]] std::vector<StandInName> StandInNames();

struct EncodedText {
    std::string bytes;
    // Characters that `encoding` cannot hold, each written as '?' in `bytes`.
    std::size_t unencodable = 0;
    // The first of them (0 when there is none).
    char32_t first_unencodable = 0;
};

// The file's bytes for the editor's UTF-8 `text`: stand-ins written back
// as their bytes and every other character encoded as `encoding` says; tabs
// and line breaks as the text has them. Bytes of `text` that are not UTF-8
// are kept as they are.
[[nodiscard]] EncodedText FromEditorText(std::string_view text, TextEncoding encoding);

}  // namespace quarvo
