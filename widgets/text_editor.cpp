// SPDX-License-Identifier: MIT
#include "text_editor.h"

#include <QFontDatabase>
#include <QKeyEvent>
#include <algorithm>
#include <cstddef>
#include <new>

namespace quarvo {

namespace scintilla {

// Scintilla's interface for building a document apart from any view
// (ILoader in its ILexer.h, which the Qt package does not install). Not in
// an unnamed namespace: the compiler would then know every class derived
// from it and take a call through it for a call of the pure function.
class ScintillaLoader {
  public:
    virtual int Release() = 0;
    // 0 on success, else one of the SC_STATUS_ codes.
    virtual int AddData(const char* data, std::ptrdiff_t length) = 0;
    virtual void* ConvertToDocument() = 0;

  protected:
    ~ScintillaLoader() = default;
};

}  // namespace scintilla

namespace {

QFont editorFont() {
    QFont font = QFontDatabase::families().contains(QStringLiteral("Courier New"))
                     ? QFont(QStringLiteral("Courier New"))
                     : QFontDatabase::systemFont(QFontDatabase::FixedFont);
    font.setStyleHint(QFont::TypeWriter);
    font.setFixedPitch(true);
    font.setPixelSize(13);  // 10 points on the 96-dpi screens the layout is measured in
    return font;
}

}  // namespace

TextEditor::TextEditor(QWidget* parent) : QsciScintilla(parent) {
    setFileBytes({});
    // Scintilla takes a font's size in points only.
    const QFont font = editorFont();
    QFont in_points = font;
    in_points.setPointSizeF(font.pixelSize() * 72.0 / logicalDpiY());
    setFont(in_points);
    QWidget::setFont(font);
    setWrapMode(WrapNone);
    for (int margin = 0; margin < 5; ++margin) setMarginWidth(margin, 0);
    setEdgeMode(EdgeLine);
    setEdgeColumn(kRightMargin);
    setEdgeColor(QColor(192, 192, 192));  // silver
    setSelectionBackgroundColor(palette().color(QPalette::Highlight));
    setSelectionForegroundColor(palette().color(QPalette::HighlightedText));
    // Lines longer than the window widen the scroll range as they are shown.
    SendScintilla(SCI_SETSCROLLWIDTH, 1UL);
    SendScintilla(SCI_SETSCROLLWIDTHTRACKING, 1UL);
    viewport()->setCursor(Qt::IBeamCursor);
    // Nothing here listens for changes, while Qt's side of Scintilla counts
    // the characters up to each one it hears of: in a large file a keystroke
    // near the end would cost a pass over the whole text.
    SendScintilla(SCI_SETMODEVENTMASK, 0UL);
}

void TextEditor::keyPressEvent(QKeyEvent* event) {
    // Scintilla's key handler takes one character per key and throws on more;
    // some keyboard layouts and input tools deliver several with one key.
    const QString text = event->text();
    const bool plain = !(event->modifiers() & (Qt::ControlModifier | Qt::AltModifier));
    if (plain && text.size() > 1 && text.toUcs4().size() > 1 && text.at(0).isPrint()) {
        SendScintilla(SCI_REPLACESEL, text.toUtf8().constData());
        event->accept();
        return;
    }
    QsciScintilla::keyPressEvent(event);
}

void TextEditor::showStandInsAsTheirBytes() {
    // A private-use stand-in has no glyph, and few fonts have one for U+2400;
    // each is shown boxed as the byte it stands for, the way Scintilla shows
    // control codes and bytes it cannot decode ("NUL", "xE9").
    const QByteArray zero_byte = QString(QChar(char16_t(kZeroByteStandIn))).toUtf8();
    SendScintilla(SCI_SETREPRESENTATION, zero_byte.constData(), "NUL");
    for (int byte = 0x80; byte <= 0xFF; ++byte) {
        const QByteArray stand_in =
            QString(QChar(static_cast<char16_t>(kStrayByteStandIns + byte))).toUtf8();
        const QByteArray shown = "x" + QByteArray::number(byte, 16).toUpper();
        SendScintilla(SCI_SETREPRESENTATION, stand_in.constData(), shown.constData());
    }
}

void TextEditor::setFileBytes(std::string_view bytes) {
    encoding_ = ChooseEncoding(bytes);
    // The document is built apart from the view: inserting into a shown
    // document costs time in proportion to what it already holds. It keeps
    // no styles, which would be a second buffer of the text's size.
    auto* loader = reinterpret_cast<quarvo::scintilla::ScintillaLoader*>(SendScintilla(
        SCI_CREATELOADER, static_cast<unsigned long>(bytes.size() + bytes.size() / 16),
        static_cast<long>(SC_DOCUMENTOPTION_STYLES_NONE)));
    if (loader == nullptr) throw std::bad_alloc();
    // Converted a piece at a time, so that the converted text is never held
    // whole beside the file's bytes and the editor's copy.
    constexpr std::size_t kPiece = 1 << 20;
    std::string piece;
    for (std::size_t start = 0; start < bytes.size();) {
        std::size_t end = bytes.find('\n', std::min(start + kPiece, bytes.size()) - 1);
        end = end == std::string_view::npos ? bytes.size() : end + 1;
        piece.clear();
        AppendEditorText(bytes.substr(start, end - start), encoding_, piece);
        // The break at the very end starts no line of its own.
        if (end == bytes.size() && (bytes.back() == '\r' || bytes.back() == '\n'))
            piece.resize(piece.size() - 2);
        if (loader->AddData(piece.data(), static_cast<std::ptrdiff_t>(piece.size())) != 0) {
            loader->Release();
            throw std::bad_alloc();
        }
        start = end;
    }
    void* document = loader->ConvertToDocument();
    SendScintilla(SCI_SETDOCPOINTER, 0UL, document);
    SendScintilla(SCI_RELEASEDOCUMENT, 0UL, document);

    // What Scintilla keeps with the document rather than the view.
    setUtf8(true);
    setEolMode(EolWindows);
    // Tab stops at columns 3 and 5: two characters apart.
    setTabWidth(2);
    // Setting the code page has brought back Scintilla's own representations.
    showStandInsAsTheirBytes();
    SendScintilla(SCI_SETUNDOCOLLECTION, 1UL);
    SendScintilla(SCI_SETSAVEPOINT);
    loaded_one_empty_line_ = SendScintilla(SCI_GETLENGTH) == 0 && !bytes.empty();
}

std::string_view TextEditor::shown() const {
    const auto length = static_cast<std::size_t>(SendScintilla(SCI_GETLENGTH));
    const auto* data = reinterpret_cast<const char*>(SendScintilla(SCI_GETCHARACTERPOINTER));
    return length == 0 ? std::string_view() : std::string_view(data, length);
}

bool TextEditor::holdsNoLines() const {
    if (SendScintilla(SCI_GETLENGTH) != 0) return false;
    return !(loaded_one_empty_line_ && !isModified());
}

int TextEditor::lineCount() const {
    return holdsNoLines() ? 0 : static_cast<int>(SendScintilla(SCI_GETLINECOUNT));
}

QString TextEditor::line(int index) const {
    QString line = text(index);
    while (line.endsWith(QLatin1Char('\n')) || line.endsWith(QLatin1Char('\r'))) line.chop(1);
    return line;
}

EncodedText TextEditor::encoded() const {
    if (holdsNoLines()) return {};
    return FromEditorText(shown(), encoding_);
}

}  // namespace quarvo
