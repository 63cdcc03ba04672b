// SPDX-License-Identifier: MIT
// The viewer's save dialog: a file name that is set before it runs and read
// after it, and a run that tells whether the user confirmed.
#pragma once

#include <QFileDialog>

class SaveDialog : public QFileDialog {
    Q_OBJECT
  public:
    explicit SaveDialog(QWidget* parent = nullptr);

    void setFileName(const QString& file_name);
    [[nodiscard]] QString fileName() const { return file_name_; }

    // Runs the dialog modally; true when the user confirmed a name.
    bool execute();

  private:
    QString file_name_;
};
