// SPDX-License-Identifier: MIT
// The file viewer's decisions, apart from any toolkit: the caption, what a
// showing loads and backs up, and what Reload, Save and Save as read or
// write. The file's bytes reach the editor whole, and come back as they
// were wherever the user did not type (viewer_text.h); the editor gives
// every line back followed by CR LF, with each tab shown as two spaces.
// File errors are not caught here: they end the action, the editor keeps
// what it holds, and the front end reports them.
#pragma once

#include <memory>
#include <string>
#include <string_view>

#include "desktop.h"
#include "quarvo/viewer_text.h"

namespace quarvo {

// A busy cursor, and a progress box if the work takes longer than a moment;
// gone when destroyed.
class BusyIndicator {
  public:
    virtual ~BusyIndicator() = default;
    // One more of the announced steps is done.
    virtual void Step() = 0;
};

// The viewer window's side. File names are the file system's bytes.
class ViewerView {
  public:
    virtual void SetCaption(const std::string& caption) = 0;
    // The editor shows the file whose bytes these are.
    virtual void SetText(std::string_view file_bytes) = 0;
    // The editor's text as the file's bytes.
    [[nodiscard]] virtual EncodedText Text() const = 0;
    // Work of `steps` steps on `file_name` (empty: on no file).
    [[nodiscard]] virtual std::unique_ptr<BusyIndicator> ShowBusy(const std::string& file_name,
                                                                  int steps) = 0;

  protected:
    ~ViewerView() = default;
};

// "Quarvo - [", the part of `file_name` after its last path separator
// (nothing when there is none), "]".
[[nodiscard]] std::string ViewerCaption(std::string_view file_name);

// The question before saving a text that holds characters the file's
// encoding cannot hold, in UTF-8.
[[nodiscard]] std::string UnencodableQuestion(const EncodedText& text);

class ViewerDocument {
  public:
    ViewerDocument(ViewerView& view, Desktop& desktop);

    // Where each showing leaves a copy of what it loaded: the current folder.
    static constexpr const char* kBackupFileName = "QuarvoFileViewerBackup.txt";

    // A showing for `file_name`: new caption, the editor emptied, then for
    // a plain file its bytes loaded and copied, as on disk, to the backup.
    void Show(const std::string& file_name);
    // Loads `file_name` again, whether or not it exists, without backup.
    void Reload(const std::string& file_name);
    // Writes the text over `file_name`; never creates a file, and an empty
    // editor never blanks one.
    void Save(const std::string& file_name);
    // Writes the text, even an empty one, to the name the user chooses,
    // offering `file_name`; the viewed file stays `file_name`.
    void SaveAs(const std::string& file_name);

  private:
    void Load(const std::string& file_name, bool write_backup);
    // Writes the text to `file_name`, after asking when it holds characters
    // the file's encoding cannot.
    void Write(const std::string& file_name, bool unless_empty);

    ViewerView& view_;
    Desktop& desktop_;
};

}  // namespace quarvo
