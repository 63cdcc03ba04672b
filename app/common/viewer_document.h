// SPDX-License-Identifier: MIT
// The file viewer's decisions, apart from any toolkit: the caption, what a
// showing loads and backs up, what Reload, Save and Save as read or write,
// and when the user is asked before changes are dropped. The file's bytes
// reach the editor whole, and come back as they were wherever the user did
// not type (viewer_text.h): tabs, line breaks and all. File errors are not
// caught here: they end the action, the editor keeps what it holds, and the
// front end reports them.
#pragma once

#include <memory>
#include <string>
#include <string_view>

#include "desktop.h"
#include "quarvo/viewer/viewer_text.h"

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
    // The editor shows the file whose bytes these are, unedited; `busy`,
    // when given, steps once per kEditorPieceBytes of them.
    virtual void SetText(std::string_view file_bytes, BusyIndicator* busy = nullptr) = 0;
    // The editor's text as the file's bytes.
    [[nodiscard]] virtual EncodedText Text() const = 0;
    // Whether the text was edited since it was set or last marked saved.
    [[nodiscard]] virtual bool Modified() const = 0;
    virtual void MarkSaved() = 0;
    // Work of `steps` steps on `file_name` (empty: on no file).
    [[nodiscard]] virtual std::unique_ptr<BusyIndicator> ShowBusy(const std::string& file_name,
                                                                  int steps) = 0;

  protected:
    ~ViewerView() = default;
};

// The part of `file_name` after its last path separator; nothing when there
// is none.
[[nodiscard]] std::string_view ShortFileName(std::string_view file_name);

// "Quarvo - [", ShortFileName(file_name), "]".
[[nodiscard]] std::string ViewerCaption(std::string_view file_name);

// The question before saving a text that holds characters the file's
// encoding cannot hold, in UTF-8.
[[nodiscard]] std::string UnencodableQuestion(const EncodedText& text);

// What the user is told when the changes to save leave `file_name` empty.
[[nodiscard]] std::string EmptyTextMessage(std::string_view file_name);

// The question before edits of `file_name` would be dropped; `then` says
// what comes after the answer (empty: the viewer closes).
[[nodiscard]] std::string SaveChangesQuestion(std::string_view file_name,
                                              std::string_view then = {});

class ViewerDocument {
  public:
    ViewerDocument(ViewerView& view, Desktop& desktop);

    // Where each showing leaves a copy of what it loaded: the current folder.
    static constexpr const char* kBackupFileName = "QuarvoFileViewerBackup.txt";

    // A showing for `file_name`: new caption, the editor emptied, then for
    // a plain file its bytes loaded and copied, as on disk, to the backup.
    void Show(const std::string& file_name);
    // Loads `file_name` again, whether or not it exists, without backup;
    // when the text holds changes, only after asking whether to save them
    // first (Cancel loads nothing).
    void Reload(const std::string& file_name);
    // Writes the text over `file_name`; never creates a file, and an empty
    // editor never blanks one. True when the text is now saved.
    bool Save(const std::string& file_name);
    // Writes the text, even an empty one, to the name the user chooses,
    // offering `file_name`; the viewed file stays `file_name`. True when
    // the text was written.
    bool SaveAs(const std::string& file_name);
    // Whether the viewer may close: at once when nothing is unsaved, else
    // as the user answers the question: after a Save that went through
    // (Save as for a name that is no file to save over), on Discard, never
    // on Cancel.
    [[nodiscard]] bool MayClose(const std::string& file_name);

  private:
    void Load(const std::string& file_name, bool write_backup);
    // Writes the text to `file_name`, after asking when it holds characters
    // the file's encoding cannot; true when written.
    bool Write(const std::string& file_name, bool unless_empty);
    // Asks about unsaved changes; true when they are saved or to be dropped.
    bool SettleChanges(const std::string& file_name, std::string_view then);

    ViewerView& view_;
    Desktop& desktop_;
};

}  // namespace quarvo
