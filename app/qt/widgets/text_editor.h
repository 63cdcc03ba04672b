// SPDX-License-Identifier: MIT
// The plain-text editor the file viewer shows an Opera file in. It trades
// its text with a file's whole bytes: lines end where the file's lines end
// (CR LF, CR or LF), each keeping its own break, and a tab stays a tab, shown
// two columns wide; a line the user adds ends as the file's first line does.
//
// No byte is changed that the user did not touch: the editor shows the file
// in the encoding ChooseEncoding picks, with a stand-in for each zero byte
// and each stray byte, and gives back the same bytes
// (core/include/quarvo/viewer_text.h). A key held with Ctrl, Alt or Meta
// types nothing: it runs the editor's command for it, if any, or goes to the
// window around. It is built on
// Scintilla, which keeps the text as one byte buffer with an index of line
// starts, so a file of fifty megabytes loads, shows and saves in well under a
// second and costs little more memory than its own size.
#pragma once

#include <Qsci/qsciscintilla.h>

#include <functional>
#include <string>
#include <string_view>

#include "quarvo/viewer/viewer_text.h"

namespace quarvo {

class TextEditor : public QsciScintilla {
    Q_OBJECT
  public:
    explicit TextEditor(QWidget* parent = nullptr);

    // Shows the text of `bytes`, unmodified, and clears the undo history.
    // `piece_loaded` runs after each piece of about kEditorPieceBytes.
    void setFileBytes(std::string_view bytes, const std::function<void()>& piece_loaded = {});

    // The text as the file's bytes, in the encoding it was loaded with.
    // Characters typed that the encoding cannot hold are counted in the
    // result and written as '?'.
    [[nodiscard]] EncodedText encoded() const;
    [[nodiscard]] std::string fileBytes() const { return encoded().bytes; }

    // Number of lines held; none when the editor is empty.
    [[nodiscard]] int lineCount() const;

    // The line at `index` as shown.
    [[nodiscard]] QString line(int index) const;

    [[nodiscard]] TextEncoding encoding() const noexcept { return encoding_; }

    // The column after which the silver margin line is drawn.
    static constexpr int kRightMargin = kEditorRightMargin;

  protected:
    void keyPressEvent(QKeyEvent* event) override;

  private:
    [[nodiscard]] std::string_view shown() const;
    void showStandInsAsTheirBytes();

    TextEncoding encoding_ = TextEncoding::Utf8;
};

}  // namespace quarvo
