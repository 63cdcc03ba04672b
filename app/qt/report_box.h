// SPDX-License-Identifier: MIT
// The program's box for a message over a list of any length (what a
// conversion wrote, the contacts whose characters became '?'): the list
// scrolls inside a box that fits the screen, with its OK button on it.
#pragma once

#include <QDialog>
#include <string_view>

class QPlainTextEdit;

namespace quarvo {

class ReportBox : public QDialog {
    Q_OBJECT
  public:
    // `details` are lines of UTF-8, or of the system's code page where a
    // line is no UTF-8.
    ReportBox(const QString& text, std::string_view details, QWidget* parent = nullptr);

    [[nodiscard]] QPlainTextEdit* list() const { return list_; }

    // The lines of `details` as text.
    [[nodiscard]] static QString detailsText(std::string_view details);

  private:
    QPlainTextEdit* list_;
};

}  // namespace quarvo
