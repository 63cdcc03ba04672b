// SPDX-License-Identifier: MIT
// The plain-text editor the file viewer shows an Opera file in. It holds a
// list of lines and trades them with whole byte texts: loading replaces each
// tab by two spaces and cuts the text into lines at CR LF, CR and LF; taking
// the text out gives every line followed by CR LF.
//
// No byte is lost on the way: the editor shows the file in the encoding
// ChooseEncoding picks, with a stand-in for each zero byte and each stray
// byte, and gives back the same bytes (core/include/quarvo/viewer_text.h). It is built on
// Scintilla, which keeps the text as one byte buffer with an index of line
// starts, so a file of fifty megabytes loads, shows and saves in well under a
// second and costs little more memory than its own size.
#pragma once

#include <Qsci/qsciscintilla.h>

#include <string>
#include <string_view>

#include "quarvo/viewer_text.h"

namespace quarvo {

class TextEditor : public QsciScintilla {
    Q_OBJECT
  public:
    explicit TextEditor(QWidget* parent = nullptr);

    // Replaces all lines by those of `bytes` (tabs become two spaces, then
    // the cut into lines) and clears the undo history.
    void setFileBytes(std::string_view bytes);

    // All lines, each followed by CR LF, in the encoding they were loaded
    // with; empty when the editor holds no lines. Characters typed that the
    // encoding cannot hold are counted in the result and written as '?'.
    [[nodiscard]] EncodedText encoded() const;
    [[nodiscard]] std::string fileBytes() const { return encoded().bytes; }

    // Number of lines held. An empty editor holds no lines, except right
    // after loading a text of one empty line, which it gives back unchanged.
    [[nodiscard]] int lineCount() const;

    // The line at `index` as shown.
    [[nodiscard]] QString line(int index) const;

    [[nodiscard]] TextEncoding encoding() const noexcept { return encoding_; }

    // The column after which the silver margin line is drawn.
    static constexpr int kRightMargin = kEditorRightMargin;

  protected:
    void keyPressEvent(QKeyEvent* event) override;

  private:
    [[nodiscard]] bool holdsNoLines() const;
    [[nodiscard]] std::string_view shown() const;
    void showStandInsAsTheirBytes();

    TextEncoding encoding_ = TextEncoding::Utf8;
    // An empty text is either no lines or one empty line; only loading can
    // tell them apart, and any edit afterwards ends the distinction.
    bool loaded_one_empty_line_ = false;
};

}  // namespace quarvo
