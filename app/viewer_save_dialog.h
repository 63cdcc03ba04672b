// SPDX-License-Identifier: MIT
// The viewer's save dialog: a file name that is set before it runs and read
// after it, and a run that tells whether the user confirmed. Tests answer
// it through a hook, as a modal file dialog cannot be driven reliably.
#pragma once

#include <QFileDialog>
#include <functional>

class SaveDialog : public QFileDialog {
    Q_OBJECT
  public:
    explicit SaveDialog(QWidget* parent = nullptr);

    void SetFileName(const QString& file_name);
    [[nodiscard]] QString FileName() const { return file_name_; }

    // Runs the dialog modally; true when the user confirmed a name.
    bool Execute();

    // While a hook is set, Execute hands the dialog to it instead of
    // showing it; the hook may change the file name and returns the answer.
    using Hook = std::function<bool(SaveDialog& dialog)>;
    static void SetHook(Hook hook);

  private:
    QString file_name_;
};
