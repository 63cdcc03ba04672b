// SPDX-License-Identifier: MIT
#include "text_editor.h"

#include <QAccessible>
#include <QAccessibleWidget>
#include <QApplication>
#include <QFontDatabase>
#include <QKeyEvent>
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
    const QString family = QString::fromLatin1(kEditorFontFamily);
    QFont font = QFontDatabase::families().contains(family)
                     ? QFont(family)
                     : QFontDatabase::systemFont(QFontDatabase::FixedFont);
    font.setStyleHint(QFont::TypeWriter);
    font.setFixedPitch(true);
    font.setPixelSize(kEditorFontPixels);
    return font;
}

// QScintilla's accessible for its editor tells an assistive tool where the
// cursor is after every paint by counting the characters from the start of
// the text, so that a key typed at the end of a large file costs a pass over
// all of it. While no tool listens, the editor has a plain accessible of the
// same role and name; when one starts listening, the plain ones are dropped
// and QScintilla's, which also reads the text out, takes their place.
QAccessibleInterface* plainAccessible(const QString& class_name, QObject* object) {
    if (QAccessible::isActive() ||
        class_name != QLatin1String(TextEditor::staticMetaObject.className()))
        return nullptr;
    auto* widget = qobject_cast<QWidget*>(object);
    return widget == nullptr ? nullptr : new QAccessibleWidget(widget, QAccessible::EditableText);
}

class AccessibilityWatch : public QAccessible::ActivationObserver {
  public:
    void accessibilityActiveChanged(bool active) override {
        if (!active) return;
        for (QWidget* widget : QApplication::allWidgets()) {
            if (qobject_cast<TextEditor*>(widget) == nullptr) continue;
            if (QAccessibleInterface* shown = QAccessible::queryAccessibleInterface(widget))
                QAccessible::deleteAccessibleInterface(QAccessible::uniqueId(shown));
        }
    }
};

void usePlainAccessibleWhileNoToolListens() {
    static AccessibilityWatch* const watch = [] {
        QAccessible::installFactory(plainAccessible);
        auto* made = new AccessibilityWatch;
        QAccessible::installActivationObserver(made);
        return made;
    }();
    (void)watch;
}

}  // namespace

TextEditor::TextEditor(QWidget* parent) : QsciScintilla(parent) {
    usePlainAccessibleWhileNoToolListens();
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
    setEdgeColor(QColor(kEditorMarginGrey, kEditorMarginGrey, kEditorMarginGrey));
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
    // Escape belongs to the window around, which closes on it.
    if (event->key() == Qt::Key_Escape && event->modifiers() == Qt::NoModifier) {
        event->ignore();
        return;
    }
    const QString text = event->text();
    if (event->modifiers() & (Qt::ControlModifier | Qt::AltModifier | Qt::MetaModifier)) {
        // Scintilla types the key's text when it has no command for the key:
        // Alt+F, reaching for a menu, would put an "f" into the file. The
        // same key without its text still runs a command bound to it.
        if (text.isEmpty()) {
            QsciScintilla::keyPressEvent(event);
            return;
        }
        QKeyEvent command(event->type(), event->key(), event->modifiers(), QString(),
                          event->isAutoRepeat(), static_cast<ushort>(event->count()));
        QsciScintilla::keyPressEvent(&command);
        event->setAccepted(command.isAccepted());
        return;
    }
    // Scintilla's key handler takes one character per key and throws on more;
    // some keyboard layouts and input tools deliver several with one key.
    if (text.size() > 1 && text.toUcs4().size() > 1 && text.at(0).isPrint()) {
        SendScintilla(SCI_REPLACESEL, text.toUtf8().constData());
        event->accept();
        return;
    }
    QsciScintilla::keyPressEvent(event);
}

void TextEditor::showStandInsAsTheirBytes() {
    for (const StandInName& shown : StandInNames())
        SendScintilla(SCI_SETREPRESENTATION, shown.stand_in.c_str(), shown.name.c_str());
}

void TextEditor::setFileBytes(std::string_view bytes, const std::function<void()>& piece_loaded) {
    encoding_ = ChooseEncoding(bytes);
    // The document is built apart from the view: inserting into a shown
    // document costs time in proportion to what it already holds. It keeps
    // no styles, which would be a second buffer of the text's size.
    auto* loader = reinterpret_cast<quarvo::scintilla::ScintillaLoader*>(SendScintilla(
        SCI_CREATELOADER, static_cast<unsigned long>(bytes.size() + bytes.size() / 16),
        static_cast<long>(SC_DOCUMENTOPTION_STYLES_NONE)));
    if (loader == nullptr) throw std::bad_alloc();
    try {
        ForEachEditorPiece(bytes, encoding_, [loader, &piece_loaded](std::string_view piece) {
            if (loader->AddData(piece.data(), static_cast<std::ptrdiff_t>(piece.size())) != 0)
                throw std::bad_alloc();
            if (piece_loaded) piece_loaded();
        });
    } catch (...) {
        loader->Release();
        throw;
    }
    void* document = loader->ConvertToDocument();
    SendScintilla(SCI_SETDOCPOINTER, 0UL, document);
    SendScintilla(SCI_RELEASEDOCUMENT, 0UL, document);

    // What Scintilla keeps with the document rather than the view.
    setUtf8(true);
    switch (FirstLineBreak(bytes)) {
        case LineBreak::CrLf:
            setEolMode(EolWindows);
            break;
        case LineBreak::Lf:
            setEolMode(EolUnix);
            break;
        case LineBreak::Cr:
            setEolMode(EolMac);
            break;
    }
    setTabWidth(kEditorTabWidth);
    // Setting the code page has brought back Scintilla's own representations.
    showStandInsAsTheirBytes();
    SendScintilla(SCI_SETUNDOCOLLECTION, 1UL);
    SendScintilla(SCI_SETSAVEPOINT);
}

std::string_view TextEditor::shown() const {
    const auto length = static_cast<std::size_t>(SendScintilla(SCI_GETLENGTH));
    const auto* data = reinterpret_cast<const char*>(SendScintilla(SCI_GETCHARACTERPOINTER));
    return length == 0 ? std::string_view() : std::string_view(data, length);
}

int TextEditor::lineCount() const {
    if (SendScintilla(SCI_GETLENGTH) == 0) return 0;
    return static_cast<int>(SendScintilla(SCI_GETLINECOUNT));
}

QString TextEditor::line(int index) const {
    QString line = text(index);
    while (line.endsWith(QLatin1Char('\n')) || line.endsWith(QLatin1Char('\r'))) line.chop(1);
    return line;
}

EncodedText TextEditor::encoded() const {
    return FromEditorText(shown(), encoding_);
}

}  // namespace quarvo
