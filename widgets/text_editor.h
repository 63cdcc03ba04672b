// The plain-text editor the file viewer shows an Opera file in. It holds a
// list of lines and trades them with whole byte texts: loading replaces each
// tab by two spaces and cuts the text with SplitLines, taking the text out
// joins the lines with JoinLines (every line followed by CR LF).
//
// Opera files may be UTF-8 or an 8-bit code page, and a viewer that saved
// them back must not alter a byte the user did not touch. So a text that is
// valid UTF-8 as a whole is shown decoded as UTF-8, any other text one
// character per byte, and the text taken out is encoded the same way again.
#pragma once

#include <QPlainTextEdit>
#include <string>
#include <string_view>

namespace quarvo {

enum class TextEncoding {
    Utf8,
    // Every byte its own character: Windows-1252, with its five unassigned
    // bytes shown as the Latin-1 control codes of the same value.
    OneCharPerByte,
};

// Utf8 when every byte of `bytes` belongs to a well-formed UTF-8 sequence
// and the decoded text holds nothing the editor would take for a paragraph
// break; otherwise OneCharPerByte, which maps every byte to itself.
[[nodiscard]] TextEncoding ChooseEncoding(std::string_view bytes);

// The two halves of the round trip. Encode(Decode(b, e), e) == b for every
// b that ChooseEncoding maps to e. Characters that OneCharPerByte cannot
// carry (typed by the user) are written as '?'.
[[nodiscard]] QString DecodeText(std::string_view bytes, TextEncoding encoding);
[[nodiscard]] std::string EncodeText(const QString& text, TextEncoding encoding);

}  // namespace quarvo

class TextEditor : public QPlainTextEdit {
    Q_OBJECT
  public:
    explicit TextEditor(QWidget* parent = nullptr);

    // Replaces all lines by those of `bytes` (tabs become two spaces, then
    // SplitLines) and clears the undo history.
    void SetText(std::string_view bytes);

    // All lines, each followed by CR LF, in the encoding they were loaded
    // with; empty when the editor holds no lines.
    [[nodiscard]] std::string Text() const;

    // Number of lines held. An empty editor holds no lines, except right
    // after loading a text of one empty line, which it gives back unchanged.
    [[nodiscard]] int LineCount() const;

    [[nodiscard]] quarvo::TextEncoding Encoding() const noexcept { return encoding_; }

    // The column after which the silver margin line is drawn.
    static constexpr int kRightMargin = 80;

  protected:
    void paintEvent(QPaintEvent* event) override;

  private:
    [[nodiscard]] bool HoldsNoLines() const;

    quarvo::TextEncoding encoding_ = quarvo::TextEncoding::Utf8;
    // An empty document is either no lines or one empty line; only loading
    // can tell them apart, and any edit afterwards ends the distinction.
    bool loaded_one_empty_line_ = false;
};
