// SPDX-License-Identifier: MIT
#include <gtest/gtest.h>

#include <string>

#include "formats/adr_lines.h"
#include "text/text_encoding.h"

namespace quarvo::formats {
namespace {

// An entry list written compactly: kind letter (F folder, U url, S separator,
// C contact, N note, O other, E folder end), depth, 't' when in the trash, then the
// values as KEY=value, joined by '|'.
std::string Outline(const AdrFile& file) {
    std::string out;
    for (const AdrEntry& e : file.entries) {
        out += "FUSCNOE"[static_cast<int>(e.kind)];
        out += std::to_string(e.depth);
        if (e.in_trash) out += 't';
        for (const AdrValue& v : e.values)
            out += ' ' + std::string(v.key) + '=' + std::string(v.value);
        out += '|';
    }
    return out;
}

TEST(AdrLines, ReadsEntriesAsOperaDoes) {
    struct Case {
        const char* name;
        std::string text;
        std::string outline;
    } cases[] = {
        {"line ends of every kind",
         "Opera Hotlist version 2.0\r\n\r\n#URL\r\n\tNAME=a\n\tURL=b\r\r#URL\r\tNAME=c",
         "U0 NAME=a URL=b|U0 NAME=c|"},
        {"markers count only on lines of their own, keys only at line starts",
         "#URL\n\tNAME=x #FOLDER\n\tURL=http://h/#FOLDER\n  junk NAME=no\n\n",
         "U0 NAME=x #FOLDER URL=http://h/#FOLDER junk NAME=no|"},
        {"a folder's end needs no blank line, open folders close at the end",
         "#FOLDER\n\tNAME=f\n#URL\n\tNAME=u\n-\n#FOLDER\n\tNAME=g\n#SEPERATOR\n",
         "F0 NAME=f|U1 NAME=u|E0|F0 NAME=g|S1|E0|"},
        {"a stray folder end ends nothing", "-\n#URL\n\tNAME=u\n\n-\n", "U0 NAME=u|"},
        {"the trash and what it holds",
         "#FOLDER\n\tTRASH FOLDER=YES\n\n#FOLDER\n\n#CONTACT\n\n-\n-\n#NOTE\n",
         "F0t TRASH FOLDER=YES|F1t|C2t|E1t|E0t|N0|"},
        {"a byte order mark hides neither the version nor the first entry",
         "\xEF\xBB\xBF#URL\n\tNAME=a\n", "U0 NAME=a|"},
        {"values keep their blanks and '=' signs; blank lines end entries",
         "#URL\n\tURL=a=b \n \t\n\tNAME=lost\n", "U0 URL=a=b |"},
    };
    for (const Case& c : cases) EXPECT_EQ(Outline(ReadAdrLines(c.text)), c.outline) << c.name;
}

TEST(AdrLines, TakesTheVersionOnlyFromTheFirstLine) {
    EXPECT_EQ(
        ReadAdrLines("Opera Hotlist version 2.0\nOptions: encoding = utf8, version=3\n").version,
        "2.0");
    const AdrFile later = ReadAdrLines("\n#URL\n\tNAME=x\nOpera Hotlist version 1.0 notes\n");
    EXPECT_EQ(later.version, "");
    EXPECT_EQ(Outline(later), "U0 NAME=x|");
}

// The walk one entry at a time hands on what the list holds, in its order.
TEST(AdrLines, WalksTheEntriesOneAtATimeAsTheListHasThem) {
    const std::string text =
        "Opera Hotlist version 2.0\nOptions: encoding = "
        "utf8\n\n#FOLDER\n\tNAME=f\n#NOTE\n\tNAME=n\n";
    AdrFile walked;
    ForEachAdrEntry(text, [&](const AdrEntry& entry) { walked.entries.push_back(entry); });
    EXPECT_EQ(Outline(walked), Outline(ReadAdrLines(text)));
    EXPECT_EQ(Outline(walked), "F0 NAME=f|N1 NAME=n|E0|");
    const AdrHeader header = ReadAdrHeader(text);
    EXPECT_EQ(header.version, "2.0");
    EXPECT_EQ(header.options, "encoding = utf8");
}

// Started at an entry's marker inside a file, the walk that may stop takes
// that entry and, for a folder, all it holds, up to its end.
TEST(AdrLines, WalksOneEntryFromItsMarkerOn) {
    const std::string text =
        "#URL\n\tNAME=before\n\n  #FOLDER\n\tNAME=f\n#URL\n\tNAME=in\n-\n#URL\n\tNAME=after\n";
    const auto walk = [&](std::string_view from) {
        AdrFile walked;
        ForEachAdrEntryWhile(from, [&](const AdrEntry& entry) {
            walked.entries.push_back(entry);
            return entry.depth != 0 || entry.kind == AdrEntry::Kind::kFolder;
        });
        return Outline(walked);
    };
    EXPECT_EQ(walk(std::string_view(text).substr(text.find("#FOLDER"))),
              "F0 NAME=f|U1 NAME=in|E0|");
    EXPECT_EQ(walk(std::string_view(text).substr(text.find("#URL\n\tNAME=in"))), "U0 NAME=in|");
    EXPECT_EQ(walk(std::string_view(text).substr(text.find("#FOLDER"), 20)), "F0 NAME=f|U1|E0|")
        << "a folder the text leaves open is closed";
}

TEST(AdrLines, TellsUtf8FromOtherEncodings) {
    EXPECT_FALSE(OptionsNameOtherEncoding(
        ReadAdrLines("Opera Hotlist version 2.0\nOptions: encoding = utf8, version=3\n").options));
    EXPECT_FALSE(OptionsNameOtherEncoding(""));
    EXPECT_TRUE(OptionsNameOtherEncoding("encoding = iso-8859-1, version=3"));
}

TEST(TextEncoding, Windows1252BothWays) {
    EXPECT_EQ(Windows1252ToUtf8("\x80 \xE9 \x81"), "\xE2\x82\xAC \xC3\xA9 \xC2\x81");
    for (int b = 0; b < 256; ++b) {
        const auto back =
            CodePointToWindows1252(Windows1252ToCodePoint(static_cast<unsigned char>(b)));
        ASSERT_TRUE(back.has_value()) << b;
        EXPECT_EQ(*back, b);
    }
    EXPECT_FALSE(CodePointToWindows1252(0x0100).has_value());
    EXPECT_TRUE(IsValidUtf8("\xC3\xA9"));
    EXPECT_FALSE(IsValidUtf8("\xC0\xAF"));
}

}  // namespace
}  // namespace quarvo::formats
