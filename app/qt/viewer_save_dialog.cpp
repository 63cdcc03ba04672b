// SPDX-License-Identifier: MIT
#include "viewer_save_dialog.h"

SaveDialog::SaveDialog(QWidget* parent) : QFileDialog(parent) {
    setAcceptMode(QFileDialog::AcceptSave);
    setFileMode(QFileDialog::AnyFile);
}

void SaveDialog::setFileName(const QString& file_name) {
    file_name_ = file_name;
    // A full name opens the dialog on its folder with the name filled in.
    selectFile(file_name);
}

bool SaveDialog::execute() {
    if (exec() != QDialog::Accepted) return false;
    const QStringList chosen = selectedFiles();
    if (chosen.isEmpty()) return false;
    file_name_ = chosen.first();
    return true;
}
