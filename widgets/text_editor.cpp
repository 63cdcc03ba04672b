#include "text_editor.h"

#include <QFontDatabase>
#include <QPainter>
#include <QStringDecoder>
#include <QTextBlock>

#include "line_list.h"
#include "strman.h"

namespace quarvo {
namespace {

// Length of the well-formed UTF-8 sequence starting at `i`, or 0. Follows
// RFC 3629: no overlong forms, no surrogates, nothing above U+10FFFF, so
// that decoding and encoding again gives back the same bytes.
std::size_t Utf8SequenceLength(std::string_view s, std::size_t i) {
    const auto byte = [&](std::size_t k) { return static_cast<unsigned char>(s[k]); };
    const unsigned char lead = byte(i);
    if (lead < 0x80) return 1;
    std::size_t length = 0;
    unsigned char low = 0x80, high = 0xBF;  // range of the first continuation byte
    if (lead >= 0xC2 && lead <= 0xDF) {
        length = 2;
    } else if (lead >= 0xE0 && lead <= 0xEF) {
        length = 3;
        if (lead == 0xE0) low = 0xA0;
        if (lead == 0xED) high = 0x9F;
    } else if (lead >= 0xF0 && lead <= 0xF4) {
        length = 4;
        if (lead == 0xF0) low = 0x90;
        if (lead == 0xF4) high = 0x8F;
    } else {
        return 0;
    }
    if (i + length > s.size()) return 0;
    if (byte(i + 1) < low || byte(i + 1) > high) return 0;
    for (std::size_t k = 2; k < length; ++k) {
        if ((byte(i + k) & 0xC0) != 0x80) return 0;
    }
    return length;
}

// Characters that the editor's document turns into a paragraph break when
// text is put into it; a line holding one would come back as two lines.
bool BreaksParagraph(std::string_view sequence) {
    return sequence == "\xE2\x80\xA9"      // U+2029 paragraph separator
           || sequence == "\xEF\xB7\x90"   // U+FDD0, the document's frame start
           || sequence == "\xEF\xB7\x91";  // U+FDD1, the document's frame end
}

// Bytes 0x80 to 0x9F as Windows-1252 shows them, the code page Opera files
// written on Windows were in. Its five unassigned bytes keep their Latin-1
// control codes, so that every byte has a character of its own and back.
constexpr char16_t kHighControls[32] = {
    0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
    0x2039, 0x0152, 0x008D, 0x017D, 0x008F, 0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
    0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178,
};

QChar CharOfByte(unsigned char byte) {
    if (byte >= 0x80 && byte <= 0x9F) return QChar(kHighControls[byte - 0x80]);
    return QChar(byte);
}

// '?' for a character no byte stands for (typed by the user).
unsigned char ByteOfChar(QChar c) {
    const char16_t code = c.unicode();
    if (code < 0x80 || (code >= 0xA0 && code <= 0xFF)) return static_cast<unsigned char>(code);
    for (unsigned char i = 0; i < 32; ++i) {
        if (kHighControls[i] == code) return static_cast<unsigned char>(0x80 + i);
    }
    return '?';
}

}  // namespace

TextEncoding ChooseEncoding(std::string_view bytes) {
    for (std::size_t i = 0; i < bytes.size();) {
        const std::size_t length = Utf8SequenceLength(bytes, i);
        if (length == 0 || BreaksParagraph(bytes.substr(i, length))) {
            return TextEncoding::OneCharPerByte;
        }
        i += length;
    }
    return TextEncoding::Utf8;
}

QString DecodeText(std::string_view bytes, TextEncoding encoding) {
    const auto size = static_cast<qsizetype>(bytes.size());
    if (encoding == TextEncoding::OneCharPerByte) {
        QString text(size, Qt::Uninitialized);
        for (qsizetype i = 0; i < size; ++i)
            text[i] = CharOfByte(static_cast<unsigned char>(bytes[i]));
        return text;
    }
    // A leading byte-order mark is text like any other here: dropping it
    // would change the file on the next save.
    QStringDecoder utf8(QStringConverter::Utf8, QStringConverter::Flag::ConvertInitialBom);
    return utf8(QByteArrayView(bytes.data(), size));
}

std::string EncodeText(const QString& text, TextEncoding encoding) {
    if (encoding == TextEncoding::Utf8) return text.toUtf8().toStdString();
    std::string bytes;
    bytes.reserve(static_cast<std::size_t>(text.size()));
    for (const QChar c : text) bytes.push_back(static_cast<char>(ByteOfChar(c)));
    return bytes;
}

}  // namespace quarvo

namespace {

QFont EditorFont() {
    QFont font = QFontDatabase::families().contains(QStringLiteral("Courier New"))
                     ? QFont(QStringLiteral("Courier New"))
                     : QFontDatabase::systemFont(QFontDatabase::FixedFont);
    font.setStyleHint(QFont::TypeWriter);
    font.setFixedPitch(true);
    font.setPixelSize(13);  // 10 points on the 96-dpi screens the layout is measured in
    return font;
}

}  // namespace

TextEditor::TextEditor(QWidget* parent) : QPlainTextEdit(parent) {
    setFont(EditorFont());
    setLineWrapMode(QPlainTextEdit::NoWrap);
    // Tab stops at columns 3 and 5: two characters apart.
    setTabStopDistance(2 * fontMetrics().horizontalAdvance(QLatin1Char(' ')));
    viewport()->setCursor(Qt::IBeamCursor);
}

void TextEditor::SetText(std::string_view bytes) {
    const std::string detabbed = quarvo::StrMan.ReplaceText("\t", "  ", bytes);
    quarvo::LineList lines;
    quarvo::SplitLines(detabbed, lines);
    const std::string& joined = lines.joined();
    encoding_ = quarvo::ChooseEncoding(joined);

    // Every line ends in CR LF here and holds no other break, so the lines
    // map one to one onto the document's blocks.
    QString text = quarvo::DecodeText(joined, encoding_);
    text.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    text.chop(1);
    setPlainText(text);
    loaded_one_empty_line_ = lines.size() == 1 && lines[0].empty();
    document()->setModified(false);
}

bool TextEditor::HoldsNoLines() const {
    if (!document()->isEmpty()) return false;
    return !(loaded_one_empty_line_ && !document()->isModified());
}

int TextEditor::LineCount() const {
    return HoldsNoLines() ? 0 : document()->blockCount();
}

std::string TextEditor::Text() const {
    quarvo::LineList lines;
    if (!HoldsNoLines()) {
        for (QTextBlock block = document()->begin(); block.isValid(); block = block.next()) {
            lines.push_back(quarvo::EncodeText(block.text(), encoding_));
        }
    }
    return quarvo::JoinLines(lines);
}

void TextEditor::paintEvent(QPaintEvent* event) {
    QPlainTextEdit::paintEvent(event);
    const qreal x = contentOffset().x() + document()->documentMargin() +
                    kRightMargin * fontMetrics().horizontalAdvance(QLatin1Char('M'));
    QPainter painter(viewport());
    painter.setPen(QColor(192, 192, 192));  // silver
    painter.drawLine(QPointF(x, 0), QPointF(x, viewport()->height()));
}
