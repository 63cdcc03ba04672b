// SPDX-License-Identifier: MIT
// The viewer's conversions between a file's bytes and the text its editor
// shows: which encoding a file is shown in, and that every byte, a zero byte
// or a stray one included, comes back as it was.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <random>
#include <string>
#include <vector>

#include "quarvo/viewer/viewer_text.h"

namespace {

using quarvo::TextEncoding;

std::string Utf8(char32_t code) {
    std::string s;
    if (code < 0x800) {
        s += static_cast<char>(0xC0 | (code >> 6));
    } else {
        s += static_cast<char>(0xE0 | (code >> 12));
        s += static_cast<char>(0x80 | ((code >> 6) & 0x3F));
    }
    s += static_cast<char>(0x80 | (code & 0x3F));
    return s;
}

TEST(ChooseEncoding, Utf8UnlessStrayBytesOutnumberGoodSequences) {
    const struct {
        const char* what;
        std::string bytes;
        TextEncoding expected;
    } cases[] = {
        {"empty", "", TextEncoding::Utf8},
        {"ASCII with a zero byte", std::string("NAME=a\0b\r\n", 10), TextEncoding::Utf8},
        {"two-byte", "caf\xC3\xA9", TextEncoding::Utf8},
        {"four-byte", "\xF0\x9F\x98\x80", TextEncoding::Utf8},
        {"paragraph separator U+2029", "a\xE2\x80\xA9z", TextEncoding::Utf8},
        {"UTF-8 with one stray byte", "M\xC3\xBCnchen \xE8\xBF\xB7 \xFF K\xC3\xB6ln",
         TextEncoding::Utf8},
        {"Latin-1 e acute", "caf\xE9", TextEncoding::OneCharPerByte},
        {"overlong slash", "\xC0\xAF", TextEncoding::OneCharPerByte},
        {"surrogate half", "\xED\xA0\x80", TextEncoding::OneCharPerByte},
        {"above U+10FFFF", "\xF4\x90\x80\x80", TextEncoding::OneCharPerByte},
        {"sequence cut at the end", "ab\xE8\xBF", TextEncoding::OneCharPerByte},
        {"8-bit with one sequence by chance", "\xC3\xA9 but \xE9 and \x93q\x94",
         TextEncoding::OneCharPerByte},
    };
    for (const auto& c : cases) EXPECT_EQ(quarvo::ChooseEncoding(c.bytes), c.expected) << c.what;
}

// A load and a save without edits give the file's bytes back: tabs, line
// breaks of every kind, a last line without a break, zero and stray bytes.
TEST(ViewerText, EveryByteComesBackAsItWas) {
    const std::string nul(1, '\0');
    const std::string null_sign = Utf8(0x2400);
    const struct {
        const char* what;
        std::string file;
        std::string shown;
    } cases[] = {
        {"zero byte inside a value", "NAME=Before" + nul + "After\r\nURL=x\r\n",
         "NAME=Before" + null_sign + "After\r\nURL=x\r\n"},
        {"zero bytes at both ends", nul + "a" + nul, null_sign + "a" + null_sign},
        {"stray byte in UTF-8", "K\xC3\xB6ln \xFF\n", "K\xC3\xB6ln " + Utf8(0xF7FF) + "\n"},
        {"cut sequence in UTF-8", "\xC3\xB6\xC3\xB6\xE8\xBF",
         "\xC3\xB6\xC3\xB6" + Utf8(0xF7E8) + Utf8(0xF7BF)},
        {"the file's own stand-ins", "\xC3\xB6" + null_sign + Utf8(0xF7E9),
         "\xC3\xB6" + Utf8(0xF7E2) + Utf8(0xF790) + Utf8(0xF780) + Utf8(0xF7EF) + Utf8(0xF79F) +
             Utf8(0xF7A9)},
        {"8-bit",
         "\x93"
         "caf\xE9\x94" +
             nul + "\tx\ry",
         Utf8(0x201C) + "caf" + Utf8(0xE9) + Utf8(0x201D) + null_sign + "\tx\ry"},
        {"tabs inside and at the start of lines", "#URL\r\n\tNAME=a\tb\r\n\t\tURL=c",
         "#URL\r\n\tNAME=a\tb\r\n\t\tURL=c"},
        {"breaks of every kind, each kept", "a\n\rb\r\n\n\r\r\n", "a\n\rb\r\n\n\r\r\n"},
        {"one empty line", "\n", "\n"},
        {"empty", "", ""},
    };
    for (const auto& c : cases) {
        const TextEncoding encoding = quarvo::ChooseEncoding(c.file);
        const std::string shown = quarvo::ToEditorText(c.file, encoding);
        EXPECT_EQ(shown, c.shown) << c.what;
        const quarvo::EncodedText saved = quarvo::FromEditorText(shown, encoding);
        EXPECT_EQ(saved.bytes, c.file) << c.what;
        EXPECT_EQ(saved.unencodable, 0u) << c.what;
    }

    std::string all;
    for (int b = 0; b < 256; ++b) all += static_cast<char>(b);
    ASSERT_EQ(quarvo::ChooseEncoding(all), TextEncoding::OneCharPerByte);
    EXPECT_EQ(quarvo::FromEditorText(quarvo::ToEditorText(all, TextEncoding::OneCharPerByte),
                                     TextEncoding::OneCharPerByte)
                  .bytes,
              all);
}

TEST(ViewerText, ALineTheUserAddsEndsAsTheFirstLineDoes) {
    const struct {
        std::string file;
        quarvo::LineBreak expected;
    } cases[] = {
        {"", quarvo::LineBreak::CrLf},          {"no break at all", quarvo::LineBreak::CrLf},
        {"a\r\nb\nc", quarvo::LineBreak::CrLf}, {"a\nb\r\n", quarvo::LineBreak::Lf},
        {"a\rb\r\n", quarvo::LineBreak::Cr},    {"ends in CR\r", quarvo::LineBreak::CrLf},
    };
    for (const auto& c : cases) EXPECT_EQ(quarvo::FirstLineBreak(c.file), c.expected) << c.file;
}

// Editors are filled a megabyte at a time; a cut must split no break, no
// character and no stand-in, and the file's last break must still go.
TEST(ViewerText, PiecesMakeTheWholeEditorText) {
    std::string file;
    while (file.size() < (std::size_t{5} << 19)) file += "NAME=K\xC3\xB6ln \xFF\tx\r\n\rURL=y\n";
    // A run of characters of more than one byte across a cut.
    file.insert(quarvo::kEditorPieceBytes - 7, std::string(40, '\xC3') + "\xB6");
    std::string joined;
    std::size_t pieces = 0;
    quarvo::ForEachEditorPiece(file, TextEncoding::Utf8, [&](std::string_view piece) {
        joined += piece;
        ++pieces;
    });
    EXPECT_GT(pieces, 2u);
    EXPECT_EQ(joined, quarvo::ToEditorText(file, TextEncoding::Utf8));
}

TEST(ViewerText, CharactersAnEightBitFileCannotHoldAreCounted) {
    const quarvo::EncodedText eight_bit = quarvo::FromEditorText(
        Utf8(0x20AC) + Utf8(0x4E2D) + Utf8(0xE9) + Utf8(0x0394), TextEncoding::OneCharPerByte);
    EXPECT_EQ(eight_bit.bytes, "\x80?\xE9?");
    EXPECT_EQ(eight_bit.unencodable, 2u);
    EXPECT_EQ(eight_bit.first_unencodable, U'\u4E2D');

    const quarvo::EncodedText utf8 = quarvo::FromEditorText(Utf8(0x4E2D), TextEncoding::Utf8);
    EXPECT_EQ(utf8.bytes, Utf8(0x4E2D));
    EXPECT_EQ(utf8.unencodable, 0u);
}

std::string ShownInPieces(std::string_view file, TextEncoding encoding) {
    std::string joined;
    quarvo::ForEachEditorPiece(file, encoding, [&](std::string_view piece) { joined += piece; });
    return joined;
}

// The viewer's promise on the real Opera files, and on variants of them
// with the bytes that broke it before: each file, any slice of it and any of
// them with tabs, line breaks of every kind, zero bytes and stray bytes put
// in at random places come back byte for byte through the editor's text,
// whole or in pieces.
TEST(ViewerText, RealOperaFilesAndTheirVariantsComeBackByteForByte) {
    const std::filesystem::path corpus(QUARVO_CORPUS_DIR);
    if (!std::filesystem::is_directory(corpus)) GTEST_SKIP() << "no Opera files at " << corpus;
    std::mt19937 random(20240630);
    const auto below = [&](std::size_t n) {
        return n == 0 ? std::size_t{0}
                      : std::uniform_int_distribution<std::size_t>(0, n - 1)(random);
    };
    const std::string awkward[] = {
        "\t",   "\r",   "\n",       "\r\n",         "\n\r",        std::string(1, '\0'),
        "\xFF", "\xC3", "\xE2\x82", "\xEF\x9F\xBF", "\xE2\x90\x80"};
    int files = 0;
    for (const auto& entry : std::filesystem::directory_iterator(corpus)) {
        if (entry.path().extension() != ".adr") continue;
        std::ifstream in(entry.path(), std::ios::binary);
        const std::string original{std::istreambuf_iterator<char>(in), {}};
        std::vector<std::string> variants{original};
        for (int i = 0; i < 40; ++i) {
            const std::size_t from = below(original.size());
            variants.push_back(original.substr(from, below(original.size() - from + 1)));
            std::string changed = original;
            for (int n = 0; n < 8; ++n)
                changed.insert(below(changed.size() + 1), awkward[below(std::size(awkward))]);
            variants.push_back(std::move(changed));
        }
        for (const std::string& bytes : variants) {
            const TextEncoding encoding = quarvo::ChooseEncoding(bytes);
            const std::string shown = quarvo::ToEditorText(bytes, encoding);
            const quarvo::EncodedText saved = quarvo::FromEditorText(shown, encoding);
            ASSERT_EQ(saved.bytes, bytes) << entry.path();
            ASSERT_EQ(saved.unencodable, 0u) << entry.path();
            ASSERT_EQ(ShownInPieces(bytes, encoding), shown) << entry.path();
        }
        ++files;
    }
    EXPECT_GT(files, 0);
}

}  // namespace
