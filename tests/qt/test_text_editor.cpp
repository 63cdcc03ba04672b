// SPDX-License-Identifier: MIT
// The viewer's editor: what it shows for a loaded text, what it gives back,
// and that no byte of an 8-bit or UTF-8 file is altered on the way (the
// conversions themselves are tested in tests/core/test_viewer_text.cpp).
#include <gtest/gtest.h>

#include <QAccessible>
#include <QApplication>
#include <QFontMetrics>
#include <QKeyEvent>
#include <QTest>
#include <string>
#include <string_view>

#include "text_editor.h"

using quarvo::TextEncoding;

namespace {

std::string Bytes(std::initializer_list<int> values) {
    std::string s;
    for (int v : values) s.push_back(static_cast<char>(v));
    return s;
}

// Types text the way a keyboard with that key delivers it.
void Type(QWidget* widget, const QString& text) {
    QKeyEvent press(QEvent::KeyPress, Qt::Key_unknown, Qt::NoModifier, text);
    QApplication::sendEvent(widget, &press);
}

class TextEditorTest : public ::testing::Test {
  protected:
    // The lines as the editor shows them, joined with '|'.
    QString Shown() const {
        QStringList lines;
        for (int i = 0; i < editor.lines(); ++i) lines << editor.line(i);
        return lines.join(QLatin1Char('|'));
    }
    quarvo::TextEditor editor;
};

TEST_F(TextEditorTest, TabsStayTabsTwoColumnsWide) {
    editor.setFileBytes("\tID=11\r\nab\tc\r\n");
    EXPECT_EQ(Shown(), QStringLiteral("\tID=11|ab\tc|"));
    // The first character after a line's leading tab stands in column 2.
    EXPECT_EQ(editor.SendScintilla(QsciScintilla::SCI_GETCOLUMN, 1UL), 2);
    EXPECT_EQ(editor.fileBytes(), "\tID=11\r\nab\tc\r\n");
}

TEST_F(TextEditorTest, EachLineKeepsItsOwnBreak) {
    const struct {
        const char* loaded;
        const char* shown;
    } cases[] = {
        {"a\nb\n", "a|b|"},
        {"a\rb\r", "a|b|"},
        {"a\r\nb", "a|b"},
        {"a\n\rb\r\nc", "a||b|c"},
        {"last line without break", "last line without break"},
    };
    for (const auto& c : cases) {
        editor.setFileBytes(c.loaded);
        EXPECT_EQ(Shown(), QString::fromLatin1(c.shown)) << c.loaded;
        EXPECT_EQ(editor.fileBytes(), c.loaded) << c.loaded;
        EXPECT_FALSE(editor.isModified());
    }
}

TEST_F(TextEditorTest, ZeroAndStrayBytesAreShownAndKept) {
    const std::string file("kept\r\nalso\0kept\r\nM\xC3\xBCnchen \xFF\r\n", 29);
    editor.setFileBytes(file);
    EXPECT_EQ(Shown(), QStringLiteral("kept|also\u2400kept|M\u00FCnchen \uF7FF|"));
    EXPECT_EQ(editor.fileBytes(), file);
    // Drawn as the bytes they stand for, as few fonts have a glyph for them.
    for (const auto& [stand_in, drawn] : {std::pair{"\u2400", "NUL"}, {"\uF7FF", "xFF"}}) {
        char representation[8] = {};
        editor.SendScintilla(QsciScintilla::SCI_GETREPRESENTATION, stand_in, representation);
        EXPECT_STREQ(representation, drawn);
    }
}

TEST_F(TextEditorTest, AnEmptyFileAndALoneBreakComeBackAsTheyWere) {
    editor.setFileBytes("");
    EXPECT_EQ(editor.lineCount(), 0);
    EXPECT_EQ(editor.fileBytes(), "");

    for (const char* one_empty_line : {"\r\n", "\n", "\r"}) {
        editor.setFileBytes(one_empty_line);
        EXPECT_EQ(editor.lineCount(), 2) << int(one_empty_line[0]);
        EXPECT_EQ(editor.fileBytes(), one_empty_line) << int(one_empty_line[0]);
    }
}

TEST_F(TextEditorTest, DeletingEverythingLeavesNoLines) {
    // An emptied editor must not let a Save blank the file with one CR LF.
    editor.setFileBytes("\r\n");
    editor.selectAll();
    QTest::keyClick(&editor, Qt::Key_Delete);
    QTest::keyClicks(&editor, "x");
    QTest::keyClick(&editor, Qt::Key_Backspace);
    EXPECT_EQ(editor.lineCount(), 0);
    EXPECT_EQ(editor.fileBytes(), "");

    editor.setFileBytes("#CONTACT\r\nNAME=x\r\n");
    editor.selectAll();
    QTest::keyClick(&editor, Qt::Key_Delete);
    EXPECT_EQ(editor.fileBytes(), "");
}

TEST_F(TextEditorTest, EightBitTextComesBackByteForByte) {
    // Windows-1252 quotes, Latin-1 letters, a no-break space (which a plain
    // text export of the document would turn into a blank) and C1 controls.
    const std::string file =
        "NAME=Ren\xE9 M\xFCller\r\n"
        "DESCRIPTION=\x93"
        "caf\xE9\x94\xA0\x85\x01\x7F\r\n" +
        Bytes({0x80, 0x9F, 0xA0, 0xFF, 0x0B, 0x0C}) + "\r\n";
    editor.setFileBytes(file);
    EXPECT_EQ(editor.encoding(), TextEncoding::OneCharPerByte);
    EXPECT_EQ(editor.lineCount(), 4);
    EXPECT_EQ(editor.line(0), QStringLiteral("NAME=Ren\u00E9 M\u00FCller"));
    EXPECT_EQ(editor.fileBytes(), file);
}

TEST_F(TextEditorTest, Utf8TextComesBackByteForByte) {
    const std::string file =
        "\xEF\xBB\xBF"
        "NAME=\xE8\xBF\xB7\xE5\xB0\x8F\xE5\xA4\xB1\r\n"
        "NOTE=a\xC2\xA0"
        "b\xE2\x80\xA8"
        "c \xF0\x9F\x98\x80\r\n";
    editor.setFileBytes(file);
    EXPECT_EQ(editor.encoding(), TextEncoding::Utf8);
    EXPECT_TRUE(editor.line(0).endsWith(QStringLiteral("\u8FF7\u5C0F\u5931")));
    EXPECT_EQ(editor.fileBytes(), file);
}

TEST_F(TextEditorTest, AParagraphSeparatorDoesNotSplitItsLine) {
    const std::string file =
        "before\xE2\x80\xA9"
        "after\r\n";
    editor.setFileBytes(file);
    EXPECT_EQ(editor.lineCount(), 2) << "the line, and the empty one after its break";
    EXPECT_EQ(editor.fileBytes(), file);
}

TEST_F(TextEditorTest, TypedTextIsWrittenInTheFilesEncoding) {
    editor.setFileBytes("caf\xE9\r\n");
    QTest::keyClick(&editor, Qt::Key_End);
    Type(&editor, QStringLiteral("\u00FC"));
    EXPECT_EQ(editor.fileBytes(), "caf\xE9\xFC\r\n");
    // A character no byte stands for is counted, for the viewer to ask.
    Type(&editor, QStringLiteral("\u4E2D"));
    EXPECT_EQ(editor.encoded().bytes, "caf\xE9\xFC?\r\n");
    EXPECT_EQ(editor.encoded().unencodable, 1u);

    editor.setFileBytes("caf\xC3\xA9\r\n");
    QTest::keyClick(&editor, Qt::Key_End);
    // Some input tools deliver several characters with one key.
    Type(&editor, QStringLiteral("\u00FC\u4E2D"));
    EXPECT_EQ(editor.fileBytes(), "caf\xC3\xA9\xC3\xBC\xE4\xB8\xAD\r\n");
}

TEST_F(TextEditorTest, LoadingStartsAFreshUndoHistory) {
    editor.setFileBytes("first\r\n");
    QTest::keyClicks(&editor, "typed");
    editor.setFileBytes("second\r\n");
    editor.undo();
    EXPECT_EQ(editor.fileBytes(), "second\r\n");
}

TEST_F(TextEditorTest, LooksLikeACodeEditor) {
    // Measured rather than asked: some monospace faces do not declare it.
    const QFontMetrics metrics(editor.font());
    EXPECT_EQ(metrics.horizontalAdvance(QLatin1Char('i')),
              metrics.horizontalAdvance(QLatin1Char('M')));
    EXPECT_EQ(editor.font().pixelSize(), 13);
    EXPECT_GE(editor.SendScintilla(QsciScintilla::SCI_TEXTHEIGHT, 0UL), 13);
    EXPECT_EQ(editor.viewport()->cursor().shape(), Qt::IBeamCursor);
    EXPECT_EQ(editor.wrapMode(), QsciScintilla::WrapNone);
    EXPECT_FALSE(editor.isReadOnly());
}

// With no assistive tool listening the editor's accessible is a plain one,
// which keeps the role and name a screen reader announces.
TEST_F(TextEditorTest, ItsAccessibleKeepsRoleAndNameWhileNoToolListens) {
    ASSERT_FALSE(QAccessible::isActive());
    editor.setAccessibleName(QStringLiteral("Text of the file"));
    editor.setFileBytes("one\r\ntwo\r\n");
    QAccessibleInterface* accessible = QAccessible::queryAccessibleInterface(&editor);
    ASSERT_NE(accessible, nullptr);
    EXPECT_EQ(accessible->role(), QAccessible::EditableText);
    EXPECT_EQ(accessible->text(QAccessible::Name), QStringLiteral("Text of the file"));
    // QScintilla's own, which counts the text on every paint, is not made.
    EXPECT_EQ(accessible->textInterface(), nullptr);
    QTest::keyClicks(&editor, "x");
    EXPECT_EQ(editor.fileBytes(), "xone\r\ntwo\r\n");
}

}  // namespace
