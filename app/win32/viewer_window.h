// SPDX-License-Identifier: MIT
// The file viewer on Win32: a toolbar and a Scintilla editor, the Qt
// viewer's editor too. What a showing loads, what Reload, Save and Save as
// write, and when the user is asked before changes are lost, is decided by
// ViewerDocument; the editor holds the text as UTF-8 and gives the file's
// bytes back through the viewer's text conversions, tabs and each line's
// own break kept. It keeps the text as one buffer with an index of line
// starts and lays out only the lines it shows, so a large file opens at
// once; the system's edit and rich edit controls lay out every line when
// the text is set, which under Wine takes seconds per megabyte.
//
// Keys: Ctrl+S saves, Ctrl+Shift+S saves as, F5 reloads, Ctrl+W and Escape
// close; a control character (an unbound Ctrl+letter) is never typed.
#pragma once

#include <windows.h>
// commctrl.h needs the types of windows.h.
#include <commctrl.h>

#include <string>

#include "desktop.h"
#include "modal_window.h"
#include "quarvo/viewer/viewer_text.h"
#include "viewer_document.h"

namespace quarvo::win32 {

class ViewerWindow final : public ModalWindow, private ViewerView {
  public:
    ViewerWindow(HWND owner, Desktop& desktop);
    ~ViewerWindow() override;

    // Shows `file_name` modally; returns when the viewer is closed.
    void ShowFile(const std::string& file_name);

  private:
    void Initialize() override;
    INT_PTR Handle(UINT message, WPARAM w, LPARAM l) override;
    void Shown() override;
    [[nodiscard]] HACCEL Accelerators() const override { return keys_; }
    [[nodiscard]] bool MayClose() override;
    void createToolBar();
    void setUpEditor();
    LRESULT editor(UINT message, WPARAM w, LPARAM l) const;

    void SetCaption(const std::string& caption) override;
    void SetText(std::string_view file_bytes, BusyIndicator* busy) override;
    [[nodiscard]] EncodedText Text() const override;
    [[nodiscard]] bool Modified() const override;
    void MarkSaved() override;
    [[nodiscard]] std::unique_ptr<BusyIndicator> ShowBusy(const std::string& file_name,
                                                          int steps) override;

    Desktop& desktop_;
    ViewerDocument document_;
    std::string file_name_;
    TextEncoding encoding_ = TextEncoding::Utf8;
    HACCEL keys_ = nullptr;
    HIMAGELIST pictures_ = nullptr;
    HICON hint_icon_ = nullptr;
    std::wstring tip_buffer_;
};

}  // namespace quarvo::win32
